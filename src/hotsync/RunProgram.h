#pragma once
// Running an external program from an argument list (never through a shell) and waiting for it.
#include <functional>
#include <string>
#include <vector>

namespace rovik {

struct ProgramResult {
    bool started = false;
    int exitCode = -1;  // the exit status; -1 when it did not start or was ended by a signal
    std::string output; // stdout and stderr together, at most the last kMaxProgramOutput bytes
};
constexpr std::size_t kMaxProgramOutput = 64 * 1024;

// argv[0] is looked up on the PATH; `environment` entries "NAME=value" are added to (or replace
// those of) this process's environment. stdin is empty.
using RunProgram = std::function<ProgramResult(const std::vector<std::string>& argv,
                                               const std::vector<std::string>& environment)>;
ProgramResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment);

// The full path of an executable `name` in the colon-separated `pathList`, or empty.
std::string findOnPath(const std::string& name, const std::string& pathList);

} // namespace rovik
