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
                    "a field's reading stopped before its text ended"},
    FindingKindSpec{FindingKind::JoinedNumbers, "joined-numbers", "Calculation", false,
                    "numbers on separate lines read as one"},
    FindingKindSpec{FindingKind::EmptyField, "empty-field", "Calculation", false, "an empty field reads as 0"},
    FindingKindSpec{FindingKind::NoNumber, "no-number", "Calculation", false,
                    "a text without a leading number reads as 0"},
    FindingKindSpec{FindingKind::ToneZeroOffset, "tone0-offset", "JT4G Reference Tone0 = 800Hz", false,
                    "the 800 Hz option on a mode other than JT4G"},
    FindingKindSpec{FindingKind::LimitExceeded, "limit-exceeded", "Calculation", false,
                    "rows rejected by the 35 % limit: their words are 0"},
    FindingKindSpec{FindingKind::DdsAtOrBelowZero, "dds-at-or-below-zero", "Calculation", false,
                    "a DDS frequency a DDS cannot generate"},
    FindingKindSpec{FindingKind::ReferenceAtOrBelowZero, "reference-at-or-below-zero", "Calculation", false,
                    "a master reference that is no clock"},
    FindingKindSpec{FindingKind::ReferenceAboveMaxClock, "reference-above-max-clock", "Calculation", false,
                    "a master reference faster than the DDS takes"},
    FindingKindSpec{FindingKind::SharedWord, "shared-word", "Calculation", false,
                    "two data tones on one word: the mode cannot be decoded"},
    FindingKindSpec{FindingKind::SpacingOff, "spacing-off", "Calculation", false,
                    "a realised data-tone spacing beyond a tolerance the operator set"},
    FindingKindSpec{FindingKind::ToneGrid, "tone-grid", "Calculation", false,
                    "the data tones off an even grid by as much as costs decodes"},
    FindingKindSpec{FindingKind::Pi4OutsideSearch, "pi4-outside-search", "Calculation", false,
                    "PI4 data tones outside a PI4 decoder's search on a PI4 receiver's dial"},
    FindingKindSpec{FindingKind::Resolution, "resolution", "Resolution", false, "the resolution warning, explained"},
    FindingKindSpec{FindingKind::RunEnded, "run-ended", "Calculation", false, "the calculation stopped before its end"},
    FindingKindSpec{FindingKind::MessageRefused, "message-refused", "Transmission", true,
                    "the message, CW identification, speed or timer cannot be sent as typed"},
    FindingKindSpec{FindingKind::MinuteOverrun, "minute-overrun", "Transmission", true,
                    "the minute's parts run past its 60 s"},
    FindingKindSpec{FindingKind::Pi4CwOffCarrier, "pi4-cw-off-carrier", "Transmission", true,
                    "PI4's CW keyed off the carrier, where the standard minute keys it"},
    FindingKindSpec{FindingKind::EmptyMessage, "empty-message", "Transmission", true,
                    "a CW identification or timer typed, but no message to send"},
    FindingKindSpec{FindingKind::FreeTextMessage, "free-text-message", "Transmission", true,
                    "a JT4 message sent as free text, with what it changes"},
    FindingKindSpec{FindingKind::MessageCut, "message-cut", "Transmission", true,
                    "a JT4 message of which only the start is sent"},
    FindingKindSpec{FindingKind::DdsClockAboveMax, "dds-clock-above-max-clock", "Calculation", false,
                    "Reverse DDS: the rows' frequencies clock the DDS faster than it takes"},
    FindingKindSpec{FindingKind::TimerDrift, "timer-drift", "Transmission", true,
                    "the controller's timer rounds the symbol period, or cannot count it"},
    FindingKindSpec{FindingKind::ReceivedOtherwise, "received-otherwise", "Transmission", true,
                    "a JT4 message that decoders print otherwise than it was typed"},
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
