// The 起動 menu items: the chosen target's own program, started detached.
#include "hotsync/Hotsync.h"
#include "hotsync/InstallCommands.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/ProgramWait.h"
#include "hotsync/ResolveTarget.h"
#include "hotsync/WineRegistry.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

#include <QString>

namespace rovik {
namespace {
bool startProgram(const std::string& program) {
    return startDetached(program);
}

// Wine starts whatever it is given and only complains on its own terminal: a program missing
// from the prefix is said here.
bool startUnderWine(WineTarget& wine, ProgramWait& wait, Prompter& prompter, const char* palmProgram) {
    std::string folder, problem;
    if (!wait.withNote(QString::fromUtf8(kCheckingNote),
                       [&] { return folder = wine.windowsPalmFolder(problem); }))
        return false;
    if (folder.empty()) {
        prompter.error(problem);
        return false;
    }
    const std::string program = folder + "\\" + palmProgram;
    const std::string cannot = "wine " + program + " を起動できません。";
    const std::string onDisk = mapWinePath(wine.prefix(), wine.home(), program, problem);
    if (onDisk.empty() || !fileExists(onDisk)) {
        prompter.error(cannot + "\n" + (onDisk.empty() ? problem : onDisk + " がありません。"));
        return false;
    }
    if (startDetached(wine.wine(), program)) return true;
    prompter.error(cannot);
    return false;
}

// Starts the chosen target's own program: Palm's under Wine, or J-Pilot; Palm Desktop of this
// system through its own start operation.
void startTargetProgram(QWidget* parent, Prompter& prompter, const char* palmProgram,
                        bool (*startPalm)(Prompter&, const StartProcess&)) {
    ProgramWait wait(parent, prompter, QStringLiteral("起動"));
    std::unique_ptr<InstallTarget> target = resolveTarget(parent, {}, prompter, wait, TargetPurpose::Start);
    if (!target) return;
    switch (target->kind()) {
    case TargetKind::PalmDesktop:
        startPalm(prompter, startProgram);
        return;
    case TargetKind::Wine:
        startUnderWine(static_cast<WineTarget&>(*target), wait, prompter, palmProgram);
        return;
    case TargetKind::JPilot:
        if (!startDetached("jpilot")) prompter.error("jpilot を起動できません。");
        return;
    case TargetKind::PilotXfer:
        prompter.ask("pilot-xfer はｲﾝｽﾄｰﾙの時に直接転送します。起動するものはありません。", "インストール先",
                     Buttons::Ok, Icon::Information);
        return;
    }
}
} // namespace

void startHotSyncFrom(QWidget* parent, Prompter& prompter) {
    startTargetProgram(parent, prompter, "hotsync.exe", StartHotSync);
}

void startInstallToolFrom(QWidget* parent, Prompter& prompter) {
    startTargetProgram(parent, prompter, "Instapp.exe", StartInstallTool);
}

} // namespace rovik
