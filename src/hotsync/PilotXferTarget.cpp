#include "hotsync/PilotXferTarget.h"

namespace rovik {
namespace {
// The tail of pilot-xfer's output is what says why it stopped.
std::string lastLines(const std::string& output) {
    constexpr std::size_t kShown = 1500;
    return output.size() <= kShown ? output : "…" + output.substr(output.size() - kShown);
}
} // namespace

PilotXferTarget::PilotXferTarget(std::string program, std::string port, RunProgram run)
    : m_program(std::move(program)), m_port(port.empty() ? kDefaultPilotPort : std::move(port)),
      m_run(std::move(run)) {}

TargetOutcome PilotXferTarget::install(const std::string& file, const std::string& fileName,
                                       const TargetUser*) {
    TargetOutcome outcome;
    const ProgramResult result = m_run({m_program, "-p", m_port, "-i", file}, {});
    const std::string output = lastLines(result.output);
    if (!result.started) {
        outcome.text = m_program + " を起動できません。";
    } else if (result.exitCode != 0) {
        outcome.text = "pilot-xfer で " + fileName + " をインストールできませんでした（終了コード " +
                       std::to_string(result.exitCode) + "）。" + (output.empty() ? "" : "\n\n" + output);
    } else {
        outcome.ok = outcome.installedNow = true;
        outcome.text = fileName + "をpilot-xferでｲﾝｽﾄｰﾙしました。" + (output.empty() ? "" : "\n\n" + output);
    }
    return outcome;
}

} // namespace rovik
