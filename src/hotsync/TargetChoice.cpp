#include "hotsync/TargetChoice.h"

#include "hotsync/Hotsync.h"
#include "hotsync/JPilotTarget.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/PilotXferTarget.h"
#include "hotsync/WineRegistry.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/Registry.h"

#include <cstdlib>
#include <filesystem>

namespace rovik {
namespace fs = std::filesystem;

namespace {
// A settings file larger than this is none of ours: it is read as defaults and replaced whole.
constexpr std::size_t kMaxTargetSettingsBytes = 65536;

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string trimmed(const std::string& text) {
    const std::size_t from = text.find_first_not_of(" \t\r");
    if (from == std::string::npos) return {};
    return text.substr(from, text.find_last_not_of(" \t\r") - from + 1);
}

bool palmDesktopConfigured() {
    RegistryKey key;
    return key.open(kCoreKey) && !key.readString("HotSyncPath").value_or(std::string()).empty() &&
           !key.readString("Path").value_or(std::string()).empty();
}

// Wine keeps HKEY_CURRENT_USER in user.reg: reading it finds Palm Desktop in a moment, where
// starting Wine to ask would hold the window for seconds. The install itself asks Wine.
bool winePalmDesktopConfigured(const std::string& prefix) {
    std::string bytes;
    if (!readWholeFile(joinPath(prefix, "user.reg"), bytes)) return false;
    const auto core = parseWineUserReg(bytes, kCoreKey);
    return core && !regString(*core, "Path").value_or(std::string()).empty() &&
           !regString(*core, "HotSyncPath").value_or(std::string()).empty();
}
} // namespace

std::string portProblem(const std::string& port) {
    const auto startsWith = [&](const char* head) { return port.rfind(head, 0) == 0; };
    bool plain = port.size() < 256;
    for (char c : port)
        plain = plain && static_cast<unsigned char>(c) > 0x20 && c != 0x7F;
    const bool device = startsWith("/dev/") && port.size() > 5 && port.find("/../") == std::string::npos &&
                        port.compare(port.size() - 3, 3, "/..") != 0;
    if (plain && (startsWith("usb:") || startsWith("net:") || device)) return {};
    return "pilot-xferのポート「" + visibleText(port) +
           "」は使えません。\nusb:、net: または /dev/ の下のデバイス（例 /dev/ttyUSB0）を、空白や制御文字を"
           "含めずに指定してください。";
}

TargetSettings parseTargetSettings(const std::string& bytes) {
    TargetSettings settings;
    std::size_t from = 0;
    while (from < bytes.size()) {
        std::size_t end = bytes.find('\n', from);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(from, end - from);
        from = end + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = trimmed(line.substr(0, eq)), value = trimmed(line.substr(eq + 1));
        if (name == "Target") settings.target = targetKindFromKeyword(value);
        if (name == "Port" && portProblem(value).empty()) settings.port = value;
    }
    return settings;
}

std::string withTargetSettings(const std::string& bytes, const TargetSettings& settings) {
    // Lines another version of the program may have added are kept; ours are written anew.
    std::string kept;
    std::size_t from = 0;
    while (from < bytes.size() && bytes.size() <= kMaxTargetSettingsBytes) {
        std::size_t end = bytes.find('\n', from);
        end = end == std::string::npos ? bytes.size() : end + 1;
        const std::string line = bytes.substr(from, end - from);
        from = end;
        const std::string name = trimmed(line.substr(0, line.find('=')));
        if (line.find('=') != std::string::npos && (name == "Target" || name == "Port")) continue;
        kept += line;
        if (kept.back() != '\n') kept += '\n';
    }
    return kept + formatTargetSettings(settings);
}

std::string formatTargetSettings(const TargetSettings& settings) {
    return "Target=" + std::string(settings.target ? targetKeyword(*settings.target) : "auto") +
           "\nPort=" + settings.port + "\n";
}

TargetEnvironment TargetEnvironment::fromProcess(const std::string& startFolder) {
    TargetEnvironment env;
    env.home = environmentValue("HOME");
    env.winePrefix = environmentValue("WINEPREFIX");
    if (env.winePrefix.empty() && !env.home.empty()) env.winePrefix = joinPath(env.home, ".wine");
    env.jpilotHome = environmentValue("JPILOT_HOME");
    if (env.jpilotHome.empty()) env.jpilotHome = env.home;
    env.pathList = environmentValue("PATH");
    env.keepFolder = joinPath(startFolder, "Install");
    env.settingsFile = joinPath(folderOf(registryFilePath()), "InstallTarget.ini");
    return env;
}

std::string TargetEnvironment::jpilotQueue() const {
    return joinPath(joinPath(jpilotHome, ".jpilot"), "jpilot.install");
}

TargetSettings loadTargetSettings(const TargetEnvironment& env) {
    std::string bytes;
    if (env.settingsFile.empty() || !readWholeFile(env.settingsFile, bytes) ||
        bytes.size() > kMaxTargetSettingsBytes)
        return {};
    return parseTargetSettings(bytes);
}

bool saveTargetSettings(const TargetEnvironment& env, const TargetSettings& settings, std::string& problem) {
    problem = portProblem(settings.port);
    if (!problem.empty()) return false;
    std::error_code ec;
    fs::create_directories(nativePath(folderOf(env.settingsFile)), ec);
    // Two dialogs or programs saving at once: one at a time, each over what the other left.
    FileLock lock;
    if (!lock.lock(env.settingsFile, problem)) return false;
    std::string bytes;
    if (fileExists(env.settingsFile) && !readWholeFile(env.settingsFile, bytes, &problem)) return false;
    return writeFileAtomically(env.settingsFile, withTargetSettings(bytes, settings), &problem);
}

std::vector<TargetFinding> findTargets(const TargetEnvironment& env) {
    std::vector<TargetFinding> findings;
    const std::string wine = findOnPath("wine", env.pathList);
    const std::string jpilot = findOnPath("jpilot", env.pathList);
    const std::string xfer = findOnPath("pilot-xfer", env.pathList);
    for (TargetKind kind : kTargetKinds) {
        TargetFinding f{kind, false, {}};
        switch (kind) {
        case TargetKind::PalmDesktop:
            f.found = palmDesktopConfigured();
            f.detail = PalmDesktopTarget().where();
            break;
        case TargetKind::Wine:
            f.found = !wine.empty() && folderExists(joinPath(env.winePrefix, "dosdevices")) &&
                      winePalmDesktopConfigured(env.winePrefix);
            f.detail = (wine.empty() ? "wine (PATH), " : "") + env.winePrefix;
            break;
        case TargetKind::JPilot:
            f.found = folderExists(joinPath(env.jpilotHome, ".jpilot")) || !jpilot.empty();
            f.detail = env.jpilotQueue();
            break;
        case TargetKind::PilotXfer:
            f.found = !xfer.empty();
            f.detail = xfer.empty() ? "pilot-xfer (PATH)" : xfer;
            break;
        }
        findings.push_back(f);
    }
    return findings;
}

std::unique_ptr<InstallTarget> makeTarget(TargetKind kind, const TargetEnvironment& env,
                                          const TargetSettings& settings, std::string& problem) {
    switch (kind) {
    case TargetKind::PalmDesktop:
        return std::make_unique<PalmDesktopTarget>();
    case TargetKind::Wine: {
        const std::string wine = findOnPath("wine", env.pathList);
        if (wine.empty()) {
            problem = "wine が PATH に見つかりません。";
            return nullptr;
        }
        return std::make_unique<WineTarget>(wine, env.winePrefix, env.run, env.home);
    }
    case TargetKind::JPilot:
        return std::make_unique<JPilotTarget>(env.jpilotQueue(), env.keepFolder);
    case TargetKind::PilotXfer: {
        const std::string xfer = findOnPath("pilot-xfer", env.pathList);
        if (xfer.empty()) {
            problem = "pilot-xfer が PATH に見つかりません。";
            return nullptr;
        }
        return std::make_unique<PilotXferTarget>(xfer, settings.port, env.run);
    }
    }
    return nullptr;
}

std::unique_ptr<InstallTarget> chooseTarget(const TargetEnvironment& env, const TargetSettings& settings,
                                            std::string& problem, TargetPurpose purpose) {
    problem.clear();
    if (settings.target) return makeTarget(*settings.target, env, settings, problem);
    const std::vector<TargetFinding> findings = findTargets(env);
    for (const TargetFinding& f : findings)
        if (f.found) return makeTarget(f.kind, env, settings, problem);
    problem = noTargetMessage(findings, purpose);
    return nullptr;
}

std::string noTargetMessage(const std::vector<TargetFinding>& findings, TargetPurpose purpose) {
    const bool install = purpose == TargetPurpose::Install;
    std::string text =
        std::string(install ? "インストール先" : "転送先") + "が見つかりません。次のものを探しました：\n\n";
    for (const TargetFinding& f : findings) {
        text += "・" + std::string(targetTitle(f.kind)) + "（" + f.detail + "）\n    ";
        switch (f.kind) {
        case TargetKind::PalmDesktop:
            text += "「転送先の設定...」で Palm Desktop のフォルダ（users.dat のある所）を選びます。\n";
            break;
        case TargetKind::Wine:
            text += "Wine に Palm Desktop をインストールして一度 HotSync します。\n";
            break;
        case TargetKind::JPilot:
            text += "J-Pilot をインストールして一度起動します。\n";
            break;
        case TargetKind::PilotXfer:
            text += "pilot-link の pilot-xfer を PATH の通った所に置きます。\n";
            break;
        }
    }
    return text + "\n用意ができたら、もう一度" + (install ? "インストール" : "起動") + "してください。";
}

} // namespace rovik
