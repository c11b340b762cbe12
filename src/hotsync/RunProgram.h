#pragma once
// Running an external program from an argument list (never through a shell) and waiting for it.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rovik {

struct ProgramResult {
    bool started = false;
    int exitCode = -1;    // the exit status; -1 when it did not start or was ended by a signal
    std::string output;   // stdout and stderr together, at most the last kMaxProgramOutput bytes
    bool stopped = false; // ended (or never started) because a ProgramStop asked for it
};
constexpr std::size_t kMaxProgramOutput = 64 * 1024;

// Lets one thread end the programs that another thread waits for: a program running when stop
// is asked for is terminated at once and killed after kStopGrace; one not yet started never starts.
class ProgramStop {
public:
    void request() { m_requested = true; }
    bool requested() const { return m_requested; }
    // True when a program was ended or kept from starting since the last reset().
    bool ended() const { return m_ended; }
    void markEnded() { m_ended = true; }
    void reset() { m_requested = m_ended = false; }

private:
    std::atomic<bool> m_requested{false};
    std::atomic<bool> m_ended{false};
};
constexpr std::chrono::milliseconds kStopGrace{2000};

// argv[0] is looked up on the PATH; `environment` entries "NAME=value" are added to (or replace
// those of) this process's environment. stdin is empty.
using RunProgram = std::function<ProgramResult(const std::vector<std::string>& argv,
                                               const std::vector<std::string>& environment)>;
ProgramResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment);
// The same, ended through `stop`; the program runs in a process group of its own so that what it
// started ends with it.
ProgramResult runStoppableProgram(const std::vector<std::string>& argv,
                                  const std::vector<std::string>& environment, ProgramStop& stop);
// A RunProgram whose programs `stop` ends.
RunProgram stoppableRun(std::shared_ptr<ProgramStop> stop);

// The full path of an executable `name` in the colon-separated `pathList`, or empty.
std::string findOnPath(const std::string& name, const std::string& pathList);

} // namespace rovik
