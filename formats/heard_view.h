// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calc/hearing/simulation.h"

namespace jt4dds {

// How the window and the page draw a heard minute, so that both show the
// same picture and say the same of it.

// The waterfall: each row the mean power of two Hann-windowed transforms of
// kWaterfallFrame samples, a quarter row either side of its time, every
// kWaterfallRowS seconds; coloured along kWaterfallStops (dark blue through
// cyan and yellow to white, as weak-signal waterfalls are) in decibels over
// the noise floor, as decoding programs scale theirs: the median cell (the
// noise where there is noise) a little over dark, and brightest from the
// top cells up, at least kWaterfallSpanDb above it, so that a signal near
// the decoding threshold shows as a trace over dark noise. A minute without
// noise is drawn down kWaterfallRangeDb from its loudest cell.
inline constexpr int kWaterfallFrame = 2048;
inline constexpr double kWaterfallRowS = 0.25;
inline constexpr double kWaterfallRangeDb = 60.0;
inline constexpr double kWaterfallFloorDb = 2.0;  // dark this far under the median cell
inline constexpr double kWaterfallSpanDb = 15.0;  // the least span from dark to brightest
inline constexpr std::array<std::array<double, 3>, 5> kWaterfallStops{
    {{0.0, 0.0, 0.12}, {0.0, 0.25, 0.6}, {0.0, 0.75, 0.85}, {1.0, 0.9, 0.0}, {1.0, 1.0, 1.0}}};

// The transform's bins [first, last) that cover `lowHz` to `highHz`, at
// least one and none past half the rate, and the hertz they span.
struct WaterfallBins {
    int first = 0;
    int last = 1;
    double lowHz = 0.0;
    double highHz = 0.0;
};
WaterfallBins waterfallBins(double lowHz, double highHz);

// The waterfall of `samples` (at kAudioRate) over waterfallBins(lowHz,
// highHz): kMinuteS / kWaterfallRowS rows, time down from the minute's start,
// one cell a bin across; rows past the samples' end are dark. Any samples.
struct WaterfallPicture {
    WaterfallBins bins;
    int width = 0;  // cells across: bins.last - bins.first
    int rows = 0;
    std::vector<std::uint8_t> rgba;  // row after row, red, green, blue, 255
    std::vector<float> level;        // each cell's level, 0 (dark) to 1 (brightest), as coloured
    std::string description;         // waterfallDescription(bins)
};
WaterfallPicture waterfallPicture(const std::vector<std::int16_t>& samples, double lowHz, double highHz);

// The red, green and blue (0 to 255) of a level from 0 (dark) to 1 (the
// loudest cell); levels outside are taken as the nearer end.
std::array<int, 3> waterfallColour(double level);

// The hertz between the frequency labels across `spanHz`: 100, 200 or 500.
double frequencyStepHz(double spanHz);

// "The minute's waterfall, 1125 to 1687 Hz, time down"
std::string waterfallDescription(const WaterfallBins& bins);

// The data tones against their grid: the strip reaches this far either side
// of zero, at least half again the warning line, past every tone and never
// under 1 Hz.
double toneGridReachHz(const GridFit& fit, double warningHz);
// A label on its scale, signed: "+2.4 Hz", "+0.0 Hz", "-2.4 Hz".
std::string toneGridScaleText(double hz);
// What the strip shows, in words; for nothing, that nothing can be measured.
std::string toneGridDescription(const std::optional<GridFit>& fit, double noteHz, double warningHz);

}  // namespace jt4dds
