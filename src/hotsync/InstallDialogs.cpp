#include "hotsync/InstallDialogs.h"

#include "data/Common.h"
#include "hotsync/Hotsync.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/TForm7.h"
#include "hotsync/TargetChoice.h"
#include "hotsync/TargetSettingsDialog.h"
#include "pdb/PdbWriter.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <chrono>
#include <thread>

namespace rovik {
namespace {
const char* const kTargetCaption = "インストール先";

// Work that waits on another program (Wine answers in seconds, pilot-xfer waits for the HotSync
// button) runs on a thread of its own; after a moment a note says what is happening, and the
// windows keep painting.
template <typename Work> auto withNote(QWidget* parent, const QString& text, Work work) -> decltype(work()) {
    decltype(work()) result{};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = work();
        finished = true;
    });
    for (int i = 0; i < 10 && !finished; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!finished) {
        QDialog note(parent);
        note.setObjectName(QStringLiteral("InstallWait"));
        note.setWindowTitle(QStringLiteral("ｲﾝｽﾄｰﾙ"));
        note.setWindowFlags(note.windowFlags() & ~Qt::WindowCloseButtonHint);
        auto* layout = new QVBoxLayout(&note);
        layout->addWidget(new QLabel(text, &note));
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &note, [&] {
            if (finished) note.accept();
        });
        poll.start(50);
        note.exec();
    }
    worker.join();
    return result;
}

const char* const kAskingWine = "Wine の Palm Desktop に問い合わせています...";

// The install target, or null after one message, which offers the settings dialog.
std::unique_ptr<InstallTarget> resolveTarget(QWidget* parent, const std::string& startFolder,
                                             Prompter& prompter) {
    for (int round = 0; round < 2; ++round) {
        const TargetEnvironment env = TargetEnvironment::fromProcess(startFolder);
        std::string problem;
        std::unique_ptr<InstallTarget> target = withNote(parent, QString::fromUtf8(kAskingWine), [&] {
            return chooseTarget(env, loadTargetSettings(env), problem);
        });
        if (target) return target;
        if (round == 1) {
            prompter.error(problem, kTargetCaption);
            break;
        }
        if (prompter.ask(problem + "\n\n転送先の設定を開きますか？", kTargetCaption, Buttons::YesNo,
                         Icon::Warning) != Answer::Yes ||
            !editInstallTargets(parent, startFolder, prompter))
            break;
    }
    return nullptr;
}

InstallOutcome outcomeOf(const InstallRequest& request, const std::string& palmStatusText,
                         Prompter& prompter) {
    if (!request.done) return {false, {}, request.failed};
    if (request.doneText.empty()) return {true, palmStatusText};
    // pilot-xfer's output is worth reading in full; the status line keeps the first line.
    if (request.installedNow) prompter.ask(request.doneText, "ｲﾝｽﾄｰﾙ", Buttons::Ok, Icon::Information);
    return {true, request.doneText.substr(0, request.doneText.find('\n'))};
}

// Opens the dialog for the target; Palm Desktop of this system keeps its own start-up.
InstallOutcome runInstallDialog(QWidget* parent, InstallRequest& request, const std::string& startFolder,
                                Prompter& prompter, const WritePdbFunction& writePdb,
                                const QString& explanation, const QString& name, bool editable,
                                const std::string& palmStatusFileName) {
    std::unique_ptr<InstallTarget> target = resolveTarget(parent, startFolder, prompter);
    if (!target) return {};
    InstallTarget* other = target->kind() == TargetKind::PalmDesktop ? nullptr : target.get();
    RunOutside outside;
    if (other && other->kind() == TargetKind::PilotXfer)
        outside = [parent](const std::function<TargetOutcome()>& install) {
            return withNote(parent,
                            QStringLiteral("PalmデバイスのHotSyncボタンを押してください。\n"
                                           "pilot-xfer が転送を終えるまでお待ちください。"),
                            install);
        };
    if (other && other->kind() == TargetKind::Wine) {
        // Asked once here, so that the dialog's user list only reads users.dat.
        auto* wine = static_cast<WineTarget*>(other);
        withNote(parent, QString::fromUtf8(kAskingWine), [wine] {
            std::string ignored;
            return wine->windowsPalmFolder(ignored);
        });
        outside = [parent](const std::function<TargetOutcome()>& install) {
            return withNote(parent, QString::fromUtf8(kAskingWine), install);
        };
    }
    TForm7 dialog(request, startFolder, prompter, writePdb, parent, other, outside);
    const bool now = other && other->kind() == TargetKind::PilotXfer;
    dialog.setExplanation(now ? QString::fromUtf8(kPilotXferExplanation) : explanation);
    dialog.setDatabaseName(name, editable);
    dialog.exec();
    const std::string fileName =
        palmStatusFileName.empty() ? dialog.databaseName().toStdString() + ".pdb" : palmStatusFileName;
    return outcomeOf(request, installStatusText(fileName), prompter);
}
} // namespace

