#include "hotsync/InstallCommands.h"

#include "data/Common.h"
#include "hotsync/InstallDialog.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/ProgramWait.h"
#include "hotsync/ResolveTarget.h"
#include "pdb/PdbWriter.h"
#include "platform/Prompter.h"

namespace rovik {
namespace {
const char* const kAskingWine = "Wine の Palm Desktop に問い合わせています...";

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
    std::unique_ptr<InstallTarget> target =
        resolveTarget(parent, startFolder, prompter, wait, TargetPurpose::Install);
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

} // namespace rovik
