#include "hotsync/RunProgram.h"

#include "platform/FileIo.h"
#include "platform/Shell.h"

#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include <algorithm>
#include <cwchar>
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
extern char** environ;
#endif

namespace rovik {
namespace fs = std::filesystem;

RunProgram stoppableRun(std::shared_ptr<ProgramStop> stop) {
    return [stop](const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
        return runStoppableProgram(argv, environment, *stop);
    };
}

std::string findOnPath(const std::string& name, const std::string& pathList) {
    if (name.empty() || name.find('/') != std::string::npos) return {};
#ifdef _WIN32
    const char separator = ';';
#else
    const char separator = ':';
#endif
    std::size_t from = 0;
    while (from <= pathList.size()) {
        std::size_t to = pathList.find(separator, from);
        if (to == std::string::npos) to = pathList.size();
        const std::string folder = pathList.substr(from, to - from);
        from = to + 1;
        // An empty entry means the current folder: never run a program from there by accident.
        if (folder.empty()) continue;
        const fs::path candidate = nativePath(folder) / nativePath(name);
        std::error_code ec;
        if (!fs::is_regular_file(candidate, ec)) continue;
#ifndef _WIN32
        if (access(candidate.c_str(), X_OK) != 0) continue;
#endif
        return pathText(candidate);
    }
    return {};
}

#ifdef _WIN32
namespace {
std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
    return text;
}

// This process's environment with `extra` ("NAME=value") added or replacing, as CreateProcessW
// takes it: sorted by name regardless of case, each entry ended by a zero, and one more zero.
std::wstring environmentBlock(const std::vector<std::string>& extra) {
    std::vector<std::wstring> entries;
    if (wchar_t* env = GetEnvironmentStringsW()) {
        for (const wchar_t* e = env; *e; e += std::wcslen(e) + 1)
            entries.emplace_back(e);
        FreeEnvironmentStringsW(env);
    }
    for (const std::string& x : extra) {
        const std::wstring entry = wide(x);
        const std::wstring name = entry.substr(0, entry.find(L'=') + 1);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&name](const std::wstring& e) {
                                         return _wcsnicmp(e.c_str(), name.c_str(), name.size()) == 0;
                                     }),
                      entries.end());
        entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    std::wstring block;
    for (const std::wstring& e : entries)
        block += e + L'\0';
    return block + L'\0';
}
} // namespace

// CreateProcessW with each argument quoted: _spawnvp joined them unquoted and in the ANSI code
// page, so a folder with a space or a Japanese name reached the program as other arguments.
ProgramResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    ProgramResult result;
    if (argv.empty()) return result;
    std::wstring commandLine;
    for (const std::string& a : argv)
        commandLine += (commandLine.empty() ? L"" : L" ") + windowsArgument(wide(a));
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring block = environmentBlock(environment);
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(), nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
    if (!started) {
        CloseHandle(readEnd);
        return result;
    }
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        result.output.append(buffer, n);
        if (result.output.size() > 2 * kMaxProgramOutput)
            result.output.erase(0, result.output.size() - kMaxProgramOutput);
    }
    CloseHandle(readEnd);
    if (result.output.size() > kMaxProgramOutput)
        result.output.erase(0, result.output.size() - kMaxProgramOutput);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    result.started = true;
    result.exitCode = GetExitCodeProcess(process.hProcess, &code) ? static_cast<int>(code) : -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

// Only the windows stop programs, and they are not built for Windows: a stop keeps the program
// from starting but cannot end it.
ProgramResult runStoppableProgram(const std::vector<std::string>& argv,
                                  const std::vector<std::string>& environment, ProgramStop& stop) {
    if (!stop.requested()) return runProgram(argv, environment);
    stop.markEnded();
    ProgramResult result;
    result.stopped = true;
    return result;
}
#else
namespace {
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& x : extra)
            replaced = replaced || x.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced) merged.push_back(entry);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

// Ends a program's process group once stop is asked for: TERM at once, KILL after the grace period.
struct GroupEnder {
    pid_t group;
    ProgramStop* stop;
    bool terminated = false;
    bool killed = false;
    std::chrono::steady_clock::time_point terminatedAt{};

    void check() {
        if (!stop || !stop->requested() || killed) return;
        if (!terminated) {
            signal(SIGTERM);
            terminated = true;
            terminatedAt = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - terminatedAt >= kStopGrace) {
            signal(SIGKILL);
            killed = true;
        }
    }
    // The program itself too, in case it left the group.
    void signal(int number) const {
        kill(-group, number);
        kill(group, number);
    }
};

// Reads until the end of the output, or until the program has been killed: something it started
// outside its group may hold the pipe open for ever.
void readOutput(int fd, std::string& output, GroupEnder& ender) {
    char buffer[4096];
    while (!ender.killed) {
        pollfd ready{fd, POLLIN, 0};
        const int count = poll(&ready, 1, ender.stop ? 50 : -1);
        ender.check();
        if (count < 0 && errno != EINTR) break;
        if (count <= 0) continue;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (n == 0) break;
        output.append(buffer, static_cast<std::size_t>(n));
        if (output.size() > 2 * kMaxProgramOutput) output.erase(0, output.size() - kMaxProgramOutput);
    }
}

int waitForExit(pid_t pid, GroupEnder& ender) {
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, ender.stop ? WNOHANG : 0);
        if (done == pid) return status;
        if (done < 0 && errno != EINTR) return -1;
        if (done == 0) {
            ender.check();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

ProgramResult runChild(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                       ProgramStop* stop) {
    ProgramResult result;
    if (argv.empty()) return result;
    if (stop && stop->requested()) {
        result.stopped = true;
        stop->markEnded();
        return result;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return result;
    std::vector<std::string> env = mergedEnvironment(environment);
    std::vector<char*> args, envp;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that stopping reaches what a script starts; without a stop the
    // program stays in ours and a terminal's Ctrl-C ends it with us.
    if (stop) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return result;
    }
    GroupEnder ender{pid, stop};
    readOutput(fds[0], result.output, ender);
    close(fds[0]);
    if (result.output.size() > kMaxProgramOutput)
        result.output.erase(0, result.output.size() - kMaxProgramOutput);
    const int status = waitForExit(pid, ender);
    const bool exitedWell = status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.exitCode = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.started = true;
    // A program that finished its work before the stop reached it has done that work.
    result.stopped = ender.terminated && !exitedWell;
    if (result.stopped) stop->markEnded();
    return result;
}
} // namespace

ProgramResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    return runChild(argv, environment, nullptr);
}

ProgramResult runStoppableProgram(const std::vector<std::string>& argv,
                                  const std::vector<std::string>& environment, ProgramStop& stop) {
    return runChild(argv, environment, &stop);
}
#endif

} // namespace rovik
