#include "hotsync/InstallTarget.h"

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

} // namespace rovik
