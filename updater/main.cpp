// Fetchwell: a placeholder until the program is built.
#include <cstdio>

int main()
{
    std::fprintf(stderr, "Fetchwell: not built yet\n");
    return 0;
}
