// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/dds_chip.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "calc/tuning/beacon.h"
#include "tests/case_name.h"

namespace jt4dds {
namespace {

// A maximum clock is a plain decimal in MHz, above 0 and at most 100000.
struct ClockTextCase {
    const char* name;
    std::string text;
    std::optional<double> mhz;
};

const ClockTextCase kClockTexts[] = {
    {.name = "whole", .text = "180", .mhz = 180.0},
    {.name = "decimal", .text = "170.5", .mhz = 170.5},
    {.name = "below_one", .text = "0.5", .mhz = 0.5},
    {.name = "top", .text = "100000", .mhz = 100000.0},
    {.name = "over_the_top", .text = "100000.1", .mhz = std::nullopt},
    {.name = "zero", .text = "0", .mhz = std::nullopt},
    {.name = "empty", .text = "", .mhz = std::nullopt},
    {.name = "unit", .text = "180MHz", .mhz = std::nullopt},
    {.name = "blank_before", .text = " 180", .mhz = std::nullopt},
    {.name = "blank_inside", .text = "1 80", .mhz = std::nullopt},
    {.name = "exponent", .text = "1e3", .mhz = std::nullopt},
    {.name = "sign", .text = "+180", .mhz = std::nullopt},
    {.name = "point_last", .text = "180.", .mhz = std::nullopt},
    {.name = "point_first", .text = ".5", .mhz = std::nullopt},
    {.name = "two_points", .text = "1.8.0", .mhz = std::nullopt},
    {.name = "decimal_comma", .text = "170,5", .mhz = std::nullopt},
};

class ClockTexts : public testing::TestWithParam<ClockTextCase> {};

TEST_P(ClockTexts, ReadOrRefused) { EXPECT_EQ(readMaxClockMHz(GetParam().text), GetParam().mhz); }

INSTANTIATE_TEST_SUITE_P(Table, ClockTexts, testing::ValuesIn(kClockTexts), testing_support::CaseName{});

// The beacon's bound: the clock typed over its chip's; none for a text that
// is no clock or a chip this program does not know.
struct BoundCase {
    const char* name;
    std::string chip;
    std::string clock;
    std::optional<double> hz;
};

const BoundCase kBounds[] = {
    {.name = "none", .chip = "", .clock = "", .hz = std::nullopt},
    {.name = "chip", .chip = "AD9851", .clock = "", .hz = 180e6},
    {.name = "chip_in_lower_case", .chip = "ad9951", .clock = "", .hz = 400e6},
    {.name = "typed_over_the_chip", .chip = "AD9851", .clock = "150", .hz = 150e6},
    {.name = "typed_alone", .chip = "", .clock = "25", .hz = 25e6},
    {.name = "unknown_chip", .chip = "AD9999", .clock = "", .hz = std::nullopt},
    {.name = "typed_text_no_clock", .chip = "AD9851", .clock = "fast", .hz = std::nullopt},
};

class Bounds : public testing::TestWithParam<BoundCase> {};

TEST_P(Bounds, MaxClockOfTheBeacon) {
    Beacon beacon;
    beacon.dds = GetParam().chip;
    beacon.maxClockMHz = GetParam().clock;
    EXPECT_EQ(maxClockHz(beacon), GetParam().hz);
}

INSTANTIATE_TEST_SUITE_P(Table, Bounds, testing::ValuesIn(kBounds), testing_support::CaseName{});

TEST(DdsChips, NamedOnceAndLinedUp) {
    for (const DdsChip& chip : kDdsChips) {
        EXPECT_EQ(ddsChip(chip.name), &chip) << chip.name;
        EXPECT_TRUE(ddsChipLine(chip).starts_with(std::string(chip.name) + ": ")) << ddsChipLine(chip);
    }
    EXPECT_EQ(ddsChipLine(*ddsChip("AD9851")), "AD9851: 180 MHz, 6x reference multiplier");
    EXPECT_EQ(ddsChipLine(*ddsChip("AD9850")), "AD9850: 125 MHz");
}

}  // namespace
}  // namespace jt4dds
