#include "hotsync/RunProgram.h"

#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace rovik {
namespace fs = std::filesystem;

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
        const fs::path candidate = fs::path(folder) / name;
        std::error_code ec;
        if (!fs::is_regular_file(candidate, ec)) continue;
#ifndef _WIN32
        if (access(candidate.c_str(), X_OK) != 0) continue;
#endif
        return candidate.string();
    }
    return {};
}

#ifdef _WIN32
ProgramResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>&) {
    ProgramResult result;
    if (argv.empty()) return result;
    std::vector<const char*> args;
    for (const auto& a : argv)
        args.push_back(a.c_str());
    args.push_back(nullptr);
    intptr_t status = _spawnvp(_P_WAIT, args[0], args.data());
    result.started = status != -1;
    result.exitCode = result.started ? static_cast<int>(status) : -1;
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
} // namespace

ProgramResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    ProgramResult result;
    if (argv.empty()) return result;
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
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return result;
    }
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fds[0], buffer, sizeof buffer)) != 0) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(n));
        if (result.output.size() > 2 * kMaxProgramOutput)
            result.output.erase(0, result.output.size() - kMaxProgramOutput);
    }
    close(fds[0]);
    if (result.output.size() > kMaxProgramOutput)
        result.output.erase(0, result.output.size() - kMaxProgramOutput);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.started = true;
    return result;
}
#endif

} // namespace rovik
