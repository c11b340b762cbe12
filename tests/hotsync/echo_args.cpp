// A program for the Windows process test: prints each argument it was given on a line of its
// own, in UTF-8, then the variable ROVIK_TEST.
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace {
void printUtf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), n, nullptr, nullptr);
    std::fputs(bytes.c_str(), stdout);
    std::fputc('\n', stdout);
}
} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; args && i < count; ++i)
        printUtf8(args[i]);
    LocalFree(args);
    wchar_t value[256] = L"";
    GetEnvironmentVariableW(L"ROVIK_TEST", value, 256);
    printUtf8((std::wstring(L"ROVIK_TEST=") + value).c_str());
    return 7;
}
