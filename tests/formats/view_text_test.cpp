// SPDX-License-Identifier: GPL-3.0-or-later
// What the window and the page both say in Tone details and the
// Transmission view, from one place.
#include <gtest/gtest.h>

#include "calc/check/plan_check.h"
#include "calc/tuning/beacon.h"
#include "formats/outputs.h"
#include "tests/case_name.h"

namespace jt4dds {
namespace {

struct ViewCase {
    const char* name;
    std::string fref = "250";
    std::string mult = "24";
    int mode = kInitialSubmodeIndex;
    std::string message{};
    std::string summary;
    std::string sent;
};
const ViewCase kViews[] = {
    {.name = "jt4d_standard_message",
     .fref = "300",
     .message = "CQ K1ABC FN42",
     .summary = "Direct Freq Gen, JT4D, Master Reference 300 MHz, RF Multiplication 24, resolution 0.8382 Hz, "
                "nominal data-tone spacing 39.375 Hz",
     .sent = "JT4 sends 'CQ K1ABC FN42': 206 symbols of 228.571 ms"},
    {.name = "pi4_call",
     .fref = "300",
     .mode = 7,
     .message = "OZ7IGY",
     .summary = "Direct Freq Gen, PI4, Master Reference 300 MHz, RF Multiplication 24, resolution 0.8382 Hz, "
                "nominal data-tone spacing 234.375 Hz",
     .sent = "PI4 sends 'OZ7IGY  ': 146 symbols of 166.667 ms"},
    {.name = "no_message",
     .fref = "300",
     .summary = "Direct Freq Gen, JT4D, Master Reference 300 MHz, RF Multiplication 24, resolution 0.8382 Hz, "
                "nominal data-tone spacing 39.375 Hz",
     .sent = "No message: type one to plan the minute."},
    {.name = "no_tones_calculated",
     .mult = "",
     .summary = "No tones were calculated in the last press.",
     .sent = "No message: type one to plan the minute."},
};
class ViewTexts : public testing::TestWithParam<ViewCase> {};
TEST_P(ViewTexts, SayThePlanAndTheMinute) {
    Beacon beacon;
    beacon.text(Input::Reference) = GetParam().fref;
    beacon.text(Input::Multiplication) = GetParam().mult;
    beacon.mode = Pick::item(GetParam().mode);
    beacon.message = GetParam().message;
    const Press press = calculate(beacon);
    EXPECT_EQ(toneDetailsSummary(press.figures), GetParam().summary);
    EXPECT_EQ(sentText(planTransmission(beacon)), GetParam().sent);
    const auto planned = planTransmission(beacon);
    const auto* t = std::get_if<Transmission>(&planned);
    const std::string timeline = timelineText(t ? t->minute.segments : std::vector<Segment>());
    EXPECT_EQ(timeline == "No message: nothing is sent.", t == nullptr) << timeline;
    EXPECT_EQ(toneDetailsFindings(checkPlan(press)) == "No findings: the words make this beacon as typed.",
              checkPlan(press).empty());
}
INSTANTIATE_TEST_SUITE_P(Table, ViewTexts, testing::ValuesIn(kViews), testing_support::CaseName{});

TEST(ViewTexts, AMessageTheModeCannotSendSaysWhy) {
    Beacon beacon;
    beacon.mode = Pick::item(7);
    beacon.message = "OZ7IGY#";
    const std::string sent = sentText(planTransmission(beacon));
    EXPECT_NE(sent.find("PI4"), std::string::npos) << sent;
    EXPECT_EQ(minuteFindingsText(checkPlan(calculate(beacon))).find("No findings"), std::string::npos);
}

TEST(ViewTexts, NoFindingsAboutTheMinuteIsSaid) {
    Beacon beacon;
    beacon.text(Input::Reference) = "300";
    beacon.message = "CQ K1ABC FN42";
    EXPECT_EQ(minuteFindingsText(checkPlan(calculate(beacon))), "No findings about the minute.");
}

}  // namespace
}  // namespace jt4dds