InstallOutcome reserveReadyMadeInstall(QWidget* parent, const InstallOpening& opening,
                                       const std::string& startFolder, Prompter& prompter) {
    InstallRequest request;
    request.source = request.target = opening.fileName;
    request.readyMade = true;
    return runInstallDialog(parent, request, startFolder, prompter, {},
                            QString::fromUtf8(opening.explanation), QString::fromUtf8(opening.databaseName),
                            false, opening.fileName);
}

InstallOutcome reservePdbInstall(QWidget* parent, const std::string& startFolder,
                                 const std::string& currentFileName, const WritePdbFunction& writePdb,
                                 Prompter& prompter) {
    InstallRequest request;
    // The name box after closing: an edited name is what was installed.
    return runInstallDialog(parent, request, startFolder, prompter, writePdb,
                            QString::fromUtf8(kPdbExplanation),
                            QString::fromStdString(BaseName(currentFileName)), true, {});
}

InstallOutcome reservePdbInstall(QWidget* parent, QuestionSet& set, const std::string& startFolder,
                                 const std::string& currentFileName, Prompter& prompter) {
    auto write = [&set, &prompter](const std::string& path) { return WritePdb(set, path, prompter); };
    return reservePdbInstall(parent, startFolder, currentFileName, write, prompter);
}

namespace {
bool startProgram(const std::string& program) {
    return startDetached(program);
}

// Starts the chosen target's own program: Palm's under Wine, or J-Pilot. False when there is
// nothing to start other than Palm Desktop of this system.
bool startTargetProgram(Prompter& prompter, const char* palmProgram, bool& handled) {
    handled = true;
    const TargetEnvironment env = TargetEnvironment::fromProcess({});
    std::string problem;
    std::unique_ptr<InstallTarget> target = chooseTarget(env, loadTargetSettings(env), problem);
    if (!target) {
        prompter.ask(problem, kTargetCaption, Buttons::Ok, Icon::Warning);
        return false;
    }
    switch (target->kind()) {
    case TargetKind::PalmDesktop:
        handled = false;
        return false;
    case TargetKind::Wine: {
        auto* wine = static_cast<WineTarget*>(target.get());
        const std::string folder = wine->windowsPalmFolder(problem);
        if (folder.empty()) {
            prompter.error(problem);
            return false;
        }
        const std::string program = folder + "\\" + palmProgram;
        if (startDetached(wine->wine(), program)) return true;
        prompter.error("wine " + program + " を起動できません。");
        return false;
    }
    case TargetKind::JPilot:
        if (startDetached("jpilot")) return true;
        prompter.error("jpilot を起動できません。");
        return false;
    case TargetKind::PilotXfer:
        prompter.ask("pilot-xfer はｲﾝｽﾄｰﾙの時に直接転送します。起動するものはありません。", kTargetCaption,
                     Buttons::Ok, Icon::Information);
        return false;
    }
    return false;
}
} // namespace

void startHotSyncFrom(Prompter& prompter) {
    bool handled = false;
    startTargetProgram(prompter, "hotsync.exe", handled);
    if (!handled) StartHotSync(prompter, startProgram);
}

void startInstallToolFrom(Prompter& prompter) {
    bool handled = false;
    startTargetProgram(prompter, "Instapp.exe", handled);
    if (!handled) StartInstallTool(prompter, startProgram);
}

} // namespace rovik
