// tolvanctl: diagnostics for the suite (being written).
#include <cstdio>

int main()
{
    std::fprintf(stderr, "tolvanctl: not built yet\n");
    return 2;
}
