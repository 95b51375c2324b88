// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/heard_view.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace jt4dds
