#pragma once
// J-Pilot installs at its next sync every file listed in its install queue, one absolute path a
// line. The file is copied to a lasting folder first: J-Pilot reads it only at the sync.
#include "hotsync/InstallTarget.h"

#include <functional>

namespace rovik {

// A queue longer than this, or with a line longer than a path can be, is no queue J-Pilot wrote.
constexpr std::size_t kMaxQueueBytes = 1u << 20;
constexpr std::size_t kMaxQueueLine = 4096;

struct InstallQueue {
    bool usable = false;
    std::string problem;            // UTF-8, when not usable
    std::vector<std::string> lines; // without their line ends
};

// Reads the bytes of a queue file; an empty file is a usable empty queue.
InstallQueue parseInstallQueue(const std::string& bytes);

// `bytes` with `path` appended as a line, or `bytes` unchanged when the queue lists it already.
// What is there is kept byte for byte; a last line without its end gets one first.
std::string appendToInstallQueue(const std::string& bytes, const std::string& path);

// Test seam: runs right after the queue was replaced, as a J-Pilot rewriting it then would.
void setAfterQueueWriteForTesting(std::function<void()> hook);

class JPilotTarget : public InstallTarget {
public:
    // `queueFile`: …/.jpilot/jpilot.install; `keepFolder`: where reserved files wait for the sync.
    JPilotTarget(std::string queueFile, std::string keepFolder);
    TargetKind kind() const override { return TargetKind::JPilot; }
    std::string where() const override { return m_queueFile; }
    TargetOutcome install(const std::string& file, const std::string& fileName,
                          const TargetUser* user) override;

private:
    std::string m_queueFile;
    std::string m_keepFolder;
};

} // namespace rovik
