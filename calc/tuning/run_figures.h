// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/numbers/leading_number.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/tone_plan.h"
#include "calc/tuning/tuning.h"

namespace jt4dds {

// How the operator knows an input: "Output Frequency", "RF Multiplication", ...
constexpr std::string_view fieldName(Input input) { return specOf(input).label; }

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
    // The inputs read so far, indexed by Input.
    std::array<std::optional<FieldRead>, kInputCount> reads;
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
    std::optional<double> ssbCarrierHz;  // the same, in Hz

    const std::optional<FieldRead>& read(Input input) const { return reads[static_cast<std::size_t>(input)]; }
};

}  // namespace jt4dds
