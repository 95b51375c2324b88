// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/heard_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "calc/tuning/calculation_run.h"
#include "tests/case_name.h"

namespace jt4dds {
namespace {

// A bin is 12000 / 2048 = 5.859375 Hz.
struct BinsCase {
    const char* name;
    double lowHz;
    double highHz;
    WaterfallBins bins;
};
const BinsCase kBins[] = {
    {.name = "on_bin_edges", .lowHz = 1171.875, .highHz = 1757.8125, .bins = {200, 300, 1171.875, 1757.8125}},
    {.name = "inside_bins_widen_outwards", .lowHz = 1172.0, .highHz = 1757.0, .bins = {200, 300, 1171.875, 1757.8125}},
    {.name = "below_zero_starts_at_zero", .lowHz = -50.0, .highHz = 100.0, .bins = {0, 18, 0.0, 105.46875}},
    {.name = "past_half_the_rate_stops_there",
     .lowHz = 5000.0,
     .highHz = 7000.0,
     .bins = {853, 1024, 4998.046875, 6000.0}},
    {.name = "wholly_past_half_the_rate_keeps_one_bin",
     .lowHz = 7000.0,
     .highHz = 8000.0,
     .bins = {1023, 1024, 5994.140625, 6000.0}},
    {.name = "empty_span_keeps_one_bin", .lowHz = 1200.0, .highHz = 1200.0, .bins = {204, 205, 1195.3125, 1201.171875}},
};
class Bins : public testing::TestWithParam<BinsCase> {};
TEST_P(Bins, CoverTheSpan) {
    const WaterfallBins b = waterfallBins(GetParam().lowHz, GetParam().highHz);
    EXPECT_EQ(b.first, GetParam().bins.first);
    EXPECT_EQ(b.last, GetParam().bins.last);
    EXPECT_DOUBLE_EQ(b.lowHz, GetParam().bins.lowHz);
    EXPECT_DOUBLE_EQ(b.highHz, GetParam().bins.highHz);
}
INSTANTIATE_TEST_SUITE_P(Table, Bins, testing::ValuesIn(kBins), testing_support::CaseName{});

struct StepCase {
    const char* name;
    double spanHz;
    double stepHz;
};
const StepCase kSteps[] = {
    {.name = "narrow", .spanHz = 300.0, .stepHz = 100.0},     {.name = "at_800", .spanHz = 800.0, .stepHz = 100.0},
    {.name = "past_800", .spanHz = 800.1, .stepHz = 200.0},   {.name = "at_2000", .spanHz = 2000.0, .stepHz = 200.0},
    {.name = "past_2000", .spanHz = 2000.1, .stepHz = 500.0},
};
class Steps : public testing::TestWithParam<StepCase> {};
TEST_P(Steps, RoundLabels) { EXPECT_EQ(frequencyStepHz(GetParam().spanHz), GetParam().stepHz); }
INSTANTIATE_TEST_SUITE_P(Table, Steps, testing::ValuesIn(kSteps), testing_support::CaseName{});

struct ColourCase {
    const char* name;
    double level;
    std::array<int, 3> rgb;
};
const ColourCase kColours[] = {
    {.name = "dark", .level = 0.0, .rgb = {0, 0, 31}},
    {.name = "below_dark_is_dark", .level = -1.0, .rgb = {0, 0, 31}},
    {.name = "halfway_between_the_first_two_stops", .level = 0.125, .rgb = {0, 32, 92}},
    {.name = "the_middle_stop", .level = 0.5, .rgb = {0, 191, 217}},
    {.name = "loudest", .level = 1.0, .rgb = {255, 255, 255}},
    {.name = "above_loudest_is_loudest", .level = 2.0, .rgb = {255, 255, 255}},
};
class Colours : public testing::TestWithParam<ColourCase> {};
TEST_P(Colours, AlongTheStops) { EXPECT_EQ(waterfallColour(GetParam().level), GetParam().rgb); }
INSTANTIATE_TEST_SUITE_P(Table, Colours, testing::ValuesIn(kColours), testing_support::CaseName{});

TEST(ToneGrid, ReachesPastTheWarningLineAndEveryTone) {
    GridFit fit;
    fit.worstHz = 0.5;
    EXPECT_DOUBLE_EQ(toneGridReachHz(fit, 1.4), 2.1);  // the warning line, half again
    fit.worstHz = 3.0;
    EXPECT_DOUBLE_EQ(toneGridReachHz(fit, 1.4), 3.3);  // the farthest tone, a tenth more
    fit.worstHz = 0.0;
    EXPECT_DOUBLE_EQ(toneGridReachHz(fit, 0.2), 1.0);  // never under 1 Hz
}

TEST(ToneGrid, SaysWhatItShows) {
    EXPECT_EQ(toneGridDescription(std::nullopt, 1.1, 1.4), "The data tones cannot be measured against a grid.");
    GridFit fit;
    fit.rmsHz = 0.504;
    fit.residualHz = {0.5, -0.25, 0.0, -0.25};
    EXPECT_EQ(toneGridDescription(fit, 3.0, 4.0),
              "Data tones off their best even grid: 0.5 Hz RMS (note beyond 3 Hz, warning beyond 4 Hz); tone 0 0.5 Hz, "
              "tone 1 -0.25 Hz, tone 2 0 Hz, tone 3 -0.25 Hz");
    EXPECT_EQ(toneGridScaleText(0.0), "+0.0 Hz");
    EXPECT_EQ(toneGridScaleText(-2.1), "-2.1 Hz");
    EXPECT_EQ(waterfallDescription(waterfallBins(1172.0, 1757.0)),
              "The minute's waterfall, 1172 to 1758 Hz, time down");
}

// The waterfall shows what a decoder hears: at -22 dB in 2500 Hz, near the
// decoding threshold, the data tones' columns stand over the noise beside
// them while the message is sent, and a minute of noise alone stays dark.
// Drawn from the loudest cell down, the noise filled the picture and hid the
// tones.
struct TraceCase {
    const char* name;
    const char* submode;
    double fromS;  // the message's rows
    double toS;
};
const TraceCase kTraces[] = {
    {.name = "jt4a", .submode = "A", .fromS = 1.0, .toS = 48.0},
    {.name = "jt4d", .submode = "D", .fromS = 1.0, .toS = 48.0},
    {.name = "jt4g", .submode = "G", .fromS = 1.0, .toS = 48.0},
    {.name = "pi4", .submode = "PI4", .fromS = 0.0, .toS = 24.0},
};

class Traces : public testing::TestWithParam<TraceCase> {};

// A column's mean level over the rows [fromS, toS): what the eye sees of it
// down the picture.
double columnLevel(const WaterfallPicture& p, int column, double fromS, double toS) {
    double sum = 0.0;
    int n = 0;
    for (int row = static_cast<int>(fromS / kWaterfallRowS); row < static_cast<int>(toS / kWaterfallRowS); ++row) {
        sum += p.level[static_cast<std::size_t>(row * p.width + column)];
        ++n;
    }
    return n ? sum / n : 0.0;
}

TEST_P(Traces, DataTonesStandOverTheNoiseAtMinus22Db) {
    Beacon beacon;
    beacon.text(Input::Reference) = "300";
    beacon.mode = Pick::text(GetParam().submode);
    beacon.message = std::string(GetParam().submode) == "PI4" ? "OZ7IGY" : "CQ K1ABC FN42";
    const auto heard = hearMinute(calculate(beacon), Noise{-22.0, 1});
    ASSERT_TRUE(heard);
    const AudioSpan span = heardSpan(heard->parts);
    const WaterfallPicture p = waterfallPicture(heard->samples, span.lowHz, span.highHz);
    const double binHz = static_cast<double>(kAudioRate) / kWaterfallFrame;
    std::vector<int> tones;
    for (const double hz : heard->receiver.realisedAudioHz)
        tones.push_back(static_cast<int>(std::lround(hz / binHz)) - p.bins.first);
    // The noise: columns three bins or more from every part's tone.
    std::vector<int> noise;
    for (int c = 0; c < p.width; ++c) {
        const bool near = std::any_of(heard->parts.begin(), heard->parts.end(), [&](const HeardPart& part) {
            return part.audioHz && std::abs(c + p.bins.first - *part.audioHz / binHz) < 3.0;
        });
        if (!near) noise.push_back(c);
    }
    ASSERT_GT(noise.size(), 10U);
    // The data tones' columns stand over the noise columns by four times
    // the spread of such a mean, and the noise stays in the dark part of the
    // scale. (Each tone sounds a quarter of the time, a cell of 5.9 Hz at
    // -22 dB about 2.5 dB over the noise: a faint trace, as decoders show it.)
    double mean = 0.0;
    double squares = 0.0;
    for (const int c : noise) {
        const double level = columnLevel(p, c, GetParam().fromS, GetParam().toS);
        mean += level;
        squares += level * level;
    }
    mean /= static_cast<double>(noise.size());
    const double spread = std::sqrt(std::max(squares / static_cast<double>(noise.size()) - mean * mean, 0.0));
    double traces = 0.0;
    for (const int c : tones) {
        // A tone between two bins lights the brighter of them.
        double level = 0.0;
        for (const int near : {c - 1, c, c + 1})
            if (near >= 0 && near < p.width)
                level = std::max(level, columnLevel(p, near, GetParam().fromS, GetParam().toS));
        traces += level / static_cast<double>(tones.size());
    }
    EXPECT_GT(traces, mean + 4.0 * spread / std::sqrt(static_cast<double>(tones.size())))
        << traces << " against " << mean << " +- " << spread;
    EXPECT_LT(mean, 0.25);
}

INSTANTIATE_TEST_SUITE_P(Table, Traces, testing::ValuesIn(kTraces), testing_support::CaseName{});

TEST(Traces, NoiseAloneStaysDark) {
    const auto samples = simulateMinute({}, Noise{-22.0, 1});
    const WaterfallPicture p = waterfallPicture(samples, 1000.0, 1600.0);
    double sum = 0.0;
    for (const float level : p.level) sum += level;
    EXPECT_LT(sum / static_cast<double>(p.level.size()), 0.3);
}

}  // namespace
}  // namespace jt4dds
