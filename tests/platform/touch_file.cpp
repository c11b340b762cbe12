// A program for the Windows start test: creates the file its one argument names.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::FILE* f = std::fopen(argv[1], "wb");
    return f && std::fclose(f) == 0 ? 0 : 1;
}
