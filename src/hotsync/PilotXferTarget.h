#pragma once
// pilot-link's pilot-xfer installs at once while the handheld's HotSync button is pressed.
#include "hotsync/InstallTarget.h"
#include "hotsync/RunProgram.h"

namespace rovik {

constexpr const char* kDefaultPilotPort = "usb:";

class PilotXferTarget : public InstallTarget {
public:
    // `program`: pilot-xfer's full path; `port`: as pilot-xfer's -p takes it.
    PilotXferTarget(std::string program, std::string port, RunProgram run);
    TargetKind kind() const override { return TargetKind::PilotXfer; }
    std::string where() const override { return m_program + " -p " + m_port; }
    // Waits for pilot-xfer; a window runs this away from its event loop.
    TargetOutcome install(const std::string& file, const std::string& fileName,
                          const TargetUser* user) override;

private:
    std::string m_program;
    std::string m_port;
    RunProgram m_run;
};

} // namespace rovik
