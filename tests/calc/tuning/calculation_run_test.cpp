// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/calculation_run.h"

#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/form_state.h"

namespace jt4dds {
namespace {

const std::string kListing300 =
    "FreqData                                ;Direct Freq Gen   JT4D   Ref 300.0MHz\r\n"
    "    de  0x52, 0x7E, 0x10, 0xB4    ;  Tone 0  2320.0999414MHz\r\n"
    "    de  0x52, 0x7E, 0x10, 0xCB    ;  Tone 1  2320.0999808MHz\r\n"
    "    de  0x52, 0x7E, 0x10, 0xE3    ;  Tone 2  2320.1000201MHz\r\n"
    "    de  0x52, 0x7E, 0x10, 0xFA    ;  Tone 3  2320.1000595MHz\r\n"
    "    de  0x52, 0x7E, 0x10, 0xD7    ;  Tone 4  2320.1000000MHz\r\n"
    "    de  0x52, 0x7E, 0x0E, 0xD0    ;  Tone 5  2320.0991300MHz\r\n"
    "    de  0x52, 0x7E, 0x0F, 0xBE    ;  Tone 6  2320.0995300MHz\r\n"
    "    de  0x52, 0x7E, 0x10, 0x36    ;  Tone 7  2320.0997300MHz\r\n"
    "\r\n"
    "Resolution  0.838Hz";

TEST(CalculationRun, Reference300ListingCharacterForCharacter) {
    FormState form;
    form.setText(Input::Reference, "300");
    const Press outcome = pressOn(form);
    EXPECT_TRUE(outcome.completed());
    EXPECT_EQ(form.listing(), kListing300);
    EXPECT_FALSE(form.isVisible(Shown::Warning));
    EXPECT_TRUE(form.isVisible(Shown::SsbCarrier));
    EXPECT_TRUE(form.isVisible(Shown::SsbCaption));
    EXPECT_EQ(form.ssbCarrier(), "2320.09873");
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    out.push_back(text.substr(start));
    return out;
}

// The eight hex digits a row line carries, from its four "0x" bytes.
std::string rowWord(const std::string& line) {
    std::string word;
    for (std::size_t at = line.find("0x"); at != std::string::npos && word.size() < 8; at = line.find("0x", at + 2))
        word += line.substr(at + 2, 2);
    return word;
}

struct RunCase {
    const char* name;
    std::function<void(FormState&)> setUp;
    std::optional<std::string> header{};      // the first line; none: not checked
    std::vector<std::string> words{};         // the row lines written, in order
    std::optional<std::string> lastLine{};    // none: not checked
    std::optional<std::string> warning{};     // none: hidden
    std::optional<std::string> ssbCarrier{};  // none: hidden
    std::string refTone = "1270";
    std::optional<RunStep> endedAt{};
};

const std::vector<std::string> kAllZero(8, "00000000");

const RunCase kRuns[] = {
    {.name = "pi4_reference_300",
     .setUp =
         [](FormState& f) {
             f.setText(Input::Reference, "300");
             f.select(Selector::JTMode, 7);
         },
     .header = "FreqData                                ;Direct Freq Gen   JT4PI4   Ref 300.0MHz",
     .words = {"527E1091", "527E111D", "527E11A9", "527E1235", "527E10D7", "527E0ED0", "527E0FBE", "527E1036"},
     .lastLine = "Resolution  0.838Hz",
     .warning = "Resolution too low for this mode",
     .ssbCarrier = "2320.09873"},
    {.name = "option_800_reference_300",
     .setUp =
         [](FormState& f) {
             f.setText(Input::Reference, "300");
             f.setRef800(true);
         },
     .words = {"527E11CD", "527E11E5", "527E11FC", "527E1214", "527E10D7", "527E0FE8", "527E10D7", "527E114E"},
     .lastLine = "Resolution  0.838Hz",
     .warning = "Tone0 offset / wrong mode - check",
     .ssbCarrier = "2320.0992",
     .refTone = "800"},
    {.name = "option_800_initial_values_last_warning_wins",
     .setUp = [](FormState& f) { f.setRef800(true); },
     .words = kAllZero,
     .lastLine = "Resolution  0.698Hz",
     .warning = "Ref too low, check values",
     .ssbCarrier = "2320.0992",
     .refTone = "800"},
    {.name = "initial_values",
     .setUp = [](FormState&) {},
     .header = "FreqData                                ;Direct Freq Gen   JT4D   Ref 250.0MHz",
     .words = kAllZero,
     .lastLine = "Resolution  0.698Hz",
     .warning = "Ref too low, check values",
     .ssbCarrier = "2320.09873"},
    {.name = "reverse_2m",
     .setUp =
         [](FormState& f) {
             f.setText(Input::OutputFrequency, "144.4");
             f.setText(Input::Multiplication, "1");
             f.setText(Input::Reference, "10");
             f.select(Selector::Config, 1);
         },
     .header = "FreqData                                ;Reverse DDS   JT4D   Ref 10.0MHz",
     .words = {"11BA8189", "11BA8138", "11BA80E7", "11BA8096", "11BA8110", "11BA8810", "11BA84D8", "11BA833C"},
     .lastLine = "Resolution  0.243Hz",
     .ssbCarrier = "144.39873"},
    {.name = "reverse_3cm_jt4g_800",
     .setUp =
         [](FormState& f) {
             f.setText(Input::OutputFrequency, "9600");
             f.setText(Input::Reference, "10");
             f.select(Selector::JTMode, 6);
             f.select(Selector::Config, 1);
             f.setRef800(true);
         },
     .header = "FreqData                                ;Reverse DDS   JT4G   Ref 10.0MHz",
     .words = {"06666666", "06666663", "0666665F", "0666665C", "06666666", "0666666B", "06666666", "06666664"},
     .lastLine = "Resolution  44.703Hz",
     .warning = "Resolution too low for this mode",
     .ssbCarrier = "9599.9992",
     .refTone = "800"},
    // Row 7 exceeds the Reverse limit, so the resolution cannot be formed: the
    // eight rows stay listed, without a resolution line, and no SSB carrier.
    {.name = "reverse_aux_word_zero_ends_before_resolution",
     .setUp =
         [](FormState& f) {
             f.setText(Input::OutputFrequency, "100");
             f.setText(Input::Multiplication, "1");
             f.setText(Input::Reference, "35");
             f.select(Selector::Config, 1);
         },
     .words = {"00000000", "00000000", "5999986B", "5999961B", "5999999A", "00000000", "00000000", "00000000"},
     .warning = "Not Possible, check values",
     .endedAt = RunStep::WriteResolution},
    // A negative output gives words beyond 32 bits from tone 0 on: the header
    // stays and no row is written.
    {.name = "word_out_of_range_ends_in_the_rows",
     .setUp =
         [](FormState& f) {
             f.setText(Input::OutputFrequency, "-60");
             f.setText(Input::Multiplication, "1");
             f.setText(Input::Reference, "100");
         },
     .header = "FreqData                                ;Direct Freq Gen   JT4D   Ref 100.0MHz",
     .words = {},
     .endedAt = RunStep::WriteRows},
    // Only the aux tone is pushed beyond the word range: rows 0 to 6 stay.
    {.name = "aux_tone_word_out_of_range_keeps_earlier_rows",
     .setUp =
         [](FormState& f) {
             f.setText(Input::OutputFrequency, "10");
             f.setText(Input::Multiplication, "1");
             f.setText(Input::Reference, "100");
             f.setText(Input::AuxTone, "-61e6");
         },
     .words = {"19998FC5", "19999660", "19999CFB", "1999A396", "1999999A", "199907A3", "19994ABF"},
     .endedAt = RunStep::WriteRows},
    {.name = "field_beyond_double_range_ends_at_its_read",
     .setUp = [](FormState& f) { f.setText(Input::KeyUpTone, "1e400"); },
     .words = {},
     .endedAt = RunStep::BuildTonePlan},
    {.name = "reference_beyond_range_in_hertz",
     .setUp = [](FormState& f) { f.setText(Input::Reference, "1e303"); },
     .words = {},
     .endedAt = RunStep::ReadFrequencyPlan},
    {.name = "typed_submode_label_is_taken",
     .setUp =
         [](FormState& f) {
             f.setText(Input::Reference, "300");
             f.typeInto(Selector::JTMode, " pi4 ");
         },
     .header = "FreqData                                ;Direct Freq Gen   JT4PI4   Ref 300.0MHz",
     .words = {"527E1091", "527E111D", "527E11A9", "527E1235", "527E10D7", "527E0ED0", "527E0FBE", "527E1036"},
     .lastLine = "Resolution  0.838Hz",
     .warning = "Resolution too low for this mode",
     .ssbCarrier = "2320.09873"},
    {.name = "unknown_typed_submode_ends_the_run",
     .setUp = [](FormState& f) { f.typeInto(Selector::JTMode, "H"); },
     .words = {},
     .endedAt = RunStep::ReadFrequencyPlan},
    {.name = "unknown_typed_config_ends_before_the_header",
     .setUp = [](FormState& f) { f.typeInto(Selector::Config, "Dir"); },
     .words = {},
     .endedAt = RunStep::WriteHeader},
    {.name = "comma_locale",
     .setUp =
         [](FormState& f) {
             f.setText(Input::Reference, "300");
             f.setDecimalSeparator(",");
         },
     .header = "FreqData                                ;Direct Freq Gen   JT4D   Ref 300,0MHz",
     .words = {"527E10B4", "527E10CB", "527E10E3", "527E10FA", "527E10D7", "527E0ED0", "527E0FBE", "527E1036"},
     .lastLine = "Resolution  0,838Hz",
     .ssbCarrier = "2320,09873"},
};

class CalculationRuns : public testing::TestWithParam<RunCase> {};

TEST_P(CalculationRuns, LeaveWhatTheWindowWouldShow) {
    const RunCase& c = GetParam();
    FormState form;
    c.setUp(form);
    const Press outcome = pressOn(form);

    ASSERT_EQ(outcome.ended.has_value(), c.endedAt.has_value())
        << (outcome.ended ? outcome.ended->message : "completed");
    if (c.endedAt) {
        EXPECT_EQ(outcome.ended->step, *c.endedAt);
        EXPECT_FALSE(outcome.ended->message.empty());
    }

    const auto listing = lines(form.listing());
    const bool wroteHeader = !form.listing().empty();
    if (c.header) {
        EXPECT_EQ(listing.front(), *c.header);
    }
    std::vector<std::string> words;
    for (std::size_t i = 1; i < listing.size() && listing[i].starts_with("    de  0x"); ++i)
        words.push_back(rowWord(listing[i]));
    EXPECT_EQ(words, c.words);
    if (c.lastLine) {
        EXPECT_EQ(listing.back(), *c.lastLine);
        EXPECT_EQ(listing[listing.size() - 2], "");
    } else if (wroteHeader) {
        EXPECT_EQ(listing.back(), "") << "no resolution line after an early end";
    }

    EXPECT_EQ(form.isVisible(Shown::Warning), c.warning.has_value());
    if (c.warning) {
        EXPECT_EQ(form.warningCaption(), *c.warning);
    }
    EXPECT_EQ(form.isVisible(Shown::SsbCarrier), c.ssbCarrier.has_value());
    EXPECT_EQ(form.isVisible(Shown::SsbCaption), c.ssbCarrier.has_value());
    EXPECT_EQ(form.ssbCarrier(), c.ssbCarrier.value_or(""));
    EXPECT_EQ(form.text(Input::ReferenceTone), c.refTone);
}

INSTANTIATE_TEST_SUITE_P(Table, CalculationRuns, testing::ValuesIn(kRuns), testing_support::CaseName{});

TEST(CalculationRun, MultiplicationZeroEndsBeforeTheListingIsTouched) {
    FormState form;
    form.setText(Input::Reference, "300");
    pressOn(form);
    form.setRef800(true);  // raises a warning that the next run must hide first
    pressOn(form);
    ASSERT_TRUE(form.isVisible(Shown::Warning));
    const std::string previous = form.listing();

    form.setText(Input::Multiplication, "");
    const Press outcome = pressOn(form);
    ASSERT_FALSE(outcome.completed());
    EXPECT_EQ(outcome.ended->step, RunStep::ReadFrequencyPlan);
    EXPECT_NE(outcome.ended->message.find("RF Multiplication reads 0"), std::string::npos);
    EXPECT_EQ(form.listing(), previous);
    EXPECT_FALSE(form.isVisible(Shown::Warning));
}

TEST(CalculationRun, SecondPressReplacesTheListing) {
    FormState form;
    form.setText(Input::Reference, "300");
    pressOn(form);
    form.setListing(form.listing() + "\r\noperator's note");
    pressOn(form);
    EXPECT_EQ(form.listing(), kListing300);
}

TEST(CalculationRun, WarningHiddenAtTheStartOfEveryRun) {
    FormState form;
    pressOn(form);  // all rows above the Direct limit
    ASSERT_TRUE(form.isVisible(Shown::Warning));
    form.setText(Input::Reference, "300");
    pressOn(form);
    EXPECT_FALSE(form.isVisible(Shown::Warning));
    EXPECT_EQ(form.warningCaption(), "Ref too low, check values") << "the caption stays, hidden";
}

}  // namespace
}  // namespace jt4dds

