// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/tone_plan.h"

#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <array>
#include <string>

namespace jt4dds {
namespace {

struct DataToneCase {
    const char* name;
    std::int32_t spacingNumber;
    bool option800;
    std::array<double, 4> tones;
    bool offsetWrong;
};

const DataToneCase kDataTones[] = {
    {.name = "jt4d",
     .spacingNumber = 9,
     .option800 = false,
     .tones = {1211.396484375, 1250.771484375, 1290.146484375, 1329.521484375},
     .offsetWrong = false},
    {.name = "jt4g_800",
     .spacingNumber = 72,
     .option800 = true,
     .tones = {800.0, 1115.0, 1430.0, 1745.0},
     .offsetWrong = false},
    {.name = "jt4g_without_800",
     .spacingNumber = 72,
     .option800 = false,
     .tones = {797.958984375, 1112.958984375, 1427.958984375, 1742.958984375},
     .offsetWrong = false},
    {.name = "pi4",
     .spacingNumber = 0,
     .option800 = false,
     .tones = {1153.271484375, 1387.646484375, 1622.021484375, 1856.396484375},
     .offsetWrong = false},
    {.name = "pi4_800",
     .spacingNumber = 0,
     .option800 = true,
     .tones = {1155.3125, 1389.6875, 1624.0625, 1858.4375},
     .offsetWrong = true},
    {.name = "jt4a_800",
     .spacingNumber = 1,
     .option800 = true,
     .tones = {1265.9375, 1270.3125, 1274.6875, 1279.0625},
     .offsetWrong = true},
    {.name = "jt4a",
     .spacingNumber = 1,
     .option800 = false,
     .tones = {1263.896484375, 1268.271484375, 1272.646484375, 1277.021484375},
     .offsetWrong = false},
    // The test is on the number, not the label: any number not above 0 is PI4.
    {.name = "negative_number_is_pi4",
     .spacingNumber = -3,
     .option800 = false,
     .tones = {1153.271484375, 1387.646484375, 1622.021484375, 1856.396484375},
     .offsetWrong = false},
};

class DataTones : public testing::TestWithParam<DataToneCase> {};

TEST_P(DataTones, PlacedAboutTheCentre) {
    const DataToneCase& c = GetParam();
    const TonePlan plan = dataTones(c.spacingNumber, c.option800);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(plan.hz[i], c.tones[i]) << "tone " << i;
    for (std::size_t i = 4; i < 8; ++i) EXPECT_EQ(plan.hz[i], 0.0) << "tone " << i;
    EXPECT_EQ(toneZeroOffsetWrong(c.spacingNumber, c.option800), c.offsetWrong);
}

INSTANTIATE_TEST_SUITE_P(Table, DataTones, testing::ValuesIn(kDataTones), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
