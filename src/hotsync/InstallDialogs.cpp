#include "hotsync/InstallDialogs.h"

#include "data/Common.h"
#include "hotsync/Hotsync.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/ProgramWait.h"
#include "hotsync/TForm7.h"
#include "hotsync/TargetChoice.h"
#include "hotsync/TargetSettingsDialog.h"
#include "pdb/PdbWriter.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

namespace rovik {
namespace {
const char* const kTargetCaption = "インストール先";

const char* const kAskingWine = "Wine の Palm Desktop に問い合わせています...";
// Detection may start Wine, which takes seconds.
const char* const kChecking = "確認しています…";

// The install target, or null after one message, which offers the settings dialog.
// Its programs are the ones `wait` can stop.
std::unique_ptr<InstallTarget> resolveTarget(QWidget* parent, const std::string& startFolder,
                                             Prompter& prompter, ProgramWait& wait) {
    for (int round = 0; round < 2; ++round) {
        TargetEnvironment env = TargetEnvironment::fromProcess(startFolder);
        env.run = wait.run();
        std::string problem;
        auto target = wait.withNote(QString::fromUtf8(kChecking),
                                    [&] { return chooseTarget(env, loadTargetSettings(env), problem); });
        if (!target) return nullptr;
        if (*target) return std::move(*target);
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
    ProgramWait wait(parent, prompter, QStringLiteral("ｲﾝｽﾄｰﾙ"));
    std::unique_ptr<InstallTarget> target = resolveTarget(parent, startFolder, prompter, wait);
    if (!target) return {};
    InstallTarget* other = target->kind() == TargetKind::PalmDesktop ? nullptr : target.get();
    QString note;
    if (other && other->kind() == TargetKind::PilotXfer)
        note = QStringLiteral("PalmデバイスのHotSyncボタンを押してください。\n"
                              "pilot-xfer が転送を終えるまでお待ちください。");
    if (other && other->kind() == TargetKind::Wine) {
        // Asked once here, so that the dialog's user list only reads users.dat.
        auto* wine = static_cast<WineTarget*>(other);
        std::string ignored;
        if (!wait.withNote(QString::fromUtf8(kAskingWine), [&] { return wine->windowsPalmFolder(ignored); }))
            return {};
        note = QString::fromUtf8(kAskingWine);
    }
    RunOutside outside;
    if (!note.isEmpty())
        outside = [&wait, note](const std::function<TargetOutcome()>& install) {
            TargetOutcome stopped;
            stopped.stopped = true;
            return wait.withNote(note, install).value_or(stopped);
        };
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
bool startTargetProgram(QWidget* parent, Prompter& prompter, const char* palmProgram, bool& handled) {
    handled = true;
    ProgramWait wait(parent, prompter, QStringLiteral("起動"));
    TargetEnvironment env = TargetEnvironment::fromProcess({});
    env.run = wait.run();
    std::string problem;
    auto found = wait.withNote(QString::fromUtf8(kChecking),
                               [&] { return chooseTarget(env, loadTargetSettings(env), problem); });
    if (!found) return false;
    std::unique_ptr<InstallTarget> target = std::move(*found);
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
        std::string folder;
        if (!wait.withNote(QString::fromUtf8(kChecking),
                           [&] { return folder = wine->windowsPalmFolder(problem); }))
            return false;
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

void startHotSyncFrom(QWidget* parent, Prompter& prompter) {
    bool handled = false;
    startTargetProgram(parent, prompter, "hotsync.exe", handled);
    if (!handled) StartHotSync(prompter, startProgram);
}

void startInstallToolFrom(QWidget* parent, Prompter& prompter) {
    bool handled = false;
    startTargetProgram(parent, prompter, "Instapp.exe", handled);
    if (!handled) StartInstallTool(prompter, startProgram);
}

} // namespace rovik
