#include "cli/Cli.h"

#include <iostream>

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace {
// The arguments as UTF-8, as every path in the program: argv would hold them in the ANSI code page,
// which loses every character it cannot hold.
rovik::cli::Args utf8Arguments() {
    rovik::cli::Args args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i) {
        int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<size_t>(n > 0 ? n : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        args.push_back(arg);
    }
    LocalFree(wide);
    return args;
}
} // namespace

int main() {
    // The texts are UTF-8 with "\n" line ends, byte for byte as on other systems; a console shows
    // them with the UTF-8 code page.
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return rovik::cli::run(utf8Arguments(), std::cin, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    rovik::cli::Args args(argv + 1, argv + argc);
    return rovik::cli::run(args, std::cin, std::cout, std::cerr);
}
#endif
