#include "hotsync/InstallTarget.h"

#include "platform/FileIo.h"

namespace rovik {

const TargetKind kTargetKinds[4] = {TargetKind::PalmDesktop, TargetKind::Wine, TargetKind::JPilot,
                                    TargetKind::PilotXfer};

const char* targetKeyword(TargetKind kind) {
    switch (kind) {
    case TargetKind::PalmDesktop:
        return "palm-desktop";
    case TargetKind::Wine:
        return "wine";
    case TargetKind::JPilot:
        return "jpilot";
    case TargetKind::PilotXfer:
        return "pilot-xfer";
    }
    return "";
}

std::optional<TargetKind> targetKindFromKeyword(const std::string& keyword) {
    for (TargetKind kind : kTargetKinds)
        if (keyword == targetKeyword(kind)) return kind;
    return std::nullopt;
}

const char* targetTitle(TargetKind kind) {
    switch (kind) {
    case TargetKind::PalmDesktop:
        return "Palm Desktop";
    case TargetKind::Wine:
        return "Palm Desktop (Wine)";
    case TargetKind::JPilot:
        return "J-Pilot";
    case TargetKind::PilotXfer:
        return "pilot-xfer";
    }
    return "";
}

std::string linkLeavesFolder(const std::string& path, const std::string& folder) {
    std::string resolved;
    if (folder.empty() || resolvesInside(path, folder, &resolved)) return {};
    return path + " はリンクで " + (resolved.empty() ? std::string("（たどれない場所）") : resolved) +
           " を指しています。" + folder + " の外に出るため、書き込みませんでした。";
}

bool hasControlCharacter(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

std::string visibleText(const std::string& text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace rovik
