// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/firmware_output.h"

#include <filesystem>

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/transmission/controller.h"
#include "cli/exit_status.h"
#include "formats/files.h"
#include "formats/firmware_source.h"
#include "formats/search_output.h"
#include "session/evaluation.h"

namespace jt4dds {
namespace {

// A whole number as typed, or nothing when the text is not one.
std::optional<double> numberTyped(const std::string& text) {
    const NumberRead read = LeadingNumber(text);
    if (text.empty() || read.end != text.size() || !read.inRange) return std::nullopt;
    return read.value;
}

}  // namespace

std::variant<Controller, int> applyController(Beacon& beacon, std::ostream& err) {
    const auto usage = [&err](const std::string& why) {
        err << "jt4dds-cli: " << why << " (see jt4dds-cli --help)\n";
        return kExitUsage;
    };
    std::optional<double> clock;
    if (!beacon.mcuClockHz.empty() && !(clock = numberTyped(beacon.mcuClockHz)))
        return usage("--mcu-clock takes the controller's clock in Hz; '" + beacon.mcuClockHz + "' is not one");
    std::optional<int> prescale;
    if (!beacon.timerPrescale.empty()) {
        const auto p = numberTyped(beacon.timerPrescale);
        if (!p || *p != static_cast<int>(*p))
            return usage("--timer-prescale takes a whole number; '" + beacon.timerPrescale + "' is not one");
        prescale = static_cast<int>(*p);
    }
    std::optional<double> timer;
    if (!beacon.timerHz.empty() && !(timer = numberTyped(beacon.timerHz)))
        return usage("--timer-hz takes the timer's rate in Hz; '" + beacon.timerHz + "' is not one");
    const auto mcu = beacon.mcu.empty() ? std::optional(Mcu::Atmega328p) : mcuNamed(beacon.mcu);
    if (!mcu) return usage("no firmware is made for the controller '" + beacon.mcu + "'");
    const auto chosen = controllerFor(*mcu, clock, prescale, timer);
    if (const auto* why = std::get_if<std::string>(&chosen)) return usage(*why);
    // The plan is counted in the controller's own timer.
    beacon.timerHz = decimalText(std::get<Controller>(chosen).timerHz(), 6);
    return std::get<Controller>(chosen);
}

int writeFirmware(Beacon beacon, const PlanCheckOptions& check, bool force, const std::string& output,
                  std::ostream& out, std::ostream& err) {
    const auto chosen = applyController(beacon, err);
    if (const int* status = std::get_if<int>(&chosen)) return *status;
    const Controller& controller = std::get<Controller>(chosen);
    const std::string format = controller.mcu == Mcu::Atmega328p ? "firmware-avr" : "firmware-pic";
    if (beacon.message.empty()) {
        err << "jt4dds-cli: --format " << format
            << " keys the minute: give the --message to send (see jt4dds-cli "
               "--help)\n";
        return kExitUsage;
    }
    const Evaluation evaluation = evaluate(beacon, EvaluateOptions{check});
    const ExportAnswer gate = exportAs(evaluation, OutputFormat::C, force, !output.empty());
    if (gate.gate == ExportGate::Stopped) return kExitEndedEarly;
    if (gate.gate == ExportGate::ErrorFindings) {
        err << "jt4dds-cli: no " << format
            << " written: these words cannot make the beacon; --force writes it all the "
               "same\n";
        return kExitStrictWarning;
    }
    FirmwareFile file = firmwareFile(asPressed(evaluation.beacon, evaluation.press), OutputFormat::C);
    if (!file.transmission) {
        err << "jt4dds-cli: no " << format << " written: " << file.leftOut << '\n';
        return kExitStrictWarning;
    }
    file.command = file.command.substr(0, file.command.rfind(" --format c")) + " --mcu-clock " +
                   decimalText(controller.clockHz, 0) + " --timer-prescale " + std::to_string(controller.prescale) +
                   (force ? " --force" : "") + " --format " + format;
    const std::string text = controller.mcu == Mcu::Atmega328p ? avrFirmware(evaluation.press, file, controller)
                                                               : picFirmware(evaluation.press, file, controller);
    if (output.empty()) {
        out << text;
        return kExitCompleted;
    }
    if (const auto why = writeFileAtomically(std::filesystem::u8path(output), text)) {
        err << "jt4dds-cli: " << *why << '\n';
        return kExitCannotWrite;
    }
    return kExitCompleted;
}

}  // namespace jt4dds
