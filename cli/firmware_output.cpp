// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/firmware_output.h"

#include <filesystem>

#include "calc/numbers/number_format.h"
#include "calc/transmission/controller.h"
#include "cli/exit_status.h"
#include "formats/files.h"
#include "formats/search_output.h"
#include "session/evaluation.h"
#include "session/firmware_export.h"

namespace jt4dds {
std::variant<Controller, int> applyController(Beacon& beacon, std::ostream& err) {
    const auto chosen = controllerOf(beacon);
    if (const auto* why = std::get_if<std::string>(&chosen)) {
        err << "jt4dds-cli: " << *why << " (see jt4dds-cli --help: --mcu, --mcu-clock, --timer-prescale, --timer-hz)\n";
        return kExitUsage;
    }
    // The plan is counted in the controller's own timer.
    beacon.timerHz = decimalText(std::get<Controller>(chosen).timerHz(), 6);
    return std::get<Controller>(chosen);
}

int writeFirmware(Beacon beacon, const PlanCheckOptions& check, bool force, const std::string& output,
                  std::ostream& out, std::ostream& err) {
    const auto chosen = applyController(beacon, err);
    if (const int* status = std::get_if<int>(&chosen)) return *status;
    const std::string format(firmwareKind(std::get<Controller>(chosen).mcu).format);
    if (beacon.message.empty()) {
        err << "jt4dds-cli: --format " << format
            << " keys the minute: give the --message to send (see jt4dds-cli "
               "--help)\n";
        return kExitUsage;
    }
    const ExportAnswer answer = exportFirmware(beacon, force, !output.empty(), EvaluateOptions{check});
    if (answer.gate == ExportGate::Stopped) return kExitEndedEarly;
    if (answer.gate == ExportGate::ErrorFindings) {
        err << "jt4dds-cli: no " << format
            << " written: these words cannot make the beacon; --force writes it all the same\n";
        return kExitStrictWarning;
    }
    if (!answer.bytes) {
        err << "jt4dds-cli: no " << format << " written: " << answer.refusal << '\n';
        return kExitStrictWarning;
    }
    if (output.empty()) {
        out << *answer.bytes;
        return kExitCompleted;
    }
    if (const auto why = writeFileAtomically(std::filesystem::u8path(output), *answer.bytes)) {
        err << "jt4dds-cli: " << *why << '\n';
        return kExitCannotWrite;
    }
    return kExitCompleted;
}

}  // namespace jt4dds
