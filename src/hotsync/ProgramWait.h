#pragma once
// Work that waits on another program (Wine answers in seconds, pilot-xfer waits for the HotSync
// button) runs on a thread of its own while the windows keep painting. After a moment a note says
// what is happening; its 中止 button, Escape and its close box end the programs the work runs.
#include "hotsync/RunProgram.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace rovik {

class Prompter;

class ProgramWait {
public:
    ProgramWait(QWidget* parent, Prompter& prompter, QString caption);

    // The programs run through this are the ones 中止 ends: give it to the targets.
    RunProgram run() const { return stoppableRun(m_stop); }

    // `work()` on a worker thread, with the note `text` if it takes a while. Nothing, after the
    // notice "中止しました", when 中止 ended a program of it.
    template <typename Work>
    auto withNote(const QString& text, Work work) -> std::optional<decltype(work())> {
        std::optional<decltype(work())> result;
        if (!runAside(text, [&] { result = work(); })) return std::nullopt;
        return result;
    }

private:
    bool runAside(const QString& text, const std::function<void()>& work);

    QWidget* m_parent;
    Prompter& m_prompter;
    QString m_caption;
    std::shared_ptr<ProgramStop> m_stop = std::make_shared<ProgramStop>();
};

} // namespace rovik
