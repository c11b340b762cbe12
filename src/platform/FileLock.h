#pragma once
// An exclusive lock on a file others may change too (J-Pilot's queue, the registry stand-in, the
// target settings). The lock lives on a separate file beside it ("<file>.lock"): a lock on the
// file itself would serialise nothing once a writer has renamed a new file over it.
#include <chrono>
#include <string>

namespace rovik {

// How long a writer waits for another one before it gives up and says so.
constexpr std::chrono::milliseconds kLockWait{5000};

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Locks "<file>.lock", creating it when missing, waiting up to the lock wait. False with
    // `problem` (UTF-8) when the lock file cannot be made or another writer kept it too long.
    bool lock(const std::string& file, std::string& problem);
    bool locked() const { return m_handle != kNone; }
    void unlock();

private:
#ifdef _WIN32
    using Handle = void*;
    static constexpr Handle kNone = nullptr;
#else
    using Handle = int;
    static constexpr Handle kNone = -1;
#endif
    Handle m_handle = kNone;
};

// The lock file of `file`.
std::string lockFileOf(const std::string& file);

// Test seam: the lock wait in place of kLockWait; a negative value restores it.
void setLockWaitForTesting(std::chrono::milliseconds wait);

} // namespace rovik
