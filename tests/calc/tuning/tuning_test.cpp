// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/tuning.h"

#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace jt4dds {
namespace {

// A beacon: the fields as numbers, and what its eight rows must give.
struct BeaconCase {
    const char* name;
    double foutMHz;
    double mult;
    double frefMHz;
    DdsConfig config;
    std::int32_t spacingNumber;
    bool option800;
    std::array<double, 4> toneFields;  // reference, key up, key down, aux
    std::array<std::uint32_t, 8> words;
    std::array<Limit, 8> limits;
    double resolution;
    bool resolutionTooLow;
};

constexpr Limit N = Limit::None;
constexpr Limit D = Limit::Direct;
constexpr Limit R = Limit::Reverse;
constexpr std::array<double, 4> kInitialTones{1270, 400, 800, 1000};

const BeaconCase kBeacons[] = {
    {.name = "initial_values_all_rows_above_direct_limit",
     .foutMHz = 2320.1,
     .mult = 24,
     .frefMHz = 250,
     .config = DdsConfig::Direct,
     .spacingNumber = 9,
     .option800 = false,
     .toneFields = kInitialTones,
     .words = {0, 0, 0, 0, 0, 0, 0, 0},
     .limits = {D, D, D, D, D, D, D, D},
     .resolution = 0.6984919309616089,
     .resolutionTooLow = false},
    {.name = "reference_300",
     .foutMHz = 2320.1,
     .mult = 24,
     .frefMHz = 300,
     .config = DdsConfig::Direct,
     .spacingNumber = 9,
     .option800 = false,
     .toneFields = kInitialTones,
     .words = {0x527E10B4, 0x527E10CB, 0x527E10E3, 0x527E10FA, 0x527E10D7, 0x527E0ED0, 0x527E0FBE, 0x527E1036},
     .limits = {N, N, N, N, N, N, N, N},
     .resolution = 0.8381903171539307,
     .resolutionTooLow = false},
    {.name = "reference_300_pi4",
     .foutMHz = 2320.1,
     .mult = 24,
     .frefMHz = 300,
     .config = DdsConfig::Direct,
     .spacingNumber = 0,
     .option800 = false,
     .toneFields = kInitialTones,
     .words = {0x527E1091, 0x527E111D, 0x527E11A9, 0x527E1235, 0x527E10D7, 0x527E0ED0, 0x527E0FBE, 0x527E1036},
     .limits = {N, N, N, N, N, N, N, N},
     .resolution = 0.8381903171539307,
     .resolutionTooLow = true},
    {.name = "reference_300_option_800",
     .foutMHz = 2320.1,
     .mult = 24,
     .frefMHz = 300,
     .config = DdsConfig::Direct,
     .spacingNumber = 9,
     .option800 = true,
     .toneFields = {800, 400, 800, 1000},
     .words = {0x527E11CD, 0x527E11E5, 0x527E11FC, 0x527E1214, 0x527E10D7, 0x527E0FE8, 0x527E10D7, 0x527E114E},
     .limits = {N, N, N, N, N, N, N, N},
     .resolution = 0.8381903171539307,
     .resolutionTooLow = false},
    // Row 4 sits at exactly 35 % of the reference and passes; rows above it do not.
    {.name = "exactly_35_percent_passes",
     .foutMHz = 35,
     .mult = 1,
     .frefMHz = 100,
     .config = DdsConfig::Direct,
     .spacingNumber = 9,
     .option800 = false,
     .toneFields = kInitialTones,
     .words = {0x59998FC5, 0x59999660, 0, 0, 0x5999999A, 0x599907A3, 0x59994ABF, 0x59996C4D},
     .limits = {N, N, D, D, N, N, N, N},
     .resolution = 0.011641532182693481,
     .resolutionTooLow = false},
    {.name = "reverse_2m",
     .foutMHz = 144.4,
     .mult = 1,
     .frefMHz = 10,
     .config = DdsConfig::Reverse,
     .spacingNumber = 9,
     .option800 = false,
     .toneFields = kInitialTones,
     .words = {0x11BA8189, 0x11BA8138, 0x11BA80E7, 0x11BA8096, 0x11BA8110, 0x11BA8810, 0x11BA84D8, 0x11BA833C},
     .limits = {N, N, N, N, N, N, N, N},
     .resolution = 0.24274087148094048,
     .resolutionTooLow = false},
    {.name = "reverse_3cm_jt4g_800",
     .foutMHz = 9600,
     .mult = 24,
     .frefMHz = 10,
     .config = DdsConfig::Reverse,
     .spacingNumber = 72,
     .option800 = true,
     .toneFields = {800, 400, 800, 1000},
     .words = {0x06666666, 0x06666663, 0x0666665F, 0x0666665C, 0x06666666, 0x0666666B, 0x06666666, 0x06666664},
     .limits = {N, N, N, N, N, N, N, N},
     .resolution = 44.703485579944484,
     .resolutionTooLow = true},
    {.name = "negative_output_twos_complement",
     .foutMHz = -10,
     .mult = 1,
     .frefMHz = 100,
     .config = DdsConfig::Direct,
     .spacingNumber = 9,
     .option800 = false,
     .toneFields = {0, 0, 0, 0},
     .words = {0xE66731A3, 0xE667383F, 0xE6673EDA, 0xE6674575, 0xE6666666, 0xE6666666, 0xE6666666, 0xE6666666},
     .limits = {N, N, N, N, N, N, N, N},
     .resolution = 0.011641532182693481,
     .resolutionTooLow = false},
};

class Beacons : public testing::TestWithParam<BeaconCase> {};

TEST_P(Beacons, RowsWordsAndResolution) {
    const BeaconCase& c = GetParam();
    TonePlan plan = dataTones(c.spacingNumber, c.option800);
    for (std::size_t i = 0; i < 4; ++i) plan.hz[4 + i] = c.toneFields[i];
    const double carrier = std::get<double>(ddsCarrierHz(c.foutMHz * 1e6, c.mult));

    TuningWord last = 0;
    for (int row = 0; row < kToneCount; ++row) {
        const auto checked = computeRow(row, plan, carrier, c.mult, c.frefMHz * 1e6, c.config);
        ASSERT_TRUE(std::holds_alternative<RowResult>(checked)) << "row " << row;
        const RowResult& r = std::get<RowResult>(checked);
        const auto i = static_cast<std::size_t>(row);
        EXPECT_EQ(static_cast<std::uint32_t>(r.word), c.words[i]) << "row " << row;
        EXPECT_EQ(r.limit, c.limits[i]) << "row " << row;
        last = r.word;
    }
    const double resolution = std::get<double>(resolutionHz(c.mult, c.frefMHz * 1e6, c.config, last));
    EXPECT_EQ(resolution, c.resolution);
    EXPECT_EQ(resolutionTooLow(resolution, c.spacingNumber), c.resolutionTooLow);
}

INSTANTIATE_TEST_SUITE_P(Table, Beacons, testing::ValuesIn(kBeacons), testing_support::CaseName{});

// Computes one row of a flat plan (every tone at 0 Hz) at the DDS frequency `f`.
Checked<RowResult> rowAt(double f, double frefHz, DdsConfig config, double mult = 1.0) {
    return computeRow(0, TonePlan{}, f, mult, frefHz, config);
}

struct FaultCase {
    const char* name;
    double f;
    double frefHz;
    DdsConfig config;
    Undefined kind;
};

const FaultCase kFaults[] = {
    {.name = "direct_reference_zero_f_zero",
     .f = 0.0,
     .frefHz = 0.0,
     .config = DdsConfig::Direct,
     .kind = Undefined::ReferenceZero},
    {.name = "direct_reference_zero_f_negative",
     .f = -5.0,
     .frefHz = 0.0,
     .config = DdsConfig::Direct,
     .kind = Undefined::ReferenceZero},
    {.name = "reverse_f_zero_reference_negative",
     .f = 0.0,
     .frefHz = -1.0,
     .config = DdsConfig::Reverse,
     .kind = Undefined::DdsFrequencyZero},
    {.name = "reverse_f_zero_reference_zero",
     .f = 0.0,
     .frefHz = 0.0,
     .config = DdsConfig::Reverse,
     .kind = Undefined::DdsFrequencyZero},
    // floor(-0.5 × 2^32 + 0.5) = -2^31 fits; a hair further does not.
    {.name = "direct_word_just_below_range",
     .f = -50'000'001.0,
     .frefHz = 100e6,
     .config = DdsConfig::Direct,
     .kind = Undefined::WordOutOfRange},
    {.name = "direct_word_far_below_range",
     .f = -1e12,
     .frefHz = 100e6,
     .config = DdsConfig::Direct,
     .kind = Undefined::WordOutOfRange},
    {.name = "reverse_word_beyond_range",
     .f = -1.0,
     .frefHz = -1e6,
     .config = DdsConfig::Reverse,
     .kind = Undefined::WordOutOfRange},
    // 2^32 × 0.5 / 1 rounds to 2^31, one beyond the largest word.
    {.name = "reverse_word_just_above_range",
     .f = -1.0,
     .frefHz = -0.5,
     .config = DdsConfig::Reverse,
     .kind = Undefined::WordOutOfRange},
    {.name = "direct_quotient_overflows",
     .f = -1e300,
     .frefHz = 1e-300,
     .config = DdsConfig::Direct,
     .kind = Undefined::NotFinite},
    {.name = "reverse_product_overflows",
     .f = -1e300,
     .frefHz = -1e300,
     .config = DdsConfig::Reverse,
     .kind = Undefined::NotFinite},
};

class RowFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(RowFaults, HaveNoResult) {
    const FaultCase& c = GetParam();
    const auto checked = rowAt(c.f, c.frefHz, c.config);
    ASSERT_TRUE(std::holds_alternative<Fault>(checked));
    EXPECT_EQ(std::get<Fault>(checked).kind, c.kind);
}

INSTANTIATE_TEST_SUITE_P(Table, RowFaults, testing::ValuesIn(kFaults), testing_support::CaseName{});

struct WordEdgeCase {
    const char* name;
    double f;
    double frefHz;
    DdsConfig config;
    std::int64_t word;
    Limit limit;
};

const WordEdgeCase kWordEdges[] = {
    {.name = "most_negative_word_fits",
     .f = -50'000'000.0,
     .frefHz = 100e6,
     .config = DdsConfig::Direct,
     .word = -2147483648LL,
     .limit = N},
    {.name = "direct_zero_frequency", .f = 0.0, .frefHz = 100e6, .config = DdsConfig::Direct, .word = 0, .limit = N},
    {.name = "direct_reference_zero_positive_f_is_limited",
     .f = 5.0,
     .frefHz = 0.0,
     .config = DdsConfig::Direct,
     .word = 0,
     .limit = D},
    {.name = "direct_negative_reference_limits_positive_f",
     .f = 5.0,
     .frefHz = -100e6,
     .config = DdsConfig::Direct,
     .word = 0,
     .limit = D},
    {.name = "reverse_exactly_35_percent_passes",
     .f = 100e6,
     .frefHz = 35e6,
     .config = DdsConfig::Reverse,
     .word = 1503238554,
     .limit = N},
    {.name = "direct_exactly_35_percent_passes",
     .f = 35e6,
     .frefHz = 100e6,
     .config = DdsConfig::Direct,
     .word = 1503238554,
     .limit = N},
    {.name = "direct_just_above_35_percent",
     .f = 35.000001e6,
     .frefHz = 100e6,
     .config = DdsConfig::Direct,
     .word = 0,
     .limit = D},
    {.name = "reverse_largest_word_fits",
     .f = -1.0,
     .frefHz = -2147483647.0 / 4294967296.0,
     .config = DdsConfig::Reverse,
     .word = 2147483647,
     .limit = N},
    {.name = "reverse_just_above_35_percent",
     .f = 100e6,
     .frefHz = 35.000001e6,
     .config = DdsConfig::Reverse,
     .word = 0,
     .limit = R},
    // A half rounds upwards for a negative word too: -0.5 + 0.5 floors to 0.
    {.name = "negative_half_rounds_up",
     .f = -100e6 / 8589934592.0,
     .frefHz = 100e6,
     .config = DdsConfig::Direct,
     .word = 0,
     .limit = N},
};

class WordEdges : public testing::TestWithParam<WordEdgeCase> {};

TEST_P(WordEdges, RoundAndLimit) {
    const WordEdgeCase& c = GetParam();
    const auto checked = rowAt(c.f, c.frefHz, c.config);
    ASSERT_TRUE(std::holds_alternative<RowResult>(checked));
    EXPECT_EQ(std::get<RowResult>(checked).word, c.word);
    EXPECT_EQ(std::get<RowResult>(checked).limit, c.limit);
}

INSTANTIATE_TEST_SUITE_P(Table, WordEdges, testing::ValuesIn(kWordEdges), testing_support::CaseName{});

TEST(Carrier, MultiplicationZeroHasNoResult) {
    const auto checked = ddsCarrierHz(2320.1e6, 0.0);
    ASSERT_TRUE(std::holds_alternative<Fault>(checked));
    EXPECT_EQ(std::get<Fault>(checked).kind, Undefined::MultiplicationZero);
    EXPECT_TRUE(std::holds_alternative<Fault>(ddsCarrierHz(1e300, 1e-300)));
    EXPECT_TRUE(std::holds_alternative<Fault>(megahertzToHertz(1e303)));
}

TEST(Resolution, ReverseWithAuxWordZeroHasNoResult) {
    const auto checked = resolutionHz(1.0, 35e6, DdsConfig::Reverse, 0);
    ASSERT_TRUE(std::holds_alternative<Fault>(checked));
    EXPECT_EQ(std::get<Fault>(checked).kind, Undefined::ReverseResolutionWordZero);
}

TEST(Resolution, LimitIsAQuarterOfTheSpacingNumberInHertz) {
    EXPECT_FALSE(resolutionTooLow(2.25, 9));
    EXPECT_TRUE(resolutionTooLow(2.2500001, 9));
    EXPECT_TRUE(resolutionTooLow(0.26, 1));
    EXPECT_TRUE(resolutionTooLow(1e-9, 0));
    EXPECT_FALSE(resolutionTooLow(0.0, 0));
    EXPECT_FALSE(resolutionTooLow(-0.8, 0));
}

TEST(SsbCarrier, OutputLessTheReferenceTone) {
    EXPECT_EQ(std::get<double>(ssbCarrierMHz(2320.1e6 / 24, 24, 1270)), (2320.1e6 / 24 * 24 - 1270) / 1e6);
    EXPECT_TRUE(std::holds_alternative<Fault>(ssbCarrierMHz(1e300, 1e300, 0)));
}

}  // namespace
}  // namespace jt4dds
