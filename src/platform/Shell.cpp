#include "platform/Shell.h"

#ifdef _WIN32
#include "platform/FileIo.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#endif

namespace rovik {

#ifdef _WIN32

namespace {
std::wstring wide(const std::string& utf8) {
    return nativePath(utf8).wstring();
}

} // namespace

std::wstring windowsArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

bool shellOpen(const std::string& target) {
    HINSTANCE result = ShellExecuteW(nullptr, L"open", wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool startDetached(const std::string& program, const std::string& argument) {
    const std::wstring application = wide(program);
    std::wstring commandLine = windowsArgument(application);
    if (!argument.empty()) commandLine += L" " + windowsArgument(wide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // The program's own name, not a search: an empty Palm folder must not find hotsync.exe elsewhere.
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

#else

bool shellOpen(const std::string& target) {
    QString text = QString::fromStdString(target);
    QUrl url = text.contains(QStringLiteral("://")) || text.startsWith(QStringLiteral("mailto:"))
                   ? QUrl(text)
                   : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

bool startDetached(const std::string& program, const std::string& argument) {
    QStringList args;
    if (!argument.empty()) args << QString::fromStdString(argument);
    return QProcess::startDetached(QString::fromStdString(program), args);
}

#endif

} // namespace rovik
