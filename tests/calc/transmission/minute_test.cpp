// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/transmission/minute.h"

#include <gtest/gtest.h>

#include "tests/case_name.h"

namespace jt4dds {
namespace {

int dotsOf(const std::vector<CwElement>& elements) {
    int dots = 0;
    for (const CwElement& e : elements) dots += e.dots;
    return dots;
}

// Morse timing: "PARIS" is the standard word of 50 dots with its word gap.
struct MorseCase {
    const char* name;
    std::string text;
    std::vector<CwElement> elements;
};
const MorseCase kMorse[] = {
    {.name = "one_dot", .text = "E", .elements = {{true, 1}}},
    {.name = "dot_and_dash_one_dot_apart", .text = "A", .elements = {{true, 1}, {false, 1}, {true, 3}}},
    {.name = "letters_three_dots_apart", .text = "ET", .elements = {{true, 1}, {false, 3}, {true, 3}}},
    {.name = "words_seven_dots_apart", .text = "E T", .elements = {{true, 1}, {false, 7}, {true, 3}}},
    {.name = "blanks_around_and_runs_of_them_are_one_gap",
     .text = "  e \t\n t ",
     .elements = {{true, 1}, {false, 7}, {true, 3}}},
    {.name = "slash",
     .text = "/",
     .elements =
         {{true, 3}, {false, 1}, {true, 1}, {false, 1}, {true, 1}, {false, 1}, {true, 3}, {false, 1}, {true, 1}}},
    // Both ends of the lower-case letters: a lower-case 'a' once went unsent.
    {.name = "lower_case_a_and_z_are_their_capitals",
     .text = "az",
     .elements = {{true, 1},
                  {false, 1},
                  {true, 3},
                  {false, 3},
                  {true, 3},
                  {false, 1},
                  {true, 3},
                  {false, 1},
                  {true, 1},
                  {false, 1},
                  {true, 1}}},
    {.name = "nothing_sendable", .text = "#", .elements = {}},
    {.name = "unsendable_characters_left_out", .text = "E#T", .elements = {{true, 1}, {false, 3}, {true, 3}}},
};
class Morse : public testing::TestWithParam<MorseCase> {};
TEST_P(Morse, Elements) { EXPECT_EQ(morseElements(GetParam().text), GetParam().elements); }
INSTANTIATE_TEST_SUITE_P(Table, Morse, testing::ValuesIn(kMorse), testing_support::CaseName{});

TEST(Morse, ParisIsFiftyDotsWithItsWordGap) {
    EXPECT_EQ(dotsOf(morseElements("PARIS")), 43);
    EXPECT_EQ(dotsOf(morseElements("PARIS PARIS")), 50 + 43);
}

TEST(Morse, NamesWhatItCannotSendOnce) {
    EXPECT_EQ(unsendableInMorse("OZ7IGY JO55"), "");
    EXPECT_EQ(unsendableInMorse("oz7igy/b"), "");
    EXPECT_EQ(unsendableInMorse("OZ#7@IGY#"), "#@");
}

// The standard PI4 minute, and JT4's of the same shape.
TEST(Minute, StandardPi4Minute) {
    const Minute m = planMinute(true, Sequence{.cwText = "PARIS"});
    ASSERT_EQ(m.segments.size(), 3u);
    EXPECT_EQ(m.symbolCount, 146);
    EXPECT_DOUBLE_EQ(m.symbolS, 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(m.segments[0].startS, 0.0);
    EXPECT_NEAR(m.segments[0].lengthS, 24.333, 0.0005);
    EXPECT_EQ(m.segments[0].keyed, Keyed::Symbols);
    EXPECT_DOUBLE_EQ(m.dotS, 0.1);  // 12 WPM
    EXPECT_DOUBLE_EQ(m.segments[1].startS, 25.0);
    EXPECT_NEAR(m.segments[1].lengthS, 4.3, 1e-12);
    EXPECT_EQ(m.segments[1].keyed, Keyed::CwKeying);
    EXPECT_NEAR(m.segments[2].startS, 29.8, 1e-12);
    EXPECT_DOUBLE_EQ(m.segments[2].endS(), 59.5);
    EXPECT_EQ(m.segments[2].keyed, Keyed::Reference);
    EXPECT_TRUE(m.fits);
}

TEST(Minute, Jt4StartsAtOneSecondAndIdentifiesAfterIt) {
    const Minute m = planMinute(false, Sequence{.cwText = "K1ABC", .wpm = 20});
    ASSERT_EQ(m.segments.size(), 3u);
    EXPECT_EQ(m.symbolCount, 206);
    EXPECT_DOUBLE_EQ(m.segments[0].startS, 1.0);
    EXPECT_NEAR(m.segments[0].endS(), 48.086, 0.0005);
    EXPECT_DOUBLE_EQ(m.segments[1].startS, 49.0);
    EXPECT_DOUBLE_EQ(m.dotS, 0.06);
    EXPECT_DOUBLE_EQ(m.segments[2].endS(), 59.5);
}

struct SequenceCase {
    const char* name;
    bool pi4;
    Sequence sequence;
    std::vector<Keyed> parts;
    bool fits;
};
const SequenceCase kSequences[] = {
    {.name = "no_cw_text_no_cw",
     .pi4 = true,
     .sequence = {},
     .parts = {Keyed::Symbols, Keyed::Reference},
     .fits = true},
    {.name = "cw_switched_off",
     .pi4 = true,
     .sequence = {.cwText = "OZ7IGY", .cw = false},
     .parts = {Keyed::Symbols, Keyed::Reference},
     .fits = true},
    {.name = "carrier_switched_off",
     .pi4 = true,
     .sequence = {.cwText = "OZ7IGY", .carrier = false},
     .parts = {Keyed::Symbols, Keyed::CwKeying},
     .fits = true},
    {.name = "message_alone",
     .pi4 = false,
     .sequence = {.cw = false, .carrier = false},
     .parts = {Keyed::Symbols},
     .fits = true},
    {.name = "jt4_identification_too_long_for_the_minute",
     .pi4 = false,
     .sequence = {.cwText = "OZ7IGY JO55WM"},
     .parts = {Keyed::Symbols, Keyed::CwKeying},
     .fits = false},
    {.name = "slowest_speed_is_kept_in_range",
     .pi4 = true,
     .sequence = {.cwText = "E", .wpm = 1},
     .parts = {Keyed::Symbols, Keyed::CwKeying, Keyed::Reference},
     .fits = true},
};
class Sequences : public testing::TestWithParam<SequenceCase> {};
TEST_P(Sequences, PartsAndFit) {
    const SequenceCase& c = GetParam();
    const Minute m = planMinute(c.pi4, c.sequence);
    std::vector<Keyed> parts;
    for (const Segment& s : m.segments) parts.push_back(s.keyed);
    EXPECT_EQ(parts, c.parts);
    EXPECT_EQ(m.fits, c.fits) << m.endS;
    for (std::size_t i = 1; i < m.segments.size(); ++i) EXPECT_GE(m.segments[i].startS, m.segments[i - 1].endS());
}
INSTANTIATE_TEST_SUITE_P(Table, Sequences, testing::ValuesIn(kSequences), testing_support::CaseName{});

struct TimerCase {
    const char* name;
    double seconds;
    double timerHz;
    std::optional<std::uint64_t> counts;
    double errorPpm;
};
const TimerCase kTimers[] = {
    {.name = "jt4_symbol_at_1_mhz", .seconds = 2520.0 / 11025.0, .timerHz = 1e6, .counts = 228571, .errorPpm = -1.875},
    {.name = "pi4_symbol_at_32768_hz",
     .seconds = 1.0 / 6.0,
     .timerHz = 32768.0,
     .counts = 5461,
     .errorPpm = -61.03515625},
    {.name = "rounds_up_past_the_half", .seconds = 1.0, .timerHz = 2.6, .counts = 3, .errorPpm = 153846.15384615},
    {.name = "half_a_count_is_one", .seconds = 0.5, .timerHz = 1.0, .counts = 1, .errorPpm = 1e6},
    {.name = "under_half_a_count_has_none", .seconds = 0.49, .timerHz = 1.0, .counts = std::nullopt, .errorPpm = 0},
    {.name = "no_timer", .seconds = 1.0, .timerHz = 0.0, .counts = std::nullopt, .errorPpm = 0},
    {.name = "beyond_the_counts", .seconds = 60.0, .timerHz = 1e18, .counts = std::nullopt, .errorPpm = 0},
};
class TimerCounts : public testing::TestWithParam<TimerCase> {};
TEST_P(TimerCounts, RoundToTheNearestCount) {
    const TimerCase& c = GetParam();
    const auto t = timerCount(c.seconds, c.timerHz);
    ASSERT_EQ(t.has_value(), c.counts.has_value());
    if (!t) return;
    EXPECT_EQ(t->counts, *c.counts);
    EXPECT_NEAR(t->errorPpm, c.errorPpm, 1e-6);
}
INSTANTIATE_TEST_SUITE_P(Table, TimerCounts, testing::ValuesIn(kTimers), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
