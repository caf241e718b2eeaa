#include <cstdio>

int main()
{
    std::puts("vorex-cli");
    return 0;
}
