// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/plan_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "calc/numbers/leading_number.h"
#include "tests/case_name.h"
#include "tests/form_state.h"

namespace jt4dds {
namespace {

using Prepare = std::function<void(FormState&)>;

std::vector<Finding> press(const Prepare& setUp, const PlanCheckOptions& options = {}) {
    FormState form;
    setUp(form);
    return checkPlan(pressOn(form), options);
}

Prepare fields(std::vector<std::pair<Input, std::string>> texts, int submode = 3, int config = 0, bool ref800 = false) {
    return [=](FormState& f) {
        for (const auto& [field, text] : texts) f.setText(field, text);
        f.select(Selector::JTMode, submode);
        f.select(Selector::Config, config);
        f.setRef800(ref800);
    };
}

// The first finding of `kind`, or none.
const Finding* ofKind(const std::vector<Finding>& findings, FindingKind kind) {
    const auto it = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) { return f.kind == kind; });
    return it == findings.end() ? nullptr : &*it;
}

// What one finding must say: its kind and severity, its subject, and pieces of
// its message and fix (empty: no fix expected).
struct Expected {
    FindingKind kind;
    Severity severity;
    std::string subject;
    std::string message;
    std::string fix;
};

struct CheckCase {
    const char* name;
    Prepare prepare;
    std::vector<Expected> findings;  // all of them, in order
};

using F = Input;
using K = FindingKind;
using S = Severity;
constexpr int kA = 0, kG = 6, kPi4 = 7, kReverse = 1;

