// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "calc/form_view.h"
#include "calc/leading_number.h"
#include "calc/tone_plan.h"
#include "calc/tuning.h"

namespace jt4dds {

// The steps of one press of "Calculate", in the order they run.
enum class RunStep {
    HideWarning = 1,
    ReadFrequencyPlan = 2,  // Mult, Fout, Fref, submode
    ApplyOption800 = 3,
    BuildTonePlan = 4,  // the data tones, then the four tone fields
    WriteHeader = 5,
    WriteRows = 6,
    WriteResolution = 7,
    CheckResolution = 8,
    ShowSsbCarrier = 9,
};

// Why a run stopped before its last step.
struct RunEnd {
    RunStep step;
    // What went wrong, for the operator: names the field or tone and the cause.
    std::string message;
};

// The numeric fields, top to bottom in the window; TextField numbers them 0 to 6.
inline constexpr std::array<TextField, 7> kNumericFields{
    TextField::Fout,   TextField::Mult,     TextField::Fref,   TextField::RefTone,
    TextField::UpTone, TextField::DownTone, TextField::SpTone,
};

// How the operator knows a numeric field: "Output Frequency", "RF Multiplication", ...
std::string_view fieldName(TextField field);

// One numeric field as the run read it: the text as typed and what
// LeadingNumber made of it.
struct FieldRead {
    std::string text;
    NumberRead number;
};

// A caption the run gave the warning label, and the tone row that raised it
// (none for the 800 Hz option's and the resolution's).
struct RaisedWarning {
    std::string_view caption;
    std::optional<int> row;
};
// The 800 Hz option, eight rows and the resolution: at most ten per press.
inline constexpr std::size_t kMaxRaised = 10;

// The numbers behind what a run wrote, as far as it got: for the plan check
// and the outputs that need more than the listing shows.
struct RunFigures {
    // The fields read so far, indexed by TextField (Fout to SpTone).
    std::array<std::optional<FieldRead>, kNumericFields.size()> reads;
    std::string separator;     // the decimal separator the listing was written with
    std::string submodeLabel;  // as the header names it
    std::string configLabel;   // empty until the header is written
    bool option800 = false;
    // Every caption raised, in order; the label shows the last.
    std::array<RaisedWarning, kMaxRaised> raised{};
    std::size_t raisedCount = 0;

    double mult = 0.0;
    double foutHz = 0.0;
    double carrierHz = 0.0;
    double frefHz = 0.0;
    std::int32_t spacingNumber = 0;
    DdsConfig config = DdsConfig::Direct;
    TonePlan plan;
    std::array<RowResult, kToneCount> rows{};
    int rowsWritten = 0;
    std::optional<double> resolutionHz;
    std::optional<double> ssbCarrierMHz;

    const std::optional<FieldRead>& read(TextField field) const { return reads[static_cast<std::size_t>(field)]; }
};

struct RunOutcome {
    // Set when the run met a value it cannot calculate with and stopped there.
    std::optional<RunEnd> ended;
    RunFigures figures;
    bool completed() const { return !ended.has_value(); }
};

// The warning messages a run may raise; each is a finding, not a failure.
inline constexpr std::string_view kToneZeroOffsetMessage = "Tone0 offset / wrong mode - check";
inline constexpr std::string_view kDirectLimitMessage = "Ref too low, check values";
inline constexpr std::string_view kReverseLimitMessage = "Not Possible, check values";
inline constexpr std::string_view kResolutionMessage = "Resolution too low for this mode";

// One press of "Calculate" on `view`: reads the fields, writes the listing into
// Text1, raises warnings and shows the SSB carrier, in that fixed order. Keeps
// nothing after it returns. When a value has no defined result the run stops
// at that step and says why; what the earlier steps wrote stays in the view.
// Never throws except std::bad_alloc or what the view itself throws.
RunOutcome calculate(FormView& view);

}  // namespace jt4dds
