#include "cli/Cli.h"

#include <iostream>

int main(int argc, char** argv) {
    rovik::cli::Args args(argv + 1, argv + argc);
    return rovik::cli::run(args, std::cin, std::cout, std::cerr);
}
