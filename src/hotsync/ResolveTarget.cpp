#include "hotsync/ResolveTarget.h"

#include "hotsync/PalmFolderTarget.h"
#include "hotsync/ProgramWait.h"
#include "hotsync/TargetSettingsDialog.h"
#include "platform/Prompter.h"

namespace rovik {

const char* const kCheckingNote = "確認しています…";

namespace {
// Palm Desktop chosen by name, but its stand-in file holds no usable folder: that file is what to
// mend, rather than Palm's chain of registry messages. Windows's own registry keeps those.
std::string standInProblem(InstallTarget& target) {
#ifdef _WIN32
    (void)target;
    return {};
#else
    std::string problem;
    if (target.kind() != TargetKind::PalmDesktop ||
        !static_cast<PalmDesktopTarget&>(target).palmFolder(problem).empty())
        return {};
    return problem + "\n「転送先の設定...」で Palm Desktop のフォルダ（users.dat のある所）を選びます。";
#endif
}
} // namespace

std::unique_ptr<InstallTarget> resolveTarget(QWidget* parent, const std::string& startFolder,
                                             Prompter& prompter, ProgramWait& wait, TargetPurpose purpose) {
    const std::string caption = purpose == TargetPurpose::Install ? "インストール先" : "転送先";
    for (int round = 0; round < 2; ++round) {
        TargetEnvironment env = TargetEnvironment::fromProcess(startFolder);
        env.run = wait.run();
        std::string problem;
        auto found = wait.withNote(QString::fromUtf8(kCheckingNote), [&] {
            return chooseTarget(env, loadTargetSettings(env), problem, purpose);
        });
        if (!found) return nullptr;
        std::unique_ptr<InstallTarget> target = std::move(*found);
        if (target && (problem = standInProblem(*target)).empty()) return target;
        if (round == 1) {
            prompter.error(problem, caption);
            break;
        }
        if (prompter.ask(problem + "\n\n転送先の設定を開きますか？", caption, Buttons::YesNo,
                         Icon::Warning) != Answer::Yes ||
            !editInstallTargets(parent, startFolder, prompter))
            break;
    }
    return nullptr;
}

} // namespace rovik
