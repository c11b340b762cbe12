#pragma once
// Palm Desktop's way: users.dat in its folder, each user's <folder>/<sub-folder>/Install, and
// the "Install<id>" flag under the HotSync Manager key. Palm Desktop of this system reads the
// registry (or its stand-in file); Palm Desktop under Wine is asked through Wine's reg tool.
#include "hotsync/InstallTarget.h"
#include "hotsync/RunProgram.h"
#include "hotsync/WineRegistry.h"

#include <optional>

namespace rovik {

class PalmFolderTarget : public InstallTarget {
public:
    bool hasUsers() const override { return true; }
    std::vector<TargetUser> users(int& preselected, std::string& problem) override;
    TargetOutcome install(const std::string& file, const std::string& fileName,
                          const TargetUser* user) override;

    // The Palm Desktop folder as a native path, or empty with `problem` set.
    virtual std::string palmFolder(std::string& problem) = 0;

protected:
    // Sets "Install<id>"=1; false with `problem` set.
    virtual bool setInstallFlag(std::uint32_t id, std::string& problem) = 0;
};

// Through the registry layer: the real registry on Windows, the stand-in file elsewhere.
class PalmDesktopTarget : public PalmFolderTarget {
public:
    TargetKind kind() const override { return TargetKind::PalmDesktop; }
    std::string where() const override;
    std::string palmFolder(std::string& problem) override;

protected:
    bool setInstallFlag(std::uint32_t id, std::string& problem) override;
};

class WineTarget : public PalmFolderTarget {
public:
    // `wine`: the wine program's path; `prefix`: the Wine prefix folder; `home`: $HOME, where
    // Wine links the user's folders (empty: only the prefix is written into).
    WineTarget(std::string wine, std::string prefix, RunProgram run, std::string home = {});
    TargetKind kind() const override { return TargetKind::Wine; }
    std::string where() const override { return m_prefix; }
    std::string palmFolder(std::string& problem) override;
    // Palm Desktop's folder as Windows names it ("C:\..."), or empty with `problem` set. Asked
    // once: each question starts Wine, which takes seconds.
    std::string windowsPalmFolder(std::string& problem);
    const std::string& wine() const { return m_wine; }
    const std::string& prefix() const { return m_prefix; }
    const std::string& home() const { return m_home; }

protected:
    bool setInstallFlag(std::uint32_t id, std::string& problem) override;

private:
    ProgramResult reg(const std::vector<std::string>& arguments);
    // The values of a key under HKEY_CURRENT_USER, read losslessly; nothing with `problem` set.
    std::optional<std::vector<RegValue>> exportKey(const std::string& key, std::string& problem);

    std::string m_wine;
    std::string m_prefix;
    RunProgram m_run;
    std::string m_home;
    std::string m_windowsFolder;
};

// Writes the stand-in file so that Palm Desktop's folder is `folder`: the Core key's "Path" and
// "HotSyncPath" are replaced, the HotSync Manager key is added when missing, every other line is
// kept. Atomic; false with `problem` set.
bool writePalmDesktopStandIn(const std::string& registryFile, const std::string& folder,
                             std::string& problem);

} // namespace rovik
