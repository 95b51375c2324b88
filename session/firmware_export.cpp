// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/firmware_export.h"

#include "calc/numbers/number_format.h"
#include "formats/firmware_source.h"
#include "formats/search_output.h"

namespace jt4dds {
FirmwareKind firmwareKind(Mcu mcu) {
    return mcu == Mcu::Atmega328p ? FirmwareKind{"c", "C source", "firmware-avr"}
                                  : FirmwareKind{"asm", "gpasm source", "firmware-pic"};
}

ExportAnswer exportFirmware(Beacon beacon, bool force, bool toFile, const EvaluateOptions& options) {
    const auto refused = [](std::string why) {
        ExportAnswer answer;
        answer.refusal = std::move(why);
        return answer;
    };
    const auto chosen = controllerOf(beacon);
    if (const auto* why = std::get_if<std::string>(&chosen)) return refused(*why);
    const Controller& controller = std::get<Controller>(chosen);
    if (beacon.message.empty()) return refused("the firmware keys the minute: type the message to send");
    // The plan is counted in the controller's own timer.
    beacon.timerHz = decimalText(controller.timerHz(), 6);
    const Evaluation evaluation = evaluate(beacon, options);
    // Gated as the C header is: the firmware carries the same words.
    if (const ExportGate gate = exportGate(OutputFormat::C, evaluation.press, evaluation.findings, force, toFile);
        gate != ExportGate::Open) {
        ExportAnswer answer = refused(exportRefusal(gate, evaluation.press, evaluation.findings));
        answer.gate = gate;
        if (gate == ExportGate::ErrorFindings) answer.question = forceQuestion(answer.refusal);
        return answer;
    }
    FirmwareFile file = firmwareFile(asPressed(evaluation.beacon, evaluation.press), OutputFormat::C);
    if (!file.transmission) return refused(file.leftOut);
    file.command = file.command.substr(0, file.command.rfind(" --format c")) + " --mcu-clock " +
                   decimalText(controller.clockHz, 0) + " --timer-prescale " + std::to_string(controller.prescale) +
                   (force ? " --force" : "") + " --format " + std::string(firmwareKind(controller.mcu).format);
    ExportAnswer answer;
    answer.bytes = controller.mcu == Mcu::Atmega328p ? avrFirmware(evaluation.press, file, controller)
                                                     : picFirmware(evaluation.press, file, controller);
    return answer;
}

}  // namespace jt4dds
