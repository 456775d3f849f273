#include <cstdio>

int main(int argc, char** argv)
{
    (void)argv;
    if (argc < 3) {
        std::fprintf(stderr, "Aufruf: quillon QUELLE.xls ZIEL.htm\n");
        return 2;
    }
    return 0;
}
