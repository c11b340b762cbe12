#pragma once
// A desktop opener of our own: an "xdg-open" first on PATH that writes each address it is handed
// to a file, and a scratch cache folder for the pages the help writes.
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QThread>
#include <cstdlib>
#include <sys/stat.h>

namespace rovik::test {

class FakeOpener {
public:
    FakeOpener()
        : m_path("PATH", m_bin.path() + ":" + std::getenv("PATH")),
          m_cache("XDG_CACHE_HOME", m_cacheFolder.path()) {
        const std::string script = "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_bin.file("opened") + "'\n";
        chmod(m_bin.write("xdg-open", script).c_str(), 0755);
    }

    // What the opener was handed, once `count` calls arrived (it runs detached), or what came in 10 s.
    QStringList handed(int count = 1) const {
        QElapsedTimer waited;
        waited.start();
        QStringList lines;
        while (waited.elapsed() < 10000) {
            lines = QString::fromStdString(TempFolder::read(m_bin.file("opened")))
                        .split('\n', Qt::SkipEmptyParts);
            if (lines.size() >= count) break;
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        return lines;
    }
    const std::string& cacheFolder() const { return m_cacheFolder.path(); }

private:
    TempFolder m_bin;
    TempFolder m_cacheFolder;
    ScopedEnv m_path;
    ScopedEnv m_cache;
};

// No opener anywhere on PATH.
class NoOpener {
public:
    NoOpener() : m_path("PATH", m_empty.path()) {}

private:
    TempFolder m_empty;
    ScopedEnv m_path;
};

} // namespace rovik::test
