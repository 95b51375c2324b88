// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/plan_parts.h"

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/transmission/controller.h"

namespace jt4dds::check_parts {
namespace {

// The beacon's minute: a message it cannot send, a minute longer than 60 s,
// and a PI4 CW identification off the carrier, where receivers expect it.
// A controller times each symbol as a whole number of its timer's counts, so
// a rounded period puts every symbol a little further off than the last: by
// the message's end, the number of symbols times the error. Measured with jt9
// at -22 dB in 2500 Hz on the program's own minutes (tests/decoder/
// measure_timing, docs/timer-tolerance.md): with the last symbol up to 0.41
// symbol off every seed decodes, at 0.62 nearly every one, at 1.03 fewer than
// half; the warning line is where the decodes cross 5 in 6, the note line
// half of it, short of any loss six seeds can show. PI4 is judged by the same
// share of a symbol.
constexpr double kTimerNoteSymbols = 0.35;
constexpr double kTimerWarningSymbols = 0.7;

void checkTimer(const Transmission& t, std::vector<Finding>& out) {
    const Minute& m = t.minute;
    const double timerHz = *t.timerHz;
    const auto symbols = static_cast<double>(t.message.symbols.size());
    // Rounding costs at most half a count a symbol: this rate or faster
    // keeps the last symbol inside the note line.
    const double slowestHz = std::ceil(0.5 * symbols / (kTimerNoteSymbols * m.symbolS));
    const std::string timer = "a timer of " + hz(timerHz, timerHz == std::floor(timerHz) ? 0 : 3);
    const std::string fix = "a timer of " + hz(slowestHz, 0) + " or faster";
    const auto symbol = timerCount(m.symbolS, timerHz);
    const auto dot = m.cw.empty() ? std::optional(TimerCount{1, 0.0}) : timerCount(m.dotS, timerHz);
    if (!symbol || !dot) {
        const std::string what = !symbol ? "the " + number(m.symbolS * 1000.0, 3) + " ms symbol"
                                         : "the CW dot of " + number(m.dotS * 1000.0, 3) + " ms";
        out.push_back(Finding{.severity = Severity::Error,
                              .kind = FindingKind::TimerDrift,
                              .sentField = TransmissionField::TimerHz,
                              .message = timer + " cannot count " + what + ": it rounds to 0 counts",
                              .fix = fix});
        return;
    }
    const double driftSymbols = symbols * symbol->errorPpm / 1e6;
    if (std::fabs(driftSymbols) <= kTimerNoteSymbols) return;
    const bool warning = std::fabs(driftSymbols) > kTimerWarningSymbols;
    out.push_back(Finding{
        .severity = warning ? Severity::Warning : Severity::Note,
        .kind = FindingKind::TimerDrift,
        .sentField = TransmissionField::TimerHz,
        .message = timer + " times each symbol as " + std::to_string(symbol->counts) + " counts, " +
                   number(std::fabs(symbol->errorPpm) / 1e4, 3) + " % " + (driftSymbols > 0 ? "long" : "short") +
                   ", so the last of the message's " + std::to_string(t.message.symbols.size()) + " symbols ends " +
                   number(std::fabs(driftSymbols) * m.symbolS * 1000.0, 1) + " ms (" +
                   number(std::fabs(driftSymbols), 2) + " symbol) " + (driftSymbols > 0 ? "late" : "early") +
                   (warning ? "; past " + number(kTimerWarningSymbols, 2) + " symbol jt9 loses decodes at -22 dB"
                            : "; past " + number(kTimerNoteSymbols, 2) + " symbol the margin at -22 dB starts to go"),
        .fix = fix});
}

// A ceramic resonator, as on many Arduino boards, is off by up to 0.5 %.
constexpr double kResonatorTolerance = 0.005;

// The controller the beacon names: its program memory, and what a
// resonator instead of a crystal would do to the message's end.
void checkController(const Beacon& beacon, const Transmission& t, std::vector<Finding>& out) {
    const auto chosen = controllerOf(beacon);
    const auto* controller = std::get_if<Controller>(&chosen);
    if (controller == nullptr) return;
    const std::string chip(mcuName(controller->mcu));
    if (controller->mcu == Mcu::Pic16f628a) {
        const int words = picProgramWords(t);
        if (words > kPicProgramMemoryWords)
            out.push_back(Finding{
                .severity = Severity::Error,
                .kind = FindingKind::FirmwareTooLarge,
                .sentField = TransmissionField::CwId,
                .message = "the " + chip + "'s program memory holds " + std::to_string(kPicProgramMemoryWords) +
                           " words; its engine, the " + std::to_string(t.message.symbols.size()) + " symbols and " +
                           std::to_string(t.minute.cw.size()) + " CW runs take " + std::to_string(words),
                .fix = "a shorter CW identification, or an ATmega328P"});
    }
    const double messageS = static_cast<double>(t.message.symbols.size()) * t.minute.symbolS;
    const double driftS = messageS * kResonatorTolerance;
    out.push_back(Finding{
        .severity = Severity::Note,
        .kind = FindingKind::ClockTolerance,
        .message = "the " + chip + "'s " + hz(controller->clockHz, 0) + " from a ceramic resonator (0.5 %, as on " +
                   "many Arduino boards) would move the message's end " + number(driftS * 1000.0, 0) + " ms (" +
                   number(driftS / t.minute.symbolS, 2) + " symbol)" +
                   (driftS / t.minute.symbolS > kTimerWarningSymbols
                        ? ", past the " + number(kTimerWarningSymbols, 2) + " symbol where jt9 loses decodes"
                        : std::string()) +
                   "; a crystal, or the beacon's own reference, keeps it within ppm",
        .fix = "a crystal for the controller's clock"});
}

}  // namespace

void checkTransmission(const Press& press, std::vector<Finding>& out) {
    const Beacon& beacon = press.beacon;
    if (beacon.message.empty()) {
        if (!beacon.cwId.empty() || !beacon.timerHz.empty())
            out.push_back(
                Finding{.severity = Severity::Warning,
                        .kind = FindingKind::EmptyMessage,
                        .message = "a CW identification or a timer is typed, but no message: the minute sends nothing",
                        .fix = "type the beacon's message"});
        return;
    }
    const auto planned = planTransmission(beacon);
    if (const auto* refusal = std::get_if<Refusal>(&planned)) {
        out.push_back(Finding{.severity = Severity::Error,
                              .kind = FindingKind::MessageRefused,
                              .sentField = refusal->field,
                              .message = refusal->why});
        return;
    }
    const Transmission& t = std::get<Transmission>(planned);
    const Minute& m = t.minute;
    // A cut message sends something other than what was typed: the receiver
    // reads only its start.
    const bool freeText = !t.pi4 && t.message.kind == Jt4MessageKind::FreeText;
    const bool cut = !t.message.truncated.empty();
    if (freeText || cut) {
        std::string message = "goes out as " + std::string(freeText ? "free text, '" : "'") + t.message.sent + "'";
        if (!t.message.sentAsSpaces.empty()) message += "; sent as spaces: '" + t.message.sentAsSpaces + "'";
        if (cut) message += "; not sent: '" + t.message.truncated + "'";
        out.push_back(Finding{.severity = cut ? Severity::Warning : Severity::Note,
                              .kind = cut ? FindingKind::MessageCut : FindingKind::FreeTextMessage,
                              .message = std::move(message),
                              .fix = !cut ? std::string()
                                     : freeText
                                         ? "a message of at most 13 characters, or two calls with a locator or a report"
                                         : "two calls with a locator or a report, and nothing after them"});
    }
    if (!t.message.receivedAs.empty())
        out.push_back(Finding{.severity = Severity::Note,
                              .kind = FindingKind::ReceivedOtherwise,
                              .message = "goes out as '" + t.message.sent + "' and is received as '" +
                                         t.message.receivedAs +
                                         "': the protocol packs a call that begins with Q as one that begins with 3X"});
    if (!m.fits) {
        // The slowest CW speed at which the minute fits, if one does.
        Sequence faster{beacon.cwId, static_cast<int>(LeadingNumber(beacon.wpm).value), beacon.cw, beacon.carrier};
        while (faster.wpm < kMaxWpm && !planMinute(t.pi4, faster).fits) ++faster.wpm;
        const bool fits = planMinute(t.pi4, faster).fits;
        out.push_back(Finding{.severity = Severity::Warning,
                              .kind = FindingKind::MinuteOverrun,
                              .message = "the minute's last part ends at " + decimalText(m.endS, 3) +
                                         " s, past its 60 s: the next message would start late",
                              .fix = fits ? "a CW speed of " + std::to_string(faster.wpm) +
                                                " WPM or more, a shorter CW identification, or no CW"
                                          : "a shorter CW identification, or no CW"});
    }
    if (t.timerHz) checkTimer(t, out);
    if (!beacon.mcu.empty() || !beacon.mcuClockHz.empty() || !beacon.timerPrescale.empty())
        checkController(beacon, t, out);
    const RunFigures& f = press.figures;
    const bool tonesRead = f.read(Input::KeyDownTone).has_value();
    const double offsetHz = f.plan.hz[kKeyDownTone] - f.plan.hz[kReferenceTone];
    if (t.pi4 && !m.cw.empty() && tonesRead && offsetHz != 0.0) {
        const std::string referenceText = asPressed(beacon, press).text(Input::ReferenceTone);
        out.push_back(
            Finding{.severity = Severity::Warning,
                    .kind = FindingKind::Pi4CwOffCarrier,
                    .field = Input::KeyDownTone,
                    .message = "PI4's standard minute keys the CW identification on the carrier; the key-down tone " +
                               hz(f.plan.hz[kKeyDownTone], 4) + " puts it " + hz(std::fabs(offsetHz), 4) +
                               (offsetHz < 0 ? " below" : " above") + " the nominal frequency",
                    .fix = "type " + referenceText + ", the Reference Tone",
                    .fixes = {{FieldEdit{Input::KeyDownTone, referenceText}}}});
    }
}

}  // namespace jt4dds::check_parts
