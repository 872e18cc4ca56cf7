// TolvanClient: a placeholder until the program is built.
#include <cstdio>

int main()
{
    std::fprintf(stderr, "TolvanClient: not built yet\n");
    return 0;
}