namespace jt4dds {
namespace {

// Whatever an operator types or pastes, the run either completes or stops
// with a reason: never a crash, a hang or an unexplained half-listing.
struct HostileCase {
    const char* name;
    std::string text;
};

const HostileCase kHostile[] = {
    {.name = "empty", .text = ""},
    {.name = "lone_sign", .text = "-"},
    {.name = "lone_point", .text = "."},
    {.name = "signs_and_points_in_odd_places", .text = "+-.5.-"},
    {.name = "thousands_of_digits", .text = std::string(5000, '7')},
    {.name = "beyond_range", .text = "1e400"},
    {.name = "beyond_range_negative", .text = "-1e400"},
    {.name = "below_range", .text = "1e-400"},
    {.name = "nan", .text = "nan"},
    {.name = "inf", .text = "inf"},
    {.name = "non_ascii", .text = "\xE2\x80\x94\xC2\xB5Hz"},
    {.name = "megabyte", .text = std::string(1 << 20, '9')},
    {.name = "control_characters", .text = "\x01\x02\x1B[31m12"},
    {.name = "nul_in_the_middle",
     .text = std::string("30\0"
                         "0",
                         4)},
    {.name = "tab_and_line_feed_inside", .text = "3\t0\n0"},
    {.name = "invalid_utf8",
     .text = "\xFF\xFE"
             "300"},
};

class HostileFields : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileFields, EveryFieldGetsADefinedOutcome) {
    constexpr Input kFields[] = {Input::OutputFrequency, Input::Multiplication, Input::Reference, Input::ReferenceTone,
                                 Input::KeyUpTone,       Input::KeyDownTone,    Input::AuxTone};
    for (const Input field : kFields) {
        for (const int config : {0, 1}) {
            FormState form;
            form.setText(Input::Reference, "300");
            form.select(Selector::Config, config);
            form.setText(field, GetParam().text);
            const Press outcome = pressOn(form);
            EXPECT_EQ(form.isVisible(Shown::SsbCarrier), outcome.completed());
            if (outcome.completed()) {
                EXPECT_NE(form.listing().find("\r\n\r\nResolution  "), std::string::npos);
            } else {
                EXPECT_FALSE(outcome.ended->message.empty());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostileFields, testing::ValuesIn(kHostile), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
