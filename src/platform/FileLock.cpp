#include "platform/FileLock.h"

#include "platform/FileIo.h"

#include <cerrno>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace rovik {

namespace {
std::chrono::milliseconds g_wait{-1};
constexpr std::chrono::milliseconds kRetryEvery{20};

std::chrono::milliseconds lockWait() {
    return g_wait.count() >= 0 ? g_wait : kLockWait;
}

std::string busyText(const std::string& lockFile, std::chrono::milliseconds waited) {
    return lockFile + " を " + std::to_string((waited.count() + 999) / 1000) +
           " 秒待っても、ほかのインストールが使用中のままです。しばらくしてからもう一度試してください。";
}
} // namespace

std::string lockFileOf(const std::string& file) {
    return file + ".lock";
}

void setLockWaitForTesting(std::chrono::milliseconds wait) {
    g_wait = wait;
}

FileLock::~FileLock() {
    unlock();
}

#ifdef _WIN32
bool FileLock::lock(const std::string& file, std::string& problem) {
    unlock();
    const std::string lockFile = lockFileOf(file);
    // Shared open, exclusive byte-range lock: every writer opens the same file and waits its turn.
    HANDLE h = CreateFileW(nativePath(lockFile).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        problem = lockFile + " を作れません（エラー " + std::to_string(GetLastError()) + "）。";
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + lockWait();
    for (;;) {
        OVERLAPPED at{};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
        const DWORD failure = GetLastError();
        if (failure != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= until) {
            CloseHandle(h);
            problem = failure == ERROR_LOCK_VIOLATION
                          ? busyText(lockFile, lockWait())
                          : lockFile + " をロックできません（エラー " + std::to_string(failure) + "）。";
            return false;
        }
        std::this_thread::sleep_for(kRetryEvery);
    }
    m_handle = h;
    return true;
}

void FileLock::unlock() {
    if (m_handle == kNone) return;
    OVERLAPPED at{};
    UnlockFileEx(m_handle, 0, 1, 0, &at);
    CloseHandle(m_handle);
    m_handle = kNone;
}
#else
bool FileLock::lock(const std::string& file, std::string& problem) {
    unlock();
    const std::string lockFile = lockFileOf(file);
    // Each open is its own lock owner, so two threads of one process exclude each other too.
    // A link put in the lock file's place is not followed.
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        problem = lockFile + " を作れません。\n" + std::strerror(errno);
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + lockWait();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int failure = errno;
        if ((failure != EWOULDBLOCK && failure != EINTR) || std::chrono::steady_clock::now() >= until) {
            ::close(fd);
            problem = failure == EWOULDBLOCK ? busyText(lockFile, lockWait())
                                             : lockFile + " をロックできません。\n" + std::strerror(failure);
            return false;
        }
        std::this_thread::sleep_for(kRetryEvery);
    }
    m_handle = fd;
    return true;
}

void FileLock::unlock() {
    if (m_handle == kNone) return;
    ::close(m_handle); // closing the last descriptor releases the lock
    m_handle = kNone;
}
#endif

} // namespace rovik
