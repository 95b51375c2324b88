#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "calc/form_view.h"
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

// The numbers behind what a run wrote, as far as it got: for reports that
// need more than the listing shows.
struct RunFigures {
    double mult = 0.0;
    double carrierHz = 0.0;
    double frefHz = 0.0;
    std::int32_t spacingNumber = 0;
    DdsConfig config = DdsConfig::Direct;
    TonePlan plan;
    std::array<RowResult, kToneCount> rows{};
    int rowsWritten = 0;
    std::optional<double> resolutionHz;
    std::optional<double> ssbCarrierMHz;
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