const CheckCase kChecks[] = {
    {.name = "reference_300_is_clean", .prepare = fields({{F::Reference, "300"}}), .findings = {}},
    {.name = "units_that_match_the_field_are_no_finding",
     .prepare = fields({{F::OutputFrequency, "2320.1 MHz"},
                        {F::Reference, "300mhz"},
                        {F::Multiplication, "24x"},
                        {F::ReferenceTone, "1270Hz"}}),
     .findings = {}},
    {.name = "decimal_comma",
     .prepare = fields({{F::OutputFrequency, "2320,1"}, {F::Reference, "300"}}),
     .findings = {{K::IgnoredText, S::Warning, "Output Frequency",
                   "reads 2320 MHz; ',1' ignored (the decimal point is '.')", "type 2320.1"}}},
    {.name = "numbers_joined_across_a_line_break",
     .prepare = fields({{F::OutputFrequency, "2320.1\n24\n300"}, {F::Reference, "300"}}),
     .findings = {{K::JoinedNumbers, S::Warning, "Output Frequency",
                   "reads 2320.1243 MHz: the numbers on separate lines", "keep one number on one line"}}},
    {.name = "gigahertz_in_a_megahertz_field",
     .prepare = fields(
         {{F::OutputFrequency, "10.3689G"}, {F::Multiplication, "96"}, {F::Reference, "400"}, {F::AuxTone, "1000"}},
         kG),
     .findings = {{K::IgnoredText, S::Warning, "Output Frequency", "reads 10.3689 MHz; 'G' ignored",
                   "for 10.3689 GHz type 10368.9"},
                  {K::ToneGrid, S::Warning, "Tones 0 to 3",
                   "2.61 Hz RMS off an even grid (-1.36, -3.43, +3.43, +1.36 Hz)",
                   "a Master Reference of 403 MHz (data tones 0.3 Hz RMS off an even grid)"}}},
    {.name = "kilohertz_in_a_tone_field",
     .prepare = fields({{F::Reference, "300"}, {F::KeyUpTone, "0.4kHz"}}),
     .findings = {{K::IgnoredText, S::Warning, "FSK CW (key up) Tone", "reads 0.4 Hz; 'kHz' ignored",
                   "for 0.4 kHz type 400"}}},
    {.name = "empty_tone_field",
     .prepare = fields({{F::Reference, "300"}, {F::AuxTone, " "}}),
     .findings = {{K::EmptyField, S::Warning, "Aux Tone", "is empty and reads 0", ""}}},
    {.name = "radix_prefix_holds_no_number",
     .prepare = fields({{F::Reference, "300"}, {F::KeyDownTone, "&H320"}}),
     .findings = {{K::NoNumber, S::Warning, "FSK CW (key down) Tone",
                   "'&H320' holds no number and reads 0 (a number is read in decimal only)", ""}}},
    {.name = "initial_values_dead_words",
     .prepare = fields({}),
     .findings = {{K::LimitExceeded, S::Error, "Tones 0 to 7", "up to 96.670836 MHz, is above 35 % of the 250 MHz",
                   "at least 276.203 MHz, or an RF Multiplication from 27 to 77 with 250 MHz"}}},
    {.name = "initial_values_with_the_800_hz_option_tells_both_warnings",
     .prepare = fields({}, 3, 0, true),
     .findings = {{K::ToneZeroOffset, S::Warning, "JT4G Reference Tone0 = 800Hz", "with JT4D tone 0 is at 1213.4375 Hz",
                   "select G"},
                  {K::LimitExceeded, S::Error, "Tones 0 to 7", "above 35 %", "at least"}}},
    {.name = "only_tones_above_the_reference_exceed",
     .prepare = fields({{F::OutputFrequency, "35"}, {F::Multiplication, "1"}, {F::Reference, "100"}}),
     .findings = {{K::LimitExceeded, S::Error, "Tones 2 and 3",
                   "up to 35.00006 MHz, is above 35 % of the 100 MHz Master Reference (35 MHz)",
                   "at least 100.001 MHz"}}},
    {.name = "reverse_limit_gives_the_largest_reference",
     .prepare = fields({{F::OutputFrequency, "144.4"}, {F::Multiplication, "1"}, {F::Reference, "60"}}, 3, kReverse),
     .findings = {{K::LimitExceeded, S::Error, "Tones 0 to 7",
                   "60 MHz Master Reference is above 35 % of the DDS frequency", "at most 50.539 MHz"},
                  {K::RunEnded, S::Error, "Calculation", "The resolution cannot be calculated", ""}}},
    {.name = "negative_output_words_alias",
     .prepare = fields({{F::OutputFrequency, "-5"}, {F::Reference, "300"}}),
     .findings = {{K::DdsAtOrBelowZero, S::Error, "Tones 0 to 7",
                   "Output Frequency reads -5 MHz); a DDS takes the word 0xFFD27D28",
                   "make Output Frequency and RF Multiplication positive"}}},
    {.name = "negative_reference_reverse",
     .prepare = fields({{F::OutputFrequency, "144.4"}, {F::Multiplication, "1"}, {F::Reference, "-10"}}, 3, kReverse),
     .findings = {{K::ReferenceAtOrBelowZero, S::Error, "Master Reference", "reads -10 MHz: a clock must be above 0 Hz",
                   ""}}},
    {.name = "jt4a_tones_share_words",
     .prepare = fields({{F::OutputFrequency, "10368.9"}, {F::Multiplication, "96"}, {F::Reference, "400"}}, kA),
     .findings = {{K::SharedWord, S::Error, "Tones 0 to 3",
                   "Tones 0 and 1 share the word 0x45204189; Tones 2 and 3 share", "no nearby Master Reference"},
                  {K::Resolution, S::Note, "Resolution", "4.47 Hz is coarser than 0.25 Hz", "Find settings"}}},
    {.name = "sound_pi4_resolution_is_a_note",
     .prepare = fields({{F::Reference, "300"}}, kPi4),
     .findings = {{K::Resolution, S::Note, "Resolution",
                   "they lie 0.36 Hz RMS off an even grid, inside the 3 Hz a PI4 decoder takes", ""}}},
    {.name = "jt4g_reverse_spacing_and_resolution",
     .prepare = fields({{F::OutputFrequency, "9600"}, {F::Reference, "10"}}, kG, kReverse, true),
     .findings = {{K::ToneGrid, S::Warning, "Tones 0 to 3", "23.48 Hz RMS off an even grid",
                   "a Master Reference of 17 MHz (data tones 0.62 Hz RMS off an even grid), or an RF "
                   "Multiplication of 34 with 10 MHz (0.62 Hz RMS)"},
                  {K::Resolution, S::Note, "Resolution", "44.703 Hz is coarser than 18 Hz",
                   "at least 24.836 MHz, or an RF Multiplication from 60 to 335 with 10 MHz"}}},
    {.name = "jt4g_10ghz_500mhz_off_the_grid",
     .prepare = fields({{F::OutputFrequency, "10368.9"}, {F::Multiplication, "96"}, {F::Reference, "500"}}, kG),
     .findings = {{K::ToneGrid, S::Warning, "Tones 0 to 3",
                   "3.38 Hz RMS off an even grid (-5.27, +3.83, +1.76, -0.32 Hz); beyond 1.5 Hz a JT4G decoder near "
                   "its threshold loses the beacon",
                   "a Master Reference of 502 MHz (data tones 0.92 Hz RMS off an even grid), or an RF "
                   "Multiplication of 108 with 500 MHz (0.76 Hz RMS)"}}},
    {.name = "jt4f_24ghz_grid_a_note",
     .prepare = fields({{F::OutputFrequency, "24048.1"}, {F::Multiplication, "192"}, {F::Reference, "389"}}, 5),
     .findings = {{K::ToneGrid, S::Note, "Tones 0 to 3",
                   "1.11 Hz RMS off an even grid (+1.49, +0.50, -0.50, -1.49 Hz); beyond 1.1 Hz a JT4F decoder near "
                   "its threshold begins to lose a little margin (it fails beyond 1.5 Hz, measured at -22 dB)",
                   "a Master Reference of 391 MHz (data tones 0.21 Hz RMS off an even grid)"}}},
    // Between PI4's lines: a warning line moved from 4 to 3 Hz passed every test.
    {.name = "pi4_between_its_lines_is_a_note",
     .prepare = fields({{F::OutputFrequency, "10368.9"}, {F::Multiplication, "192"}, {F::Reference, "300"}}, kPi4),
     .findings = {{K::ToneGrid, S::Note, "Tones 0 to 3",
                   "3.53 Hz RMS off an even grid (-3.83, +3.19, -3.19, +3.83 Hz); beyond 3 Hz a PI4 decoder near its "
                   "threshold begins to lose a little margin (it fails beyond 4 Hz, measured at -15 dB)",
                   "a Master Reference of 306 MHz"},
                  {K::Resolution, S::Note, "Resolution", "PI4 has spacing number 0", ""}}},
    {.name = "jt4f_24ghz_its_fix_is_clean",
     .prepare = fields({{F::OutputFrequency, "24048.1"}, {F::Multiplication, "192"}, {F::Reference, "391"}}, 5),
     .findings = {}},
    {.name = "jt4a_23cm_resolution_caption_is_a_note_when_the_tones_lie_even",
     .prepare = fields({{F::OutputFrequency, "1296.9"}, {F::Multiplication, "12"}, {F::Reference, "400"}}, kA),
     .findings =
         {{K::Resolution, S::Note, "Resolution",
           "0.559 Hz is coarser than 0.25 Hz, a quarter of JT4A's spacing number 1 in hertz; what counts is how "
           "evenly the rounded words place the data tones: they lie 0.11 Hz RMS off an even grid, inside the "
           "1.1 Hz a JT4A decoder takes without loss",
           "no other Master Reference"}}},
    {.name = "pi4_reference_tone_outside_the_decoders_search",
     .prepare = fields({{F::Reference, "300"}, {F::ReferenceTone, "800"}}, kPi4),
     .findings = {{K::Pi4OutsideSearch, S::Warning, "Reference Tone",
                   "data tone 0 is heard at 1153.3 Hz; PI4 decoders look for it within 150 Hz of 682.8 Hz",
                   "type 1270.46, the data tones' centre, as the Reference Tone"},
                  {K::Resolution, S::Note, "Resolution", "PI4 has spacing number 0", ""}}},
    {.name = "empty_multiplication_ends_the_run",
     .prepare = fields({{F::Multiplication, ""}}),
     .findings = {{K::EmptyField, S::Warning, "RF Multiplication", "is empty", ""},
                  {K::RunEnded, S::Error, "Calculation", "RF Multiplication reads 0", ""}}},
};

