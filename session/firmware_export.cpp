// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/firmware_export.h"

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "formats/firmware_source.h"
#include "formats/search_output.h"

namespace jt4dds {
namespace {

// A number typed whole, or nothing when the text is empty or not one.
std::variant<std::monostate, double, std::string> typedNumber(const std::string& text, const std::string& field) {
    if (text.empty()) return std::monostate{};
    const NumberRead read = LeadingNumber(text);
    if (read.end != text.size() || !read.inRange) return "the " + field + " takes a number; '" + text + "' is not one";
    return read.value;
}

}  // namespace

std::variant<Controller, std::string> controllerOf(const Beacon& beacon) {
    const auto mcu = beacon.mcu.empty() ? std::optional(Mcu::Atmega328p) : mcuNamed(beacon.mcu);
    if (!mcu) return "no firmware is made for the controller '" + beacon.mcu + "'";
    std::optional<double> values[3];
    const std::pair<const std::string*, const char*> fields[] = {{&beacon.mcuClockHz, "controller's clock in Hz"},
                                                                 {&beacon.timerPrescale, "timer's prescaler"},
                                                                 {&beacon.timerHz, "timer in Hz"}};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto read = typedNumber(*fields[i].first, fields[i].second);
        if (const auto* why = std::get_if<std::string>(&read)) return *why;
        if (const auto* value = std::get_if<double>(&read)) values[i] = *value;
    }
    if (values[1] && *values[1] != static_cast<int>(*values[1]))
        return "the timer's prescaler takes a whole number; '" + beacon.timerPrescale + "' is not one";
    return controllerFor(*mcu, values[0], values[1] ? std::optional(static_cast<int>(*values[1])) : std::nullopt,
                         values[2]);
}

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
