// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/leading_number.h"

#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <cmath>
#include <string>

namespace jt4dds {
namespace {

struct ReadCase {
    const char* name;
    std::string text;
    double value;
    std::size_t end;
};

const ReadCase kReads[] = {
    {"plain_decimal", "2320.1", 2320.1, 6},
    {"integer", "24", 24.0, 2},
    {"empty", "", 0.0, 0},
    {"lone_point", ".", 0.0, 0},
    {"lone_minus", "-", 0.0, 0},
    {"lone_plus", "+", 0.0, 0},
    {"sign_and_point", "-.", 0.0, 0},
    {"point_five", ".5", 0.5, 2},
    {"minus_point_five", "-.5", -0.5, 3},
    {"plus_sign", "+7", 7.0, 2},
    {"trailing_point", "12.", 12.0, 3},
    {"second_point_stops", "1.2.3", 1.2, 3},
    {"letters_after_number", "144.4MHz", 144.4, 5},
    {"letters_first", "MHz144", 0.0, 0},
    {"spaces_inside", " 2 3 2 0 . 1 ", 2320.1, 12},
    {"tab_and_line_feed_inside", "23\t2\n0", 2320.0, 6},
    {"carriage_return_dropped", "10\r\n", 10.0, 2},
    {"blank_between_sign_and_digits", "- 5", -5.0, 3},
    {"exponent", "1.5e3", 1500.0, 5},
    {"exponent_upper_case_signed", "25E-1", 2.5, 5},
    {"exponent_plus", "2e+2", 200.0, 4},
    {"exponent_with_blanks", "1 e 3", 1000.0, 5},
    {"exponent_letter_alone", "5e", 5.0, 1},
    {"exponent_sign_alone", "5e+", 5.0, 1},
    {"exponent_then_point", "1e2.5", 100.0, 3},
    {"double_sign", "--5", 0.0, 0},
    {"sign_after_digits", "5-3", 5.0, 1},
    {"radix_prefix_is_no_number", "&H10", 0.0, 0},
    {"comma_is_not_a_separator", "2,5", 2.0, 1},
    {"nul_stops",
     std::string("12\0"
                 "34",
                 5),
     12.0, 2},
    {"non_ascii_stops", "7\xC2\xB5", 7.0, 1},
    {"leading_zeros", "000123.4500", 123.45, 11},
    {"minus_zero", "-0", -0.0, 2},
    {"underflow_reads_zero", "1e-400", 0.0, 6},
    {"negative_underflow_reads_minus_zero", "-1e-400", -0.0, 7},
    {"smallest_subnormal", "5e-324", 4.9406564584124654e-324, 6},
    {"largest_double", "1.7976931348623157e308", 1.7976931348623157e308, 22},
    {"zero_with_huge_exponent", "0e99999999999999999999", 0.0, 22},
    // 0.1 + 0.2 style values must be the nearest double, not a sum of parts.
    {"nearest_double_of_long_fraction", "3.14159265358979323846264338327950288", 3.141592653589793, 37},
    // Halfway between 1 and the next double: ties to even gives 1; one more
    // digit far beyond the kept ones tips it up.
    {"halfway_tie_to_even", "1.00000000000000011102230246251565404236316680908203125", 1.0, 55},
    {"beyond_halfway_by_a_distant_digit",
     "1.00000000000000011102230246251565404236316680908203125" + std::string(900, '0') + "1", 1.0000000000000002, 956},
    {"halfway_tie_padded_with_zeros_beyond_the_kept_digits",
     "1.00000000000000011102230246251565404236316680908203125" + std::string(900, '0'), 1.0, 955},
    {"thousands_of_integer_digits", "1" + std::string(300, '0'), 1e300, 301},
    // Integer digits past the 800 kept ones still count in the scale, and a
    // non-zero one among them still tips a tie.
    {"integer_of_exactly_the_kept_digits", "1" + std::string(799, '0') + "e-750", 1e49, 805},
    {"integer_one_digit_past_the_kept_ones", "1" + std::string(800, '0') + "e-750", 1e50, 806},
    {"integer_digits_far_past_the_kept_ones", "1" + std::string(900, '0') + "e-850", 1e50, 906},
    {"integer_tie_tipped_by_a_digit_past_the_kept_ones", "9007199254740993" + std::string(784, '0') + "1e-785",
     9007199254740994.0, 806},
    {"integer_tie_with_zeros_past_the_kept_ones", "9007199254740993" + std::string(785, '0') + "e-785",
     9007199254740992.0, 806},
    // The exponent used to be clamped before the digits' scale was added, so
    // this read as 0.1.
    {"exponent_clamped_only_after_the_digits_scale", "0." + std::string(99999, '0') + "1e100000", 1.0, 100009},
    {"exponent_just_short_of_the_digits_scale", "0." + std::string(99999, '0') + "1e99999", 0.1, 100008},
};

class LeadingNumberReads : public testing::TestWithParam<ReadCase> {};

TEST_P(LeadingNumberReads, GivesNearestDoubleAndWhereReadingStopped) {
    const ReadCase& c = GetParam();
    const NumberRead read = LeadingNumber(c.text);
    EXPECT_TRUE(read.inRange);
    EXPECT_EQ(read.value, c.value);
    EXPECT_EQ(std::signbit(read.value), std::signbit(c.value));
    EXPECT_EQ(read.end, c.end);
}

INSTANTIATE_TEST_SUITE_P(Table, LeadingNumberReads, testing::ValuesIn(kReads), testing_support::CaseName{});

struct BeyondRangeCase {
    const char* name;
    std::string text;
};

const BeyondRangeCase kBeyondRange[] = {
    {"positive_exponent", "1e400"},
    {"negative_value", "-1e400"},
    {"just_above_largest", "1.8e308"},
    {"many_digits", std::string(400, '9')},
    {"huge_exponent", "1e99999999999999999999"},
    {"digits_and_exponent_together", std::string(200, '9') + "e200"},
};

class LeadingNumberBeyondRange : public testing::TestWithParam<BeyondRangeCase> {};

TEST_P(LeadingNumberBeyondRange, IsReportedNotGuessed) { EXPECT_FALSE(LeadingNumber(GetParam().text).inRange); }

INSTANTIATE_TEST_SUITE_P(Table, LeadingNumberBeyondRange, testing::ValuesIn(kBeyondRange), testing_support::CaseName{});

TEST(LeadingNumber, NanAndInfTextsReadAsZero) {
    for (const char* text : {"nan", "inf", "-inf", "NaN", "Infinity"}) {
        const NumberRead read = LeadingNumber(text);
        EXPECT_TRUE(read.inRange) << text;
        EXPECT_EQ(read.value, 0.0) << text;
    }
}

TEST(LeadingNumber, AMegabyteOfDigitsIsReadExactly) {
    std::string text = "0." + std::string(1 << 20, '3');
    const NumberRead read = LeadingNumber(text);
    EXPECT_EQ(read.value, 1.0 / 3.0);
    EXPECT_EQ(read.end, text.size());
}

}  // namespace
}  // namespace jt4dds
