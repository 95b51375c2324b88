// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/transmission/minute.h"
#include "calc/tuning/beacon.h"

namespace jt4dds {

// How much a finding matters for the beacon on the air.
enum class Severity {
    Error,    // the words would not make this beacon
    Warning,  // it may work, but not as typed
    Note,     // information
};
// "error", "warning" or "note".
std::string_view severityName(Severity severity);

// What a finding is about; kindName gives each a stable name for scripts.
enum class FindingKind {
    IgnoredText,
    JoinedNumbers,
    EmptyField,
    NoNumber,
    ToneZeroOffset,
    LimitExceeded,
    DdsAtOrBelowZero,
    ReferenceAtOrBelowZero,
    ReferenceAboveMaxClock,
    SharedWord,
    SpacingOff,
    ToneGrid,
    Pi4OutsideSearch,
    Resolution,
    RunEnded,
    MessageRefused,
    MinuteOverrun,
    Pi4CwOffCarrier,
    EmptyMessage,
    FreeTextMessage,
    MessageCut,
    DdsClockAboveMax,
    TimerDrift,
    ReceivedOtherwise,
    FirmwareTooLarge,
    ClockTolerance,
};

// One kind of finding, as every surface knows it. The table is the one list
// of kinds: its stable name for scripts and the JSON, what it is about when
// the finding names no field or tone, and whether the Transmission views
// list it.
struct FindingKindSpec {
    FindingKind kind;
    std::string_view name;     // "tone-grid"
    std::string_view subject;  // "Calculation", "Transmission", "Resolution", …
    bool aboutTheMinute;       // the message and its minute, not the tuning words
    std::string_view meaning;  // what it means, in a line
};

inline constexpr std::array kFindingKinds{
    FindingKindSpec{FindingKind::IgnoredText, "ignored-text", "Calculation", false,
                    "a field was read only in part (a decimal comma, a unit such as G, text after the number): type "
                    "the number the fix gives"},
    FindingKindSpec{FindingKind::JoinedNumbers, "joined-numbers", "Calculation", false,
                    "numbers on separate lines were read as one: keep one number to a field"},
    FindingKindSpec{FindingKind::EmptyField, "empty-field", "Calculation", false,
                    "an empty field reads as 0: type its value"},
    FindingKindSpec{FindingKind::NoNumber, "no-number", "Calculation", false,
                    "a text with no number at its start reads as 0 (numbers are decimal, '.' as the point)"},
    FindingKindSpec{FindingKind::ToneZeroOffset, "tone0-offset", "JT4G Reference Tone0 = 800Hz", false,
                    "the 800 Hz option on a mode other than JT4G"},
    FindingKindSpec{FindingKind::LimitExceeded, "limit-exceeded", "Calculation", false,
                    "a tone's DDS frequency is past 35 % of its clock, so its word is 0 and the DDS sends nothing "
                    "there: raise the reference or change the multiplication"},
    FindingKindSpec{FindingKind::DdsAtOrBelowZero, "dds-at-or-below-zero", "Calculation", false,
                    "a tone's DDS frequency is 0 or negative, which no DDS generates: make the frequency and "
                    "multiplication positive"},
    FindingKindSpec{FindingKind::ReferenceAtOrBelowZero, "reference-at-or-below-zero", "Calculation", false,
                    "the Master Reference is 0 or negative, which is no clock"},
    FindingKindSpec{
        FindingKind::ReferenceAboveMaxClock, "reference-above-max-clock", "Calculation", false,
        "the Master Reference is faster than the DDS chip takes: a slower reference, or a larger multiplication"},
    FindingKindSpec{
        FindingKind::SharedWord, "shared-word", "Calculation", false,
        "two data tones round to one word, so the mode cannot be decoded: a finer resolution (Find settings)"},
    FindingKindSpec{FindingKind::SpacingOff, "spacing-off", "Calculation", false,
                    "a realised data-tone spacing strays past the tolerance you set"},
    FindingKindSpec{FindingKind::ToneGrid, "tone-grid", "Calculation", false,
                    "the rounded words place the data tones unevenly enough to cost decodes near the threshold "
                    "(measured with jt9)"},
    FindingKindSpec{
        FindingKind::Pi4OutsideSearch, "pi4-outside-search", "Calculation", false,
        "on a PI4 receiver's dial, data tone 0 lies outside where PI4 decoders search: move the Reference Tone"},
    FindingKindSpec{FindingKind::Resolution, "resolution", "Resolution", false,
                    "the Resolution caption explained: what counts is how evenly the data tones lie"},
    FindingKindSpec{
        FindingKind::RunEnded, "run-ended", "Calculation", false,
        "the calculation stopped: a value has no defined result (a multiplication of 0, a word outside 32 bits)"},
    FindingKindSpec{
        FindingKind::MessageRefused, "message-refused", "Transmission", true,
        "the message, CW identification, speed or timer cannot be sent as typed: the finding says what to type"},
    FindingKindSpec{FindingKind::MinuteOverrun, "minute-overrun", "Transmission", true,
                    "the minute's parts run past 60 s: a faster CW speed, a shorter CW identification, or no CW"},
    FindingKindSpec{FindingKind::Pi4CwOffCarrier, "pi4-cw-off-carrier", "Transmission", true,
                    "PI4's CW identification is keyed off the carrier, where receivers expect it on the carrier"},
    FindingKindSpec{FindingKind::EmptyMessage, "empty-message", "Transmission", true,
                    "a CW identification or timer is typed, but no message: the minute sends nothing"},
    FindingKindSpec{FindingKind::FreeTextMessage, "free-text-message", "Transmission", true,
                    "a JT4 message goes out as free text: what the receiver will read"},
    FindingKindSpec{FindingKind::MessageCut, "message-cut", "Transmission", true,
                    "only the start of a JT4 message goes out: a shorter message"},
    FindingKindSpec{FindingKind::DdsClockAboveMax, "dds-clock-above-max-clock", "Calculation", false,
                    "Reverse DDS: the tones clock the DDS faster than the chip takes: a larger multiplication"},
    FindingKindSpec{FindingKind::TimerDrift, "timer-drift", "Transmission", true,
                    "the controller's timer rounds the symbol period so far that the message ends out of step, or "
                    "cannot count it: a faster timer"},
    FindingKindSpec{FindingKind::ReceivedOtherwise, "received-otherwise", "Transmission", true,
                    "decoders print this JT4 message otherwise than typed (a call beginning with Q is read as 3X)"},
    FindingKindSpec{FindingKind::FirmwareTooLarge, "firmware-too-large", "Transmission", true,
                    "the controller's engine and this beacon's tables do not fit its program memory: a shorter CW "
                    "identification, or a chip with more"},
    FindingKindSpec{FindingKind::ClockTolerance, "clock-tolerance", "Transmission", true,
                    "how far the message's end moves on a controller clocked from a ceramic resonator rather than "
                    "a crystal"},
};

constexpr const FindingKindSpec& specOf(FindingKind kind) { return kFindingKinds[static_cast<std::size_t>(kind)]; }

// The kind's stable name for scripts: "ignored-text", "tone-grid", ….
std::string_view kindName(FindingKind kind);

// One change a fix makes: `text` typed into `input`.
struct FieldEdit {
    Input input;
    std::string text;
    friend bool operator==(const FieldEdit&, const FieldEdit&) = default;
};
// A fix as data: the edits that together mend a finding.
using FixEdits = std::vector<FieldEdit>;

// One thing the plan check has to say about a press.
struct Finding {
    Severity severity;
    FindingKind kind;
    std::optional<Input> field{};                  // the numeric field it is about, if one
    std::optional<TransmissionField> sentField{};  // the transmission's field it is about, if one
    std::uint8_t tones = 0;                        // bit i set: it is about tone i
    std::string_view caption{};                    // the warning label's caption it explains, if the run raised one
    std::string message{};                         // in the operator's words, numbers with "."
    std::string fix{};                             // a concrete change computed from the numbers; empty when none
    // The fix as edits, one set per alternative the prose names, each proved
    // as the prose is; none where the fix is no value to type.
    std::vector<FixEdits> fixes{};
    // No single edit clears it without leading into another error or
    // warning: Find settings' first plan is the fix (the session adds it).
    bool wantsSearch = false;
};

// "Tone 4", "Tones 0 and 1", "Tones 0 to 7": the tones whose bits `mask` sets.
std::string tonesText(std::uint8_t mask);

// What the finding is about, for the start of its line: the field's name
// (a transmission's field as `name` names it), "Tone 4", "Tones 0 and 1",
// "Tones 0 to 7", "Resolution", "Transmission" or "Calculation".
std::string findingSubject(const Finding& finding, const FieldNamer& name = {});

// True for a finding about the beacon's message and minute: what the
// Transmission views list.
bool isAboutTheMinute(const Finding& finding);

// What applying `edits` types, for a button or a menu: "Master Reference 276.203 MHz".
std::string fixCaption(const FixEdits& edits);

// "warning: Output Frequency: reads 2320 MHz; ',1' ignored (…). Fix: type 2320.1"
// on one line; a transmission's field named as `name` names it.
std::string findingLine(const Finding& finding, const FieldNamer& name = {});

// Every finding in `findings` about `field`, one message a line: the field's
// tooltip. Empty when there is none.
std::string fieldNote(const std::vector<Finding>& findings, Input field);

}  // namespace jt4dds