// Misread inputs: what the operator meant, and the fix. A fix's number, typed
// into its field, must read exactly that (and nothing be ignored); where the
// meaning cannot be known, no number may be offered.
struct MisreadCase {
    const char* name;
    Input field;
    std::string typed;
    std::optional<double> meant;  // none: no number may be offered
};

const MisreadCase kMisreads[] = {
    {.name = "thousands_separator", .field = F::OutputFrequency, .typed = "10,368.9", .meant = 10368.9},
    {.name = "thousands_two_groups", .field = F::OutputFrequency, .typed = "1,024,000.5", .meant = 1024000.5},
    {.name = "thousands_two_groups_no_point", .field = F::Reference, .typed = "1,000,000", .meant = 1000000},
    {.name = "thousands_with_unit", .field = F::OutputFrequency, .typed = "10,368.9 MHz", .meant = 10368.9},
    {.name = "one_group_of_three_is_ambiguous", .field = F::OutputFrequency, .typed = "10,368", .meant = std::nullopt},
    {.name = "four_digits_before_the_group_is_a_decimal_comma",
     .field = F::OutputFrequency,
     .typed = "2320,100",
     .meant = 2320.1},
    {.name = "decimal_comma", .field = F::OutputFrequency, .typed = "2320,1", .meant = 2320.1},
    {.name = "decimal_comma_two_digits", .field = F::Reference, .typed = "300,25", .meant = 300.25},
    {.name = "decimal_comma_four_digits", .field = F::OutputFrequency, .typed = "10,3689", .meant = 10.3689},
    {.name = "decimal_comma_then_unit", .field = F::Reference, .typed = "300,5MHz", .meant = 300.5},
    {.name = "decimal_comma_then_more_text", .field = F::Reference, .typed = "300,5 ppm", .meant = std::nullopt},
    {.name = "leading_comma", .field = F::Reference, .typed = ",5", .meant = 0.5},
    {.name = "wrapped_after_the_point", .field = F::OutputFrequency, .typed = "10368.\n9", .meant = 10368.9},
    {.name = "wrapped_before_the_point", .field = F::OutputFrequency, .typed = "10368\r\n.9", .meant = 10368.9},
    {.name = "two_numbers_on_two_lines", .field = F::OutputFrequency, .typed = "2320.1\n24", .meant = std::nullopt},
    {.name = "multiplier_sign_first", .field = F::Multiplication, .typed = "x96", .meant = 96},
    {.name = "multiplication_sign_first",
     .field = F::Multiplication,
     .typed = "\xC3\x97"
              "96",
     .meant = 96},
    {.name = "multiplier_sign_and_blank_first", .field = F::Multiplication, .typed = "X 96", .meant = 96},
    {.name = "multiplier_sign_and_no_number", .field = F::Multiplication, .typed = "x", .meant = std::nullopt},
    {.name = "gigahertz", .field = F::OutputFrequency, .typed = "10.3689G", .meant = 10368.9},
    {.name = "kilohertz_tone", .field = F::KeyUpTone, .typed = "0.4 kHz", .meant = 400},
};

class Misreads : public testing::TestWithParam<MisreadCase> {};

TEST_P(Misreads, FixReadsWhatWasMeantOrOffersNone) {
    const MisreadCase& c = GetParam();
    const auto findings = press(fields({{F::Reference, "300"}, {c.field, c.typed}}));
    const auto about = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) {
        return f.field == c.field && f.severity != Severity::Note;
    });
    ASSERT_NE(about, findings.end()) << "no finding about the field";
    SCOPED_TRACE(findingLine(*about));
    if (!c.meant) {
        EXPECT_TRUE(about->fixes.empty());
        EXPECT_EQ(about->fix.find("type "), std::string::npos);
        return;
    }
    // One fix: first the field's edit, which the prose names too, then any
    // edit the plan it makes needs.
    ASSERT_EQ(about->fixes.size(), 1u);
    ASSERT_FALSE(about->fixes[0].empty());
    const FieldEdit& edit = about->fixes[0][0];
    EXPECT_EQ(edit.input, c.field);
    EXPECT_TRUE(about->fix.ends_with("type " + edit.text) ||
                about->fix.find("type " + edit.text + ";") != std::string::npos)
        << about->fix;
    const NumberRead read = LeadingNumber(edit.text);
    EXPECT_EQ(read.end, edit.text.size()) << "all of '" << edit.text << "' is the number";
    EXPECT_EQ(read.value, *c.meant);
    // Typed into the field, the finding is gone.
    for (const Finding& f : press(fields({{F::Reference, "300"}, {c.field, edit.text}})))
        EXPECT_TRUE(f.field != c.field || f.severity == Severity::Note) << findingLine(f);
}

INSTANTIATE_TEST_SUITE_P(Table, Misreads, testing::ValuesIn(kMisreads), testing_support::CaseName{});

// Ignored text is quoted as typed, its blanks kept.
TEST(IgnoredText, IsQuotedWithItsBlanks) {
    const auto findings = press(fields({{F::Reference, "300 MHz -25ppm"}}));
    ASSERT_FALSE(findings.empty());
    EXPECT_NE(findings[0].message.find("'MHz -25ppm' ignored"), std::string::npos) << findings[0].message;
}

class PlanChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(PlanChecks, FindEverythingInOrderWithItsFix) {
    const auto findings = press(GetParam().prepare);
    ASSERT_EQ(findings.size(), GetParam().findings.size()) << (findings.empty() ? "" : findingLine(findings[0]));
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& got = findings[i];
        const Expected& want = GetParam().findings[i];
        SCOPED_TRACE(findingLine(got));
        EXPECT_EQ(kindName(got.kind), kindName(want.kind));
        EXPECT_EQ(severityName(got.severity), severityName(want.severity));
        EXPECT_EQ(findingSubject(got), want.subject);
        EXPECT_NE(got.message.find(want.message), std::string::npos);
        if (want.fix.empty()) {
            EXPECT_EQ(got.fix, "");
        } else {
            EXPECT_NE(got.fix.find(want.fix), std::string::npos);
        }
    }
}

