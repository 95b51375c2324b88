// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/settings_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/selector_items.h"
#include "tests/case_name.h"

namespace jt4dds {
namespace {

std::vector<CandidateValue> list(std::string_view text) {
    auto parsed = parseCandidateList(text);
    if (auto* why = std::get_if<std::string>(&parsed)) ADD_FAILURE() << text << ": " << *why;
    return std::get_if<std::vector<CandidateValue>>(&parsed) ? std::get<0>(parsed) : std::vector<CandidateValue>{};
}

struct ListCase {
    const char* name;
    std::string text;
    std::string expected;  // the values' texts joined by ' ', or the start of the error
    bool valid;
};

const ListCase kLists[] = {
    {.name = "single", .text = "24", .expected = "24", .valid = true},
    {.name = "values_sorted_and_once", .text = "96, 24,48,24.0", .expected = "24 48 96", .valid = true},
    {.name = "range_by_one", .text = "1-5", .expected = "1 2 3 4 5", .valid = true},
    {.name = "range_with_step_includes_both_ends", .text = "10-11/0.5", .expected = "10 10.5 11", .valid = true},
    {.name = "step_that_misses_the_end", .text = "10-11/0.3", .expected = "10 10.3 10.6 10.9", .valid = true},
    {.name = "mixed", .text = "100,125, 250-300/25", .expected = "100 125 250 275 300", .valid = true},
    {.name = "blanks_anywhere", .text = " 2 4 , 3 6 ", .expected = "24 36", .valid = true},
    {.name = "six_decimals", .text = "0.000001", .expected = "0.000001", .valid = true},
    {.name = "seven_decimals", .text = "0.0000001", .expected = "'0.0000001' is not a plain decimal", .valid = false},
    {.name = "twelve_digits", .text = "999999999999", .expected = "999999999999", .valid = true},
    {.name = "thirteen_digits",
     .text = "1000000000000",
     .expected = "'1000000000000' is not a plain decimal",
     .valid = false},
    // A range end of 15 digits overflowed when scaled to the other end's decimals.
    {.name = "long_range_end_with_decimals_overflowed",
     .text = "0.000001-200001204306934",
     .expected = "'0.000001-200001204306934' is not a range",
     .valid = false},
    // A range end of 7 digits with a step read at 6 decimals made values of 13
    // digits, which do not read back as themselves.
    {.name = "range_values_of_thirteen_digits",
     .text = "0.000001-1920001/4",
     .expected = "'0.000001-1920001/4': at 6 decimals its values would have more than 12 digits",
     .valid = false},
    {.name = "range_values_of_twelve_digits",
     .text = "0.000001-999999/250000",
     .expected = "0.000001 250000.000001 500000.000001 750000.000001",
     .valid = true},
    {.name = "range_end_one_past_twelve_digits",
     .text = "0.000001-1000000/250000",
     .expected = "'0.000001-1000000/250000': at 6 decimals",
     .valid = false},
    {.name = "empty", .text = "", .expected = "the list is empty", .valid = false},
    {.name = "empty_item", .text = "24,,48", .expected = "an empty item between commas", .valid = false},
    {.name = "trailing_comma", .text = "24,", .expected = "an empty item between commas", .valid = false},
    {.name = "zero", .text = "0", .expected = "'0': values must be above 0", .valid = false},
    {.name = "negative", .text = "-5", .expected = "'-5' is not a plain decimal", .valid = false},
    {.name = "backwards_range",
     .text = "48-24",
     .expected = "'48-24': a range runs from the smaller value to the larger",
     .valid = false},
    {.name = "zero_step", .text = "1-5/0", .expected = "'1-5/0': the step must be above 0", .valid = false},
    {.name = "step_without_range", .text = "5/1", .expected = "'5/1': a step belongs to a range", .valid = false},
    {.name = "letters", .text = "24x", .expected = "'24x' is not a plain decimal", .valid = false},
    {.name = "exponent", .text = "1e3", .expected = "'1e3' is not a plain decimal", .valid = false},
    {.name = "a_million_values", .text = "1-1000000", .expected = "", .valid = true},
    {.name = "one_more_than_a_million", .text = "1-1000001", .expected = "more than 1000000 values", .valid = false},
};

class CandidateLists : public testing::TestWithParam<ListCase> {};

TEST_P(CandidateLists, ReadOrSayWhatIsWrong) {
    const ListCase& c = GetParam();
    const auto parsed = parseCandidateList(c.text);
    ASSERT_EQ(std::holds_alternative<std::vector<CandidateValue>>(parsed), c.valid);
    if (!c.valid) {
        EXPECT_TRUE(std::get<std::string>(parsed).starts_with(c.expected)) << std::get<std::string>(parsed);
        return;
    }
    const auto& values = std::get<0>(parsed);
    if (c.expected.empty()) {
        EXPECT_EQ(values.size(), kMaxCandidateValues);
        return;
    }
    std::string joined;
    for (const auto& v : values) joined += (joined.empty() ? "" : " ") + v.text;
    EXPECT_EQ(joined, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CandidateLists, testing::ValuesIn(kLists), testing_support::CaseName{});

// Whether a press of `beacon` with that multiplication and reference has no
// error and no warning finding: what the search promises of every pair it keeps.
bool pressIsClean(Beacon beacon, const std::string& mult, const std::string& fref, const PlanCheckOptions& check = {}) {
    beacon.text(Input::Multiplication) = mult;
    beacon.text(Input::Reference) = fref;
    const auto findings = checkPlan(calculate(beacon), check);
    return !anyOf(findings, Severity::Error) && !anyOf(findings, Severity::Warning);
}

// The SSB carrier the window shows for a press with that pair, in MHz.
double pressedSsbCarrierMHz(Beacon beacon, const std::string& mult, const std::string& fref) {
    beacon.text(Input::Multiplication) = mult;
    beacon.text(Input::Reference) = fref;
    return calculate(beacon).figures.ssbCarrierMHz.value_or(-1.0);
}

// Keeps every clean pair exactly: each returned one presses clean, and each
// pair it left out presses with an error or warning.
void expectSearchAgreesWithPresses(const Beacon& beacon, std::string_view mults, std::string_view refs,
                                   const PlanCheckOptions& check = {}) {
    const auto m = list(mults);
    const auto r = list(refs);
    const SearchResult result = findSettings(beacon, m, r, SearchOptions{m.size() * r.size(), check});
    ASSERT_EQ(result.judged, m.size() * r.size());
    std::set<std::pair<std::string, std::string>> kept;
    for (const Candidate& c : result.best) {
        kept.emplace(c.mult.text, c.frefMHz.text);
        // The carrier a kept candidate shows is the one its press shows.
        EXPECT_NEAR(c.ssbCarrierHz / 1e6, pressedSsbCarrierMHz(beacon, c.mult.text, c.frefMHz.text), 1e-9)
            << "x" << c.mult.text << " " << c.frefMHz.text << " MHz";
    }
    EXPECT_EQ(result.rejected + result.best.size(), result.judged);
    // Each rejected pair counted once, by the first error or warning its own
    // press reports.
    std::map<FindingKind, std::size_t> firstFailures;
    for (const auto& mult : m) {
        for (const auto& ref : r) {
            EXPECT_EQ(pressIsClean(beacon, mult.text, ref.text, check), kept.count({mult.text, ref.text}) == 1)
                << "x" << mult.text << " " << ref.text << " MHz";
            if (kept.count({mult.text, ref.text}) == 1) continue;
            Beacon pressed = beacon;
            pressed.text(Input::Multiplication) = mult.text;
            pressed.text(Input::Reference) = ref.text;
            for (const Finding& f : checkPlan(calculate(pressed), check)) {
                if (f.severity == Severity::Note) continue;
                ++firstFailures[f.kind];
                break;
            }
        }
    }
    EXPECT_EQ(result.rejectedBy, firstFailures);
}

struct BeaconCase {
    const char* name;
    std::vector<std::pair<Input, std::string>> fields;
    int submode;
    int config;
    bool ref800;
};

const BeaconCase kBeacons[] = {
    {.name = "jt4d_13cm_direct", .fields = {}, .submode = 3, .config = 0, .ref800 = false},
    {.name = "jt4a_3cm_direct",
     .fields = {{Input::OutputFrequency, "10368.9"}},
     .submode = 0,
     .config = 0,
     .ref800 = false},
    {.name = "jt4g_3cm_reverse_800",
     .fields = {{Input::OutputFrequency, "9600"}},
     .submode = 6,
     .config = 1,
     .ref800 = true},
    {.name = "pi4_2m_reverse",
     .fields = {{Input::OutputFrequency, "144.4"}},
     .submode = 7,
     .config = 1,
     .ref800 = false},
    {.name = "pi4_6m_direct", .fields = {{Input::OutputFrequency, "50.4"}}, .submode = 7, .config = 0, .ref800 = false},
    {.name = "jt4b_23cm_direct_odd_tones",
     .fields = {{Input::OutputFrequency, "1296.9"}, {Input::AuxTone, "2500"}},
     .submode = 1,
     .config = 0,
     .ref800 = false},
};

Beacon beaconOf(const BeaconCase& c) {
    Beacon form;
    for (const auto& [field, text] : c.fields) form.text(field) = text;
    form.pick(Selector::JTMode) = Pick::item(c.submode);
    form.pick(Selector::Config) = Pick::item(c.config);
    form.ref800 = c.ref800;
    return form;
}

class SearchBeacons : public testing::TestWithParam<BeaconCase> {};

TEST_P(SearchBeacons, KeepsExactlyTheCleanPairs) {
    expectSearchAgreesWithPresses(beaconOf(GetParam()), "1,2,3,4,6,8,12,24,96", "1-30/3.5,100,125,250,300,400,1000");
}

INSTANTIATE_TEST_SUITE_P(Table, SearchBeacons, testing::ValuesIn(kBeacons), testing_support::CaseName{});

TEST(SearchProperty, RandomBeaconsKeepExactlyTheCleanPairs) {
    std::mt19937 random(20261207);
    const auto pick = [&](double lo, double hi, int decimals) {
        const double v = std::uniform_real_distribution<double>(lo, hi)(random);
        const double scale = std::pow(10.0, decimals);
        return std::to_string(std::round(v * scale) / scale);
    };
    for (int i = 0; i < 25; ++i) {
        Beacon beacon;
        beacon.text(Input::OutputFrequency) = pick(1.8, 24200.0, 4);
        const int submode = std::uniform_int_distribution<int>(0, 7)(random);
        beacon.pick(Selector::JTMode) = Pick::item(submode);
        beacon.pick(Selector::Config) = Pick::item(std::uniform_int_distribution<int>(0, 1)(random));
        // PI4's reference tone within the PI4 decoders' search, which no pair can mend.
        beacon.text(Input::ReferenceTone) = submode == 7 ? pick(1125, 1415, 0) : pick(500, 2000, 0);
        beacon.text(Input::AuxTone) = pick(300, 3000, 1);
        SCOPED_TRACE(beacon.text(Input::OutputFrequency) + " MHz submode " + pickText(Selector::JTMode, beacon.mode) +
                     " " + pickText(Selector::Config, beacon.config));
        expectSearchAgreesWithPresses(beacon, "1-9,12,16,18,24,32,48,96", "5-45/8,50-1000/95");
    }
}

TEST(Search, KeepsThreeHundredAndDropsTwoHundredFifty) {
    const SearchResult result = findSettings(Beacon(), list("24"), list("250,300"));
    ASSERT_EQ(result.best.size(), 1u);
    EXPECT_EQ(result.best[0].frefMHz.text, "300");
    EXPECT_EQ(result.rejected, 1u);
}

// Beacons from 6 m to 1.25 cm searched over every whole multiplication to
// x1152: whenever a chain of doublers and triplers makes a clean beacon, the
// first candidate is one. Within the first, the order is how well it decodes,
// then the margin to the limit, then the chain.
struct RankCase {
    const char* name;
    std::string fout;
    int submode;
    std::string refs;
};

const RankCase kRanks[] = {
    {.name = "jt4a_6m", .fout = "50.4", .submode = 0, .refs = "10-500/7"},
    {.name = "pi4_2m", .fout = "144.4", .submode = 7, .refs = "10-500/7"},
    {.name = "jt4b_23cm", .fout = "1296.9", .submode = 1, .refs = "10-500/7"},
    {.name = "jt4d_13cm", .fout = "2320.1", .submode = 3, .refs = "10-500/7"},
    {.name = "jt4e_6cm", .fout = "5760.1", .submode = 4, .refs = "10-500/7"},
    {.name = "jt4g_3cm", .fout = "10368.9", .submode = 6, .refs = "10-500/7"},
    {.name = "jt4f_1cm25_ad9851", .fout = "24048.1", .submode = 5, .refs = "100-180/0.5"},
    {.name = "jt4c_70cm_low_clock", .fout = "432.4", .submode = 2, .refs = "10-50/0.5"},
};

class SearchRanks : public testing::TestWithParam<RankCase> {};

TEST_P(SearchRanks, FirstIsABuildableChainWheneverOneWorks) {
    Beacon beacon;
    beacon.text(Input::OutputFrequency) = GetParam().fout;
    beacon.mode = Pick::item(GetParam().submode);
    const auto m = list("1-1152");
    const auto r = list(GetParam().refs);
    const SearchResult all = findSettings(beacon, m, r, SearchOptions{m.size() * r.size(), {}});
    ASSERT_FALSE(all.best.empty()) << all.reason;
    const auto twosAndThrees = [](const Candidate& c) {
        const auto chain = chainOf(c.mult.value);
        return chain && chain->fives == 0;
    };
    const bool anyChain = std::any_of(all.best.begin(), all.best.end(), twosAndThrees);
    EXPECT_EQ(twosAndThrees(all.best.front()), anyChain) << "x" << all.best.front().mult.text;
    const double noteHz = gridTolerance(calculate(beacon).figures.spacingNumber).noteHz;
    for (std::size_t i = 1; i < all.best.size(); ++i) {
        const Candidate& a = all.best[i - 1];
        const Candidate& b = all.best[i];
        const auto grade = [&](const Candidate& c) {
            return std::tuple(c.verdict.gridRmsHz > noteHz, c.verdict.ddsShare > kComfortableShare,
                              chainRank(c.mult.value));
        };
        ASSERT_LE(grade(a), grade(b)) << "x" << a.mult.text << "@" << a.frefMHz.text << " before x" << b.mult.text
                                      << "@" << b.frefMHz.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SearchRanks, testing::ValuesIn(kRanks), testing_support::CaseName{});

// The 24 GHz beacon on a 180 MHz clock: the default multiplications reach
// x384 (2⁷·3), which comes nearest; the answer names it and how to mend it.
TEST(Search, TheDefaultChainsReachTheTwentyFourGigahertzBeacon) {
    Beacon beacon;
    beacon.text(Input::OutputFrequency) = "24048.1";
    beacon.mode = Pick::item(5);
    const SearchResult result = findSettings(beacon, list(kDefaultMultiplications), list("180"));
    EXPECT_EQ(result.judged, 42u);
    ASSERT_TRUE(result.nearest.has_value()) << result.reason;
    EXPECT_EQ(result.nearest->mult.text, "384");
    EXPECT_EQ(chainLabel(result.nearest->mult.value), "2⁷·3");
}

// A DDS chip bounds every candidate: references above its clock are counted
// by the rule they fail, the rest are judged as before.
TEST(Search, NoCandidateAboveTheChipsClock) {
    Beacon beacon;
    beacon.dds = "AD9851";
    const SearchResult result = findSettings(beacon, list("24,48,96"), list("100-300/10"));
    ASSERT_FALSE(result.best.empty());
    for (const Candidate& c : result.best) EXPECT_LE(c.frefMHz.value, 180.0) << c.frefMHz.text;
    EXPECT_EQ(result.rejectedBy.at(FindingKind::ReferenceAboveMaxClock), 3u * 12u);  // 190 to 300 MHz
    expectSearchAgreesWithPresses(beacon, "24,48,96", "170-190/5");
}

// Reverse DDS ranked x1, x3 and x2 first, clocking a 125 MHz chip at 144 to
// 432 MHz: the rows' frequencies are its clock there.
TEST(Search, NoReverseCandidateClocksTheChipTooFast) {
    Beacon beacon;
    beacon.text(Input::OutputFrequency) = "432.491";
    beacon.mode = Pick::item(7);
    beacon.config = Pick::item(1);
    beacon.dds = "AD9850";
    const SearchResult result = findSettings(beacon, list("1,2,3,4,6"), list("10"));
    ASSERT_FALSE(result.best.empty());
    for (const Candidate& c : result.best) EXPECT_GE(c.mult.value, 4.0) << c.mult.text;
    EXPECT_EQ(result.rejectedBy.at(FindingKind::DdsClockAboveMax), 3u);
    expectSearchAgreesWithPresses(beacon, "1,2,3,4,6", "10");
}

struct ChainCase {
    const char* name;
    double mult;
    std::string label;
    int rank;
};

const ChainCase kChains[] = {
    {.name = "no_multiplier", .mult = 1, .label = "1", .rank = 0},
    {.name = "doubler", .mult = 2, .label = "2", .rank = 1},
    {.name = "x384_seven_doublers_and_a_tripler", .mult = 384, .label = "2⁷·3", .rank = 8},
    {.name = "x1024_two_digit_power", .mult = 1024, .label = "2¹⁰", .rank = 10},
    {.name = "x1152", .mult = 1152, .label = "2⁷·3²", .rank = 9},
    {.name = "x45_with_a_quintupler", .mult = 45, .label = "3²·5", .rank = 1003},
    {.name = "x418_no_chain", .mult = 418, .label = "", .rank = 1000000},
    {.name = "x7_prime", .mult = 7, .label = "", .rank = 1000000},
    {.name = "fraction", .mult = 10.5, .label = "", .rank = 1000000},
    {.name = "below_one", .mult = 0.5, .label = "", .rank = 1000000},
};

class Chains : public testing::TestWithParam<ChainCase> {};

TEST_P(Chains, LabelAndRank) {
    EXPECT_EQ(chainLabel(GetParam().mult), GetParam().label);
    EXPECT_EQ(chainRank(GetParam().mult), GetParam().rank);
}

INSTANTIATE_TEST_SUITE_P(Table, Chains, testing::ValuesIn(kChains), testing_support::CaseName{});

// The default references stop at the DDS's clock, on a half-megahertz step.
struct DefaultRefsCase {
    const char* name;
    std::string chip;
    std::string maxClock;
    std::string expected;
};

const DefaultRefsCase kDefaultRefs[] = {
    {.name = "no_dds", .chip = "", .maxClock = "", .expected = "10-1000/0.5"},
    {.name = "ad9851", .chip = "AD9851", .maxClock = "", .expected = "10-180/0.5"},
    {.name = "typed_clock_over_the_chips", .chip = "AD9851", .maxClock = "170.7", .expected = "10-170.5/0.5"},
    {.name = "clock_at_1000_keeps_the_list", .chip = "", .maxClock = "1000", .expected = "10-1000/0.5"},
    {.name = "clock_above_1000_keeps_the_list", .chip = "AD9858", .maxClock = "2500", .expected = "10-1000/0.5"},
    {.name = "clock_at_10", .chip = "", .maxClock = "10", .expected = "10-10/0.5"},
    {.name = "clock_below_10", .chip = "", .maxClock = "9.9", .expected = "0.5-9.5/0.5"},
    {.name = "clock_below_half_a_megahertz", .chip = "", .maxClock = "0.2", .expected = "0.000001"},
};

class DefaultRefs : public testing::TestWithParam<DefaultRefsCase> {};

TEST_P(DefaultRefs, UpToTheClock) {
    Beacon beacon;
    beacon.dds = GetParam().chip;
    beacon.maxClockMHz = GetParam().maxClock;
    EXPECT_EQ(defaultReferences(beacon), GetParam().expected);
    EXPECT_TRUE(std::holds_alternative<std::vector<CandidateValue>>(parseCandidateList(defaultReferences(beacon))));
}

INSTANTIATE_TEST_SUITE_P(Table, DefaultRefs, testing::ValuesIn(kDefaultRefs), testing_support::CaseName{});

TEST(Search, NoCandidateNamesTheNearestAndWhyItFails) {
    Beacon jt4a;
    jt4a.text(Input::OutputFrequency) = "10368.9";
    jt4a.pick(Selector::JTMode) = Pick::item(0);
    const SearchResult result = findSettings(jt4a, list("96"), list("100-400"));
    EXPECT_TRUE(result.best.empty());
    ASSERT_TRUE(result.nearest.has_value());
    EXPECT_TRUE(result.reason.starts_with("no candidate makes a clean beacon; the nearest, RF Multiplication 96 with "))
        << result.reason;
    EXPECT_FALSE(pressIsClean(jt4a, result.nearest->mult.text, result.nearest->frefMHz.text));
}

TEST(Search, AFieldReadWronglyIsNamedInsteadOfSearching) {
    Beacon typo;
    typo.text(Input::OutputFrequency) = "2320,1";
    const SearchResult result = findSettings(typo, list("24"), list("300"));
    EXPECT_EQ(result.judged, 0u);
    EXPECT_NE(result.reason.find("Output Frequency: reads 2320 MHz"), std::string::npos) << result.reason;
}

// PI4 at ×2000 with a 1000 MHz reference: tones 0 and 1, and 2 and 3,
// share words. With the spacing tolerance at its widest, the shared words
// are the only thing wrong, and they alone must reject the pair.
TEST(Search, SharedWordsAloneRejectAPair) {
    Beacon pi4;
    pi4.text(Input::OutputFrequency) = "10368.9";
    pi4.pick(Selector::JTMode) = Pick::item(7);
    const PlanCheckOptions widest{1.0};
    EXPECT_FALSE(pressIsClean(pi4, "2000", "1000", widest));
    const SearchResult result = findSettings(pi4, list("2000"), list("1000"), SearchOptions{10, widest});
    EXPECT_TRUE(result.best.empty());
    EXPECT_NE(result.reason.find("share the word"), std::string::npos) << result.reason;
    EXPECT_NE(result.reason.find("so PI4 cannot be decoded"), std::string::npos) << result.reason;
    expectSearchAgreesWithPresses(pi4, "1000-3000/500", "500,1000", widest);
}

struct StoppedCase {
    const char* name;
    Input field;
    std::string text;
    std::string reason;
};

const StoppedCase kStopped[] = {
    {.name = "aux_beyond_the_range",
     .field = Input::AuxTone,
     .text = "1e400",
     .reason = "the beacon cannot be calculated: Aux Tone reads a number beyond the range"},
    {.name = "output_beyond_the_range",
     .field = Input::OutputFrequency,
     .text = "-1e400",
     .reason = "the beacon cannot be calculated: Output Frequency reads a number beyond the range"},
};

class SearchOfAStoppedBeacon : public testing::TestWithParam<StoppedCase> {};

TEST_P(SearchOfAStoppedBeacon, SaysItCannotBeCalculated) {
    Beacon beacon;
    beacon.text(GetParam().field) = GetParam().text;
    const SearchResult result = findSettings(beacon, list("24"), list("300"));
    EXPECT_TRUE(result.best.empty());
    EXPECT_TRUE(result.reason.starts_with(GetParam().reason)) << result.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, SearchOfAStoppedBeacon, testing::ValuesIn(kStopped), testing_support::CaseName{});

// The highest tone exactly at 0 Hz: every pair's DDS frequencies are at or
// below 0 (the share of the limit is 0), so no pair has sound rows and none is
// nearer than another by its spacing: the nearest is the first one judged.
TEST(Search, RowsAtZeroHertzAreNoSoundRows) {
    Beacon beacon;
    beacon.text(Input::OutputFrequency) = "-0.000059521484375";  // minus data tone 3's offset
    const SearchResult result = findSettings(beacon, list("1-8"), list("10-100/10"));
    ASSERT_TRUE(result.best.empty());
    ASSERT_TRUE(result.nearest.has_value());
    EXPECT_EQ(result.nearest->verdict.ddsShare, 0.0);
    EXPECT_EQ(result.nearest->mult.text + " " + result.nearest->frefMHz.text, "1 10");
}

TEST(Search, StopsWhenCancelled) {
    const std::atomic<bool> cancel{true};
    const SearchResult result = findSettings(Beacon(), list("1-10"), list("1-100"), {}, &cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.judged, 0u);
}

}  // namespace
}  // namespace jt4dds
