// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calculation_run.h"
#include "calc/minute.h"

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
    IgnoredText,             // a field's reading stopped before its text ended
    JoinedNumbers,           // numbers on separate lines read as one
    EmptyField,              // an empty field reads as 0
    NoNumber,                // a text without a leading number reads as 0
    ToneZeroOffset,          // the 800 Hz option on a mode other than JT4G
    LimitExceeded,           // rows rejected by the 35 % limit: their words are 0
    DdsAtOrBelowZero,        // a DDS frequency a DDS cannot generate
    ReferenceAtOrBelowZero,  // a master reference that is no clock
    ReferenceAboveMaxClock,  // a master reference faster than the DDS takes
    SharedWord,              // two data tones on one word: the mode cannot be decoded
    SpacingOff,              // a realised data-tone spacing beyond a tolerance the operator set
    ToneGrid,                // the data tones off an even grid by as much as costs decodes
    Pi4OutsideSearch,        // PI4 data tones outside a PI4 decoder's search on a PI4 receiver's dial
    Resolution,              // the resolution warning, explained
    RunEnded,                // the calculation stopped before its end
    MessageRefused,          // the message, CW identification, speed or timer cannot be sent as typed
    MinuteOverrun,           // the minute's parts run past its 60 s
    Pi4CwOffCarrier,         // PI4's CW keyed off the carrier, where the standard minute keys it
    EmptyMessage,            // a CW identification or timer typed, but no message to send
    FreeTextMessage,         // a JT4 message sent as free text, with what it changes
    MessageCut,              // a JT4 message of which only the start is sent
    DdsClockAboveMax,        // Reverse DDS: the rows' frequencies clock the DDS faster than it takes
    TimerDrift,              // the controller's timer rounds the symbol period, or cannot count it
    ReceivedOtherwise,       // a JT4 message that decoders print otherwise than it was typed
};
// "ignored-text", "joined-numbers", "empty-field", "no-number", "tone0-offset",
// "limit-exceeded", "dds-at-or-below-zero", "reference-at-or-below-zero", "reference-above-max-clock",
// "shared-word", "spacing-off", "tone-grid", "pi4-outside-search", "resolution", "run-ended", "message-refused",
// "minute-overrun", "pi4-cw-off-carrier", "empty-message", "free-text-message", "message-cut",
// "dds-clock-above-max-clock", "timer-drift", "received-otherwise".
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

struct PlanCheckOptions {
    // An extra bound the operator may set: how far a realised data-tone
    // spacing may stray from its nominal value, as a fraction of it. None by
    // default: the tone grid's limits judge every plan.
    std::optional<double> spacingTolerance;
};

// How far the realised data tones may lie from the even grid that fits them
// best (GridFit::rmsHz) before a decoder near its threshold suffers: a
// note beyond `noteHz`, where the margin starts to go, and a warning beyond
// `warningHz`, where jt9's decodes at -22 dB in 2500 Hz drop. Measured with
// jt9 on the program's own simulated minutes; the limits are nearly the same
// number of hertz for every submode, not a share of the spacing.
struct GridTolerance {
    double noteHz = 0.0;
    double warningHz = 0.0;
};
GridTolerance gridTolerance(std::int32_t spacingNumber);

// Everything one press tells about the beacon, in the order the press met it:
// the fields as read (top to bottom), the 800 Hz option, the rows, the
// resolution, and a stop. Each warning caption the run raised is explained
// by one finding that carries it. Never throws except std::bad_alloc.
std::vector<Finding> checkPlan(const Press& outcome, const PlanCheckOptions& options = {});

// True when any finding has that severity.
bool anyOf(const std::vector<Finding>& findings, Severity severity);

// One row of the tone table: what the row plans and what its word really gives.
struct ToneDetail {
    int tone = 0;
    std::string_view name;  // "data tone 0", …, "reference tone", "FSK CW key-up tone", …
    double audioHz = 0.0;
    double ddsHz = 0.0;
    TuningWord word = 0;
    Limit limit = Limit::None;
    double plannedHz = 0.0;            // at the output, as the listing's comment says
    std::optional<double> realisedHz;  // what the rounded word gives; none for a rejected row
    std::optional<double> errorHz;     // realised − planned
};

// The rows the run wrote, as a table.
std::vector<ToneDetail> toneDetails(const RunFigures& figures);

// "JT4D", or "PI4" (which the listing's header calls JT4PI4): the mode as the
// findings, reports and firmware files name it.
std::string modeName(const RunFigures& figures);

// The numbers a settings search ranks plans by, judged by the very
// conditions checkPlan reports on. `clean` is false exactly when checkPlan
// would give an `error` or `warning` finding for these figures read from
// clean field texts.
struct PlanVerdict {
    bool clean = false;
    double gridRmsHz = 0.0;            // the data tones' RMS distance from their best even grid
    double worstSpacingErrorHz = 0.0;  // largest |realised − nominal| over the data-tone pairs
    double worstToneErrorHz = 0.0;     // largest |realised − planned| over the eight tones
    double ddsShare = 0.0;             // Direct: highest F / reference; Reverse: reference / lowest F
    bool sharedWord = false;           // two data tones on one word
    // The first rule, in the check's order, that makes it an error or a
    // warning; RunEnded for a run that stopped with no rule to blame; none
    // for a clean plan.
    std::optional<FindingKind> failedBy;
};
PlanVerdict judgePlan(const Press& outcome, const PlanCheckOptions& options = {});

}  // namespace jt4dds
