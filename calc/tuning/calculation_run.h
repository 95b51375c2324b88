// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "calc/tuning/beacon.h"
#include "calc/tuning/form_view.h"
#include "calc/tuning/run_figures.h"
#include "calc/tuning/tone_plan.h"
#include "calc/tuning/tuning.h"

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

// One press of "Calculate": the numbers, and what the window shows after it.
struct Press {
    // The inputs as typed, before the press.
    Beacon beacon;
    // Set when the run met a value it cannot calculate with and stopped there.
    std::optional<RunEnd> ended;
    RunFigures figures;
    bool completed() const { return !ended.has_value(); }

    // The results box's listing as far as the run got; nothing when it ended
    // before the header, which leaves the box as it was.
    std::optional<std::string> listing;
    // The 800 Hz option typed "800" into the reference tone.
    bool typedRef800 = false;
    // The warning label's caption; empty when the label is hidden.
    std::string_view warningCaption;
    // The SSB carrier's text, shown with its caption; nothing leaves both as they were.
    std::optional<std::string> ssbCarrier;
};

// The warning messages a run may raise; each is a finding, not a failure.
inline constexpr std::string_view kToneZeroOffsetMessage = "Tone0 offset / wrong mode - check";
inline constexpr std::string_view kDirectLimitMessage = "Ref too low, check values";
inline constexpr std::string_view kReverseLimitMessage = "Not Possible, check values";
inline constexpr std::string_view kResolutionMessage = "Resolution too low for this mode";

// The eight rows of `figures`' tone plan at its carrier, multiplication,
// reference and wiring, written into its rows as a press writes them, with
// rowsWritten counting those done; the fault of the first row that has no
// result, where it stops. Never throws.
std::optional<Fault> writeRows(RunFigures& figures) noexcept;

// One press of "Calculate" on `beacon`: reads the inputs, writes the listing,
// raises warnings and finds the SSB carrier, in that fixed order. When a value
// has no defined result the run stops at that step and says why; what the
// earlier steps wrote is kept. Pure: the same beacon gives the same press.
// Never throws except std::bad_alloc.
Press calculate(const Beacon& beacon);

// `beacon` as `press` left its fields: with the "800" the 800 Hz option types
// into the reference tone. What a beacon file saved after the press holds.
Beacon asPressed(Beacon beacon, const Press& press);

// Shows `press` in `view` as the window does: the warning label hidden, then
// the "800" typed, the caption, the listing and the SSB carrier, each only
// when the press wrote it; what it did not write stays as it was.
void present(const Press& press, FormView& view);

}  // namespace jt4dds