// Every fix offered leads into nothing: applied, it leaves no error or
// warning but those that were there before, unchanged, with no edit to mend
// them (the 800 Hz option on the wrong mode). Apply fix on 10368.9 / x96
// landed on a tone-grid warning whose own fix was another multiplication.
TEST_P(PlanChecks, EveryFixOfferedLeavesNothingToMend) {
    const auto before = press(GetParam().prepare);
    for (const Finding& finding : before) {
        for (const FixEdits& edits : finding.fixes) {
            SCOPED_TRACE(findingLine(finding) + " / " + fixCaption(edits));
            const auto after = press([&](FormState& f) {
                GetParam().prepare(f);
                for (const FieldEdit& edit : edits) f.setText(edit.input, edit.text);
            });
            for (const Finding& left : after) {
                if (left.severity == S::Note) continue;
                const bool untouched = std::any_of(before.begin(), before.end(), [&](const Finding& was) {
                    return was.message == left.message && was.kind == left.kind && was.fixes.empty();
                });
                EXPECT_TRUE(untouched && left.fixes.empty()) << findingLine(left);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PlanChecks, testing::ValuesIn(kChecks), testing_support::CaseName{});

// A fix names a value; typing it clears the finding, and one step short of it
// (a kilohertz, or one multiplication) leaves the plan with an error or warning.
struct FixCase {
    const char* name;
    Prepare prepare;
    FindingKind kind;
    const char* pattern;  // captures the value the fix names
    Input field;
    double shortBy;  // the step back across the boundary
    // What one step short raises; none: any error or warning.
    std::optional<FindingKind> shortRaises = std::nullopt;
};

const FixCase kFixes[] = {
    {.name = "smallest_direct_reference",
     .prepare = fields({}),
     .kind = K::LimitExceeded,
     .pattern = R"(at least ([0-9.]+) MHz)",
     .field = F::Reference,
     .shortBy = -0.001},
    {.name = "smallest_multiplication",
     .prepare = fields({}),
     .kind = K::LimitExceeded,
     .pattern = R"(from ([0-9]+) to)",
     .field = F::Multiplication,
     .shortBy = -1},
    {.name = "largest_multiplication_keeps_the_resolution",
     .prepare = fields({}),
     .kind = K::LimitExceeded,
     .pattern = R"(to ([0-9]+) with)",
     .field = F::Multiplication,
     .shortBy = 1,
     .shortRaises = K::Resolution},
    {.name = "largest_reverse_reference",
     .prepare = fields({{F::OutputFrequency, "144.4"}, {F::Multiplication, "1"}, {F::Reference, "60"}}, 3, kReverse),
     .kind = K::LimitExceeded,
     .pattern = R"(at most ([0-9.]+) MHz)",
     .field = F::Reference,
     .shortBy = 0.001},
    {.name = "smallest_reverse_reference_for_the_resolution",
     .prepare = fields({{F::OutputFrequency, "9600"}, {F::Reference, "10"}}, kG, kReverse, true),
     .kind = K::Resolution,
     .pattern = R"(at least ([0-9.]+) MHz)",
     .field = F::Reference,
     .shortBy = -0.001},
};

class Fixes : public testing::TestWithParam<FixCase> {};

TEST_P(Fixes, TypedValueClearsTheFindingAndOneStepShortDoesNot) {
    const FixCase& c = GetParam();
    const auto findings = press(c.prepare);
    const Finding* it = ofKind(findings, c.kind);
    ASSERT_NE(it, nullptr);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(it->fix, match, std::regex(c.pattern))) << it->fix;
    const double value = std::stod(match[1]);
    const auto typed = [&](double v) {
        return press([&](FormState& f) {
            c.prepare(f);
            f.setText(c.field, std::to_string(v));
        });
    };
    const auto at = typed(value);
    EXPECT_EQ(ofKind(at, c.kind), nullptr) << value;
    const auto beyond = typed(value + c.shortBy);
    if (c.shortRaises) {
        EXPECT_NE(ofKind(beyond, *c.shortRaises), nullptr) << value + c.shortBy;
    } else {
        EXPECT_TRUE(anyOf(beyond, S::Error) || anyOf(beyond, S::Warning)) << value + c.shortBy;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Fixes, testing::ValuesIn(kFixes), testing_support::CaseName{});

}  // namespace

// Edits as the operator would read them when a comparison fails.
void PrintTo(const FieldEdit& edit, std::ostream* os) { *os << fixCaption({edit}); }

namespace {

// The fixes as edits, exactly, one set per alternative; applying any one set
// clears the finding and leaves no error.
struct EditsCase {
    const char* name;
    Prepare prepare;
    FindingKind kind;
    std::vector<FixEdits> fixes;
};

const EditsCase kEdits[] = {
    {.name = "limit_reference_or_nearest_multiplication",
     .prepare = fields({}),
     .kind = K::LimitExceeded,
     .fixes = {{{F::Reference, "276.203"}}, {{F::Multiplication, "27"}}}},
    // x193 (a prime) was offered, where doublers and triplers make x192.
    {.name = "multiplication_above_the_range_takes_the_chain_under_its_top",
     .prepare = fields({{F::Multiplication, "200"}, {F::Reference, "100"}}),
     .kind = K::Resolution,
     .fixes = {{{F::Reference, "96.636"}}, {{F::Multiplication, "192"}}}},
    {.name = "reverse_reference_at_most",
     .prepare = fields({{F::OutputFrequency, "144.4"}, {F::Multiplication, "1"}, {F::Reference, "60"}}, 3, kReverse),
     .kind = K::LimitExceeded,
     .fixes = {{{F::Reference, "50.539"}}}},
    {.name = "gigahertz_typed_into_megahertz_with_the_grid_it_then_meets",
     .prepare = fields({{F::OutputFrequency, "10.3689G"}, {F::Multiplication, "96"}, {F::Reference, "400"}}),
     .kind = K::IgnoredText,
     .fixes = {{{F::OutputFrequency, "10368.9"}, {F::Reference, "426"}}}},
    {.name = "tone_grid_nearest_whole_reference_or_chain_multiplication",
     .prepare = fields({{F::OutputFrequency, "10368.9"}, {F::Multiplication, "96"}, {F::Reference, "500"}}, kG),
     .kind = K::ToneGrid,
     .fixes = {{{F::Reference, "502"}}, {{F::Multiplication, "108"}}}},
    {.name = "pi4_reference_tone_on_the_data_tones_centre",
     .prepare = fields({{F::Reference, "300"}, {F::ReferenceTone, "1500"}}, kPi4),
     .kind = K::Pi4OutsideSearch,
     .fixes = {{{F::ReferenceTone, "1270.46"}}}},
    {.name = "no_fix_when_nothing_alone_mends_it",
     .prepare = fields({{F::Reference, "500"}, {F::Multiplication, "24"}}, kA),
     .kind = K::Resolution,
     .fixes = {}},
};

class FixEditsOf : public testing::TestWithParam<EditsCase> {};

TEST_P(FixEditsOf, AreExactAndEachClearsTheFinding) {
    const EditsCase& c = GetParam();
    const auto findings = press(c.prepare);
    const Finding* it = ofKind(findings, c.kind);
    ASSERT_NE(it, nullptr);
    SCOPED_TRACE(findingLine(*it));
    EXPECT_EQ(it->fixes, c.fixes);
    for (const FixEdits& edits : it->fixes) {
        SCOPED_TRACE(fixCaption(edits));
        const auto after = press([&](FormState& f) {
            c.prepare(f);
            for (const FieldEdit& edit : edits) f.setText(edit.input, edit.text);
        });
        EXPECT_EQ(ofKind(after, c.kind), nullptr);
        EXPECT_FALSE(anyOf(after, S::Error));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FixEditsOf, testing::ValuesIn(kEdits), testing_support::CaseName{});

TEST(PlanCheck, FixCaptionNamesEachFieldWithItsUnit) {
    EXPECT_EQ(fixCaption({{F::Reference, "276.203"}}), "Master Reference 276.203 MHz");
    EXPECT_EQ(fixCaption({{F::Multiplication, "27"}, {F::KeyUpTone, "400"}}),
              "RF Multiplication 27, FSK CW (key up) Tone 400 Hz");
}

// PI4 decoders search 150 Hz either side of 682.8 Hz: the reference tone
// moves data tone 0 there on a PI4 receiver's dial, on both sides of each edge.
struct Pi4SearchCase {
    const char* name;
    const char* referenceTone;
    bool outside;
};
const Pi4SearchCase kPi4Searches[] = {
    {.name = "centred", .referenceTone = "1270.46", .outside = false},
    {.name = "low_edge_inside", .referenceTone = "1120.5", .outside = false},
    {.name = "low_edge_outside", .referenceTone = "1120.4", .outside = true},
    {.name = "high_edge_inside", .referenceTone = "1420.4", .outside = false},
    {.name = "high_edge_outside", .referenceTone = "1420.5", .outside = true},
};
class Pi4Search : public testing::TestWithParam<Pi4SearchCase> {};
TEST_P(Pi4Search, BothSidesOfEachEdge) {
    const auto findings = press(fields({{F::Reference, "300"}, {F::ReferenceTone, GetParam().referenceTone}}, kPi4));
    EXPECT_EQ(ofKind(findings, K::Pi4OutsideSearch) != nullptr, GetParam().outside);
}
INSTANTIATE_TEST_SUITE_P(Table, Pi4Search, testing::ValuesIn(kPi4Searches), testing_support::CaseName{});

TEST(PlanCheck, GridLinesAreOrderedAndPositive) {
    for (std::int32_t n : {0, 1, 2, 4, 9, 18, 36, 72}) {
        const GridTolerance t = gridTolerance(n);
        EXPECT_GT(t.noteHz, 0.0) << n;
        EXPECT_LT(t.noteHz, t.warningHz) << n;
    }
}

TEST(PlanCheck, SpacingToleranceIsTheOperatorsToChoose) {
    const Prepare reference300 = fields({{F::Reference, "300"}});
    // The worst pair of the 300 MHz plan is 2.18 % off: inside 2.2 %, outside
    // 2.1 %; with no tolerance given, the grid alone judges it.
    EXPECT_TRUE(press(reference300).empty());
    EXPECT_TRUE(press(reference300, PlanCheckOptions{0.022}).empty());
    const auto tight = press(reference300, PlanCheckOptions{0.021});
    ASSERT_EQ(tight.size(), 1u);
    EXPECT_EQ(tight[0].kind, K::SpacingOff);
}

// Data tones that share a word are no pair to measure: a bound that compared
// each tone's word with the one below (and read before the first row) passed.
TEST(PlanCheck, SpacingToleranceSkipsTonesThatShareAWord) {
    const Prepare shared =
        fields({{F::OutputFrequency, "10368.9"}, {F::Multiplication, "96"}, {F::Reference, "400"}}, kA);
    const auto findings = press(shared, PlanCheckOptions{0.5});
    const auto off =
        std::find_if(findings.begin(), findings.end(), [](const Finding& f) { return f.kind == K::SpacingOff; });
    ASSERT_NE(off, findings.end());
    EXPECT_EQ(findingSubject(*off), "Tones 1 and 2");  // 0-1 and 2-3 share their words
    EXPECT_NE(off->message.find("the worst pair, tones 1 and 2, comes out 8.941 Hz apart"), std::string::npos)
        << off->message;
}

TEST(PlanCheck, FieldNoteIsTheFieldsTooltip) {
    const auto findings = press(fields({{F::OutputFrequency, "2320,1"}, {F::Reference, "300"}}));
    EXPECT_EQ(fieldNote(findings, F::OutputFrequency),
              "reads 2320 MHz; ',1' ignored (the decimal point is '.'); type 2320.1");
    EXPECT_EQ(fieldNote(findings, F::Reference), "");
}

TEST(PlanCheck, ToneTableShowsWhatTheRoundedWordsGive) {
    FormState form;
    form.setText(F::Reference, "300");
    const auto table = toneDetails(pressOn(form).figures);
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(table[0].name, "data tone 0");
    EXPECT_EQ(table[0].word, 0x527E10B4);
    EXPECT_NEAR(*table[0].errorHz, *table[0].realisedHz - table[0].plannedHz, 1e-9);
    EXPECT_LT(std::fabs(*table[4].errorHz), 0.838);  // within half a step
}

}  // namespace
}  // namespace jt4dds

namespace jt4dds {
namespace {

// The minute's findings, from the beacon's message, CW identification, speed
// and timer; each refusal names what is wrong and what is taken.
struct MinuteCheckCase {
    const char* name;
    std::function<void(Beacon&)> prepare;
    std::optional<FindingKind> kind;  // none: no finding about the minute
    std::string message = {};
    std::vector<FixEdits> fixes = {};
    std::optional<Severity> severity = {};  // not checked when none
    std::string subject = "Transmission";   // a field's own name, where it is to blame
    std::string fix = {};                   // in the fix, when given
};

void jt4(Beacon& b) {
    b.text(Input::Reference) = "300";
    b.message = "CQ K1ABC FN42";
}

void pi4(Beacon& b) {
    b.text(Input::Reference) = "300";
    b.mode = Pick::item(7);
    b.message = "OZ7IGY";
}

const MinuteCheckCase kMinuteChecks[] = {
    {.name = "no_message_no_minute", .prepare = [](Beacon& b) { b.text(Input::Reference) = "300"; }, .kind = {}},
    {.name = "pi4_cw_on_the_carrier_is_standard",
     .prepare =
         [](Beacon& b) {
             pi4(b);
             b.cwId = "OZ7IGY JO55";
             b.text(Input::KeyDownTone) = "1270";
         },
     .kind = {}},
    {.name = "pi4_cw_on_the_default_key_down_tone",
     .prepare =
         [](Beacon& b) {
             pi4(b);
             b.cwId = "OZ7IGY JO55";
         },
     .kind = FindingKind::Pi4CwOffCarrier,
     .message = "the key-down tone 800 Hz puts it 470 Hz below the nominal frequency",
     .fixes = {{{Input::KeyDownTone, "1270"}}}},
    {.name = "pi4_without_cw_keys_no_cw",
     .prepare =
         [](Beacon& b) {
             pi4(b);
             b.cwId = "OZ7IGY";
             b.cw = false;
         },
     .kind = {}},
    {.name = "jt4_identification_past_the_minute",
     .prepare =
         [](Beacon& b) {
             b.text(Input::Reference) = "300";
             b.message = "CQ K1ABC FN42";
             b.cwId = "K1ABC FN42";
         },
     .kind = FindingKind::MinuteOverrun,
     .message = "ends at 60.9 s",
     .fix = "a CW speed of 13 WPM or more, a shorter CW identification, or no CW"},
    {.name = "jt4_identification_fits_at_13_wpm",
     .prepare =
         [](Beacon& b) {
             b.text(Input::Reference) = "300";
             b.message = "CQ K1ABC FN42";
             b.cwId = "K1ABC FN42";
             b.wpm = "13";
         },
     .kind = {}},
    {.name = "jt4_identification_fits_at_20_wpm",
     .prepare =
         [](Beacon& b) {
             b.text(Input::Reference) = "300";
             b.message = "CQ K1ABC FN42";
             b.cwId = "K1ABC FN42";
             b.wpm = "20";
         },
     .kind = {}},
    {.name = "pi4_message_too_long",
     .prepare =
         [](Beacon& b) {
             pi4(b);
             b.message = "OZ7IGY/B1";
         },
     .kind = FindingKind::MessageRefused,
     .message = "PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'; 'OZ7IGY/B1' has 9",
     .subject = "Message"},
    {.name = "cw_text_morse_cannot_send",
     .prepare =
         [](Beacon& b) {
             pi4(b);
             b.cwId = "OZ7IGY #1";
         },
     .kind = FindingKind::MessageRefused,
     .message = "Morse has no code for '#'",
     .subject = "CW identification"},
    {.name = "cw_identification_without_a_message",
     .prepare = [](Beacon& b) { b.cwId = "K1ABC"; },
     .kind = FindingKind::EmptyMessage,
     .message = "no message: the minute sends nothing"},
    {.name = "timer_without_a_message",
     .prepare = [](Beacon& b) { b.timerHz = "1000000"; },
     .kind = FindingKind::EmptyMessage,
     .message = "no message"},
    {.name = "jt4_free_text_cut_is_a_warning",
     .prepare =
         [](Beacon& b) {
             b.text(Input::Reference) = "300";
             b.message = "hi!  there friend";
         },
     .kind = FindingKind::MessageCut,
     .message = "goes out as free text, 'HI  THERE FRI'; sent as spaces: '!'; not sent: 'END'",
     .severity = Severity::Warning},
    {.name = "jt4_free_text_of_13_is_a_note",
     .prepare =
         [](Beacon& b) {
             b.text(Input::Reference) = "300";
             b.message = "HELLO THERE 1";
         },
     .kind = FindingKind::FreeTextMessage,
     .message = "goes out as free text, 'HELLO THERE 1'",
     .severity = Severity::Note},
    // Words after a standard message's third went unsaid.
    {.name = "jt4_standard_message_cut_said_nothing",
     .prepare =
         [](Beacon& b) {
             b.text(Input::Reference) = "300";
             b.message = "CQ K1ABC FN42 QRV";
         },
     .kind = FindingKind::MessageCut,
     .message = "goes out as 'CQ K1ABC FN42'; not sent: ' QRV'",
     .severity = Severity::Warning},
    // A call that begins with Q went out with no word that receivers print 3X.
    {.name = "call_beginning_with_q_is_received_as_3x",
     .prepare = [](Beacon& b) { jt4(b), b.message = "CQ QA1ABC FN42"; },
     .kind = FindingKind::ReceivedOtherwise,
     .message = "goes out as 'CQ QA1ABC FN42' and is received as 'CQ 3XA1ABC FN42'",
     .severity = Severity::Note},
    {.name = "qrz_is_received_as_sent", .prepare = [](Beacon& b) { jt4(b), b.message = "QRZ K1ABC FN42"; }, .kind = {}},
    {.name = "jt4_standard_message_is_no_free_text",
     .prepare =
         [](Beacon& b) {
             b.text(Input::Reference) = "300";
             b.message = "CQ K1ABC FN42";
             b.cw = false;
         },
     .kind = {}},
    {.name = "slowest_speed", .prepare = [](Beacon& b) { pi4(b), b.wpm = "5"; }, .kind = {}},
    {.name = "below_the_slowest_speed",
     .prepare = [](Beacon& b) { pi4(b), b.wpm = "4"; },
     .kind = FindingKind::MessageRefused,
     .message = "takes a whole number of words a minute from 5 to 60; '4' is not one",
     .subject = "CW speed"},
    {.name = "fastest_speed", .prepare = [](Beacon& b) { pi4(b), b.wpm = "60"; }, .kind = {}},
    {.name = "beyond_the_fastest_speed",
     .prepare = [](Beacon& b) { pi4(b), b.wpm = "61"; },
     .kind = FindingKind::MessageRefused,
     .message = "'61' is not one",
     .subject = "CW speed"},
    {.name = "fraction_of_a_word",
     .prepare = [](Beacon& b) { pi4(b), b.wpm = "12.5"; },
     .kind = FindingKind::MessageRefused,
     .message = "'12.5' is not one",
     .subject = "CW speed"},
    {.name = "fastest_timer", .prepare = [](Beacon& b) { pi4(b), b.timerHz = "50000000"; }, .kind = {}},
    // A timer that could not time the symbols passed silently.
    {.name = "timer_slip_of_16_hz",
     .prepare = [](Beacon& b) { jt4(b), b.timerHz = "16"; },
     .kind = FindingKind::TimerDrift,
     .message = "a timer of 16 Hz times each symbol as 4 counts, 9.375 % long, so the last of the message's 206 "
                "symbols ends 4414.3 ms (19.31 symbol) late; past 0.7 symbol jt9 loses decodes at -22 dB",
     .severity = Severity::Warning,
     .subject = "Timer",
     .fix = "a timer of 1288 Hz or faster"},
    {.name = "timer_of_1_hz_counts_nothing",
     .prepare = [](Beacon& b) { jt4(b), b.timerHz = "1"; },
     .kind = FindingKind::TimerDrift,
     .message = "a timer of 1 Hz cannot count the 228.571 ms symbol: it rounds to 0 counts",
     .severity = Severity::Error,
     .subject = "Timer"},
    {.name = "timer_that_cannot_count_the_cw_dot",
     .prepare = [](Beacon& b) { jt4(b), b.cwId = "K1ABC", b.wpm = "60", b.timerHz = "20"; },
     .kind = FindingKind::TimerDrift,
     .message = "cannot count the CW dot of 20 ms",
     .severity = Severity::Error,
     .subject = "Timer"},
    {.name = "timer_of_1_khz_ends_0_39_symbol_late",
     .prepare = [](Beacon& b) { jt4(b), b.timerHz = "1000"; },
     .kind = FindingKind::TimerDrift,
     .message = "ends 88.3 ms (0.39 symbol) late",
     .severity = Severity::Note,
     .subject = "Timer"},
    {.name = "timer_of_the_fix_is_clean", .prepare = [](Beacon& b) { jt4(b), b.timerHz = "1288"; }, .kind = {}},
    {.name = "pi4_timer_judged_by_the_same_share",
     .prepare = [](Beacon& b) { pi4(b), b.text(Input::KeyDownTone) = "1270", b.timerHz = "700"; },
     .kind = FindingKind::TimerDrift,
     .message = "the last of the message's 146 symbols ends",
     .severity = Severity::Note,
     .subject = "Timer"},
    {.name = "pi4_timer_of_1_khz_is_clean",
     .prepare = [](Beacon& b) { pi4(b), b.text(Input::KeyDownTone) = "1270", b.timerHz = "1000"; },
     .kind = {}},
    {.name = "resonator_on_a_pic_moves_the_end_235_ms",
     .prepare = [](Beacon& b) { jt4(b), b.mcu = "PIC16F628A"; },
     .kind = FindingKind::ClockTolerance,
     .message = "the PIC16F628A's 4000000 Hz from a ceramic resonator (0.5 %, as on many Arduino boards) would move "
                "the message's end 235 ms (1.03 symbol), past the 0.7 symbol where jt9 loses decodes",
     .severity = Severity::Note,
     .subject = "Transmission",
     .fix = "a crystal"},
    {.name = "pi4_resonator_on_an_avr_by_its_clock",
     .prepare = [](Beacon& b) { pi4(b), b.text(Input::KeyDownTone) = "1270", b.mcuClockHz = "8000000"; },
     .kind = FindingKind::ClockTolerance,
     .message = "the ATmega328P's 8000000 Hz from a ceramic resonator",
     .severity = Severity::Note,
     .subject = "Transmission"},
    {.name = "timer_too_fast_to_count_a_minute",
     .prepare = [](Beacon& b) { pi4(b), b.timerHz = "50000001"; },
     .kind = FindingKind::MessageRefused,
     .message = "takes the timer's frequency in Hz, from 1 to 50000000; '50000001' is not one",
     .subject = "Timer"},
    {.name = "timer_with_a_unit",
     .prepare = [](Beacon& b) { pi4(b), b.timerHz = "1 MHz"; },
     .kind = FindingKind::MessageRefused,
     .message = "'1 MHz' is not one",
     .subject = "Timer"},
};

class MinuteChecks : public testing::TestWithParam<MinuteCheckCase> {};

TEST_P(MinuteChecks, FindWhatTheMinuteCannotDo) {
    const MinuteCheckCase& c = GetParam();
    Beacon beacon;
    c.prepare(beacon);
    const auto findings = checkPlan(calculate(beacon));
    // Every finding about the minute has the subject it names, or its field.
    const auto about = [](const Finding& f) {
        return findingSubject(f) == "Transmission" || f.sentField || f.kind == FindingKind::Pi4CwOffCarrier;
    };
    for (const Finding& f : findings) EXPECT_EQ(isAboutTheMinute(f), about(f)) << findingLine(f);
    const auto it = std::find_if(findings.begin(), findings.end(), about);
    if (!c.kind) {
        EXPECT_EQ(it, findings.end()) << findingLine(*it);
        return;
    }
    ASSERT_NE(it, findings.end());
    EXPECT_EQ(it->kind, *c.kind);
    EXPECT_EQ(findingSubject(*it), it->field ? "FSK CW (key down) Tone" : c.subject);
    EXPECT_NE(it->message.find(c.message), std::string::npos) << it->message;
    EXPECT_NE(it->fix.find(c.fix), std::string::npos) << it->fix;
    EXPECT_EQ(it->fixes, c.fixes);
    if (c.severity) {
        EXPECT_EQ(it->severity, *c.severity);
    }
    EXPECT_EQ(std::count_if(findings.begin(), findings.end(), about), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, MinuteChecks, testing::ValuesIn(kMinuteChecks), testing_support::CaseName{});

// The DDS's maximum clock, from its chip or typed: a reference above it is
// an error, exactly at it none; each fix, applied, leaves no error or warning.
struct ClockCase {
    const char* name;
    std::vector<std::pair<Input, std::string>> fields = {};
    int submode = 3;
    std::string chip = {};
    std::string maxClock = {};
    bool above = false;
    std::vector<FixEdits> fixes = {};
    int config = 0;  // 1: Reverse DDS, where the rows' frequencies clock the DDS
};

const ClockCase kClocks[] = {
    {.name = "at_the_chips_clock",
     .fields = {{F::Multiplication, "48"}, {F::Reference, "180"}},
     .chip = "AD9851",
     .above = false},
    {.name = "a_kilohertz_above_the_chips_clock",
     .fields = {{F::Multiplication, "48"}, {F::Reference, "180.001"}},
     .chip = "AD9851",
     .above = true,
     .fixes = {{{F::Reference, "180"}}}},
    {.name = "typed_clock_over_the_chips",
     .fields = {{F::Multiplication, "48"}, {F::Reference, "190"}},
     .chip = "AD9851",
     .maxClock = "200",
     .above = false},
    {.name = "no_dds_no_bound", .fields = {{F::Multiplication, "4"}, {F::Reference, "2000"}}, .above = false},
    {.name = "initial_values_on_an_ad9851_want_a_chain_and_its_clock",
     .chip = "AD9851",
     .above = true,
     .fixes = {{{F::Multiplication, "48"}, {F::Reference, "180"}}}},
    {.name = "the_3cm_beacon_under_a_400_mhz_clock",
     .fields = {{F::OutputFrequency, "10368.9"}, {F::Multiplication, "96"}, {F::Reference, "502"}},
     .submode = kG,
     .maxClock = "400",
     .above = true,
     .fixes = {{{F::Reference, "392"}}}},
    // Reverse DDS passed a 432 MHz clock on a 125 MHz chip.
    {.name = "reverse_clocked_above_the_chip",
     .fields = {{F::OutputFrequency, "432.491"}, {F::Multiplication, "3"}, {F::Reference, "10"}},
     .submode = 7,
     .chip = "AD9850",
     .above = true,
     .fixes = {{{F::Multiplication, "4"}}},
     .config = 1},
    {.name = "reverse_clocked_under_the_chip",
     .fields = {{F::OutputFrequency, "432.491"}, {F::Multiplication, "4"}, {F::Reference, "10"}},
     .submode = 7,
     .chip = "AD9850",
     .above = false,
     .config = 1},
    {.name = "reverse_with_no_multiplication_that_fits",
     .fields = {{F::OutputFrequency, "432.491"}, {F::Multiplication, "1"}, {F::Reference, "10"}},
     .submode = 7,
     .chip = "AD9832",
     .above = true,
     .config = 1},
};

class MaxClock : public testing::TestWithParam<ClockCase> {};

TEST_P(MaxClock, AboveIsAnErrorWithAFixUnderIt) {
    const ClockCase& c = GetParam();
    Beacon beacon;
    for (const auto& [field, text] : c.fields) beacon.text(field) = text;
    beacon.mode = Pick::item(c.submode);
    beacon.dds = c.chip;
    beacon.maxClockMHz = c.maxClock;
    beacon.config = Pick::item(c.config);
    const auto findings = checkPlan(calculate(beacon));
    const Finding* it = ofKind(findings, c.config == 1 ? K::DdsClockAboveMax : K::ReferenceAboveMaxClock);
    ASSERT_EQ(it != nullptr, c.above);
    // In Reverse the DDS generates the reference, which is then no clock to compare.
    if (c.config == 1) {
        EXPECT_EQ(ofKind(findings, K::ReferenceAboveMaxClock), nullptr);
    }
    if (!it) return;
    EXPECT_EQ(it->severity, S::Error);
    EXPECT_EQ(it->fixes, c.fixes) << findingLine(*it);
    for (const FixEdits& edits : it->fixes) {
        Beacon fixed = beacon;
        for (const FieldEdit& edit : edits) fixed.text(edit.input) = edit.text;
        const auto after = checkPlan(calculate(fixed));
        EXPECT_FALSE(anyOf(after, S::Error) || anyOf(after, S::Warning)) << fixCaption(edits);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MaxClock, testing::ValuesIn(kClocks), testing_support::CaseName{});

// A limit fix never offers a reference the DDS cannot take.
TEST(MaxClock, TheLimitsFixKeepsUnderIt) {
    Beacon beacon;
    beacon.dds = "AD9851";
    const auto findings = checkPlan(calculate(beacon));
    const Finding* limit = ofKind(findings, K::LimitExceeded);
    ASSERT_NE(limit, nullptr);
    for (const FixEdits& edits : limit->fixes)
        for (const FieldEdit& edit : edits)
            EXPECT_TRUE(edit.input != F::Reference || std::stod(edit.text) <= 180.0) << fixCaption(edits);
    EXPECT_EQ(limit->fix.find("Master Reference of at least"), std::string::npos) << limit->fix;
}

}  // namespace
}  // namespace jt4dds
