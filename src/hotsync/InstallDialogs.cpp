#include "hotsync/InstallDialogs.h"

#include "data/Common.h"
#include "hotsync/Hotsync.h"
#include "hotsync/TForm7.h"
#include "pdb/PdbWriter.h"
#include "platform/Shell.h"

namespace rovik {
InstallOutcome reserveReadyMadeInstall(QWidget* parent, const InstallOpening& opening,
                                       const std::string& startFolder, Prompter& prompter) {
    InstallRequest request;
    request.source = request.target = opening.fileName;
    request.readyMade = true;
    TForm7 dialog(request, startFolder, prompter, {}, parent);
    dialog.setExplanation(QString::fromUtf8(opening.explanation));
    dialog.setDatabaseName(QString::fromUtf8(opening.databaseName), false);
    dialog.exec();
    if (!request.done) return {false, {}, request.failed};
    return {true, installStatusText(opening.fileName)};
}

InstallOutcome reservePdbInstall(QWidget* parent, const std::string& startFolder,
                                 const std::string& currentFileName, const WritePdbFunction& writePdb,
                                 Prompter& prompter) {
    InstallRequest request;
    TForm7 dialog(request, startFolder, prompter, writePdb, parent);
    dialog.setExplanation(QString::fromUtf8(kPdbExplanation));
    dialog.setDatabaseName(QString::fromStdString(BaseName(currentFileName)), true);
    dialog.exec();
    if (!request.done) return {false, {}, request.failed};
    // The name box after closing: an edited name is what was installed.
    return {true, installStatusText(dialog.databaseName().toStdString() + ".pdb")};
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
} // namespace

void startHotSyncFrom(Prompter& prompter) {
    StartHotSync(prompter, startProgram);
}

void startInstallToolFrom(Prompter& prompter) {
    StartInstallTool(prompter, startProgram);
}

} // namespace rovik
