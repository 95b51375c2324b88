// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/numbers/leading_number.h"

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
    {.name = "plain_decimal", .text = "2320.1", .value = 2320.1, .end = 6},
    {.name = "integer", .text = "24", .value = 24.0, .end = 2},
    {.name = "empty", .text = "", .value = 0.0, .end = 0},
    {.name = "lone_point", .text = ".", .value = 0.0, .end = 0},
    {.name = "lone_minus", .text = "-", .value = 0.0, .end = 0},
    {.name = "lone_plus", .text = "+", .value = 0.0, .end = 0},
    {.name = "sign_and_point", .text = "-.", .value = 0.0, .end = 0},
    {.name = "point_five", .text = ".5", .value = 0.5, .end = 2},
    {.name = "minus_point_five", .text = "-.5", .value = -0.5, .end = 3},
    {.name = "plus_sign", .text = "+7", .value = 7.0, .end = 2},
    {.name = "trailing_point", .text = "12.", .value = 12.0, .end = 3},
    {.name = "second_point_stops", .text = "1.2.3", .value = 1.2, .end = 3},
    {.name = "letters_after_number", .text = "144.4MHz", .value = 144.4, .end = 5},
    {.name = "letters_first", .text = "MHz144", .value = 0.0, .end = 0},
    {.name = "spaces_inside", .text = " 2 3 2 0 . 1 ", .value = 2320.1, .end = 12},
    {.name = "tab_and_line_feed_inside", .text = "23\t2\n0", .value = 2320.0, .end = 6},
    {.name = "carriage_return_dropped", .text = "10\r\n", .value = 10.0, .end = 2},
    {.name = "blank_between_sign_and_digits", .text = "- 5", .value = -5.0, .end = 3},
    {.name = "exponent", .text = "1.5e3", .value = 1500.0, .end = 5},
    {.name = "exponent_upper_case_signed", .text = "25E-1", .value = 2.5, .end = 5},
    {.name = "exponent_plus", .text = "2e+2", .value = 200.0, .end = 4},
    {.name = "exponent_with_blanks", .text = "1 e 3", .value = 1000.0, .end = 5},
    {.name = "exponent_letter_alone", .text = "5e", .value = 5.0, .end = 1},
    {.name = "exponent_sign_alone", .text = "5e+", .value = 5.0, .end = 1},
    {.name = "exponent_then_point", .text = "1e2.5", .value = 100.0, .end = 3},
    {.name = "double_sign", .text = "--5", .value = 0.0, .end = 0},
    {.name = "sign_after_digits", .text = "5-3", .value = 5.0, .end = 1},
    {.name = "radix_prefix_is_no_number", .text = "&H10", .value = 0.0, .end = 0},
    {.name = "comma_is_not_a_separator", .text = "2,5", .value = 2.0, .end = 1},
    {.name = "nul_stops",
     .text = std::string("12\0"
                         "34",
                         5),
     .value = 12.0,
     .end = 2},
    {.name = "non_ascii_stops", .text = "7\xC2\xB5", .value = 7.0, .end = 1},
    {.name = "leading_zeros", .text = "000123.4500", .value = 123.45, .end = 11},
    {.name = "minus_zero", .text = "-0", .value = -0.0, .end = 2},
    {.name = "underflow_reads_zero", .text = "1e-400", .value = 0.0, .end = 6},
    {.name = "negative_underflow_reads_minus_zero", .text = "-1e-400", .value = -0.0, .end = 7},
    {.name = "smallest_subnormal", .text = "5e-324", .value = 4.9406564584124654e-324, .end = 6},
    {.name = "largest_double", .text = "1.7976931348623157e308", .value = 1.7976931348623157e308, .end = 22},
    {.name = "zero_with_huge_exponent", .text = "0e99999999999999999999", .value = 0.0, .end = 22},
    // 0.1 + 0.2 style values must be the nearest double, not a sum of parts.
    {.name = "nearest_double_of_long_fraction",
     .text = "3.14159265358979323846264338327950288",
     .value = 3.141592653589793,
     .end = 37},
    // Halfway between 1 and the next double: ties to even gives 1; one more
    // digit far beyond the kept ones tips it up.
    {.name = "halfway_tie_to_even",
     .text = "1.00000000000000011102230246251565404236316680908203125",
     .value = 1.0,
     .end = 55},
    {.name = "beyond_halfway_by_a_distant_digit",
     .text = "1.00000000000000011102230246251565404236316680908203125" + std::string(900, '0') + "1",
     .value = 1.0000000000000002,
     .end = 956},
    {.name = "halfway_tie_padded_with_zeros_beyond_the_kept_digits",
     .text = "1.00000000000000011102230246251565404236316680908203125" + std::string(900, '0'),
     .value = 1.0,
     .end = 955},
    {.name = "thousands_of_integer_digits", .text = "1" + std::string(300, '0'), .value = 1e300, .end = 301},
    // Integer digits past the 800 kept ones still count in the scale, and a
    // non-zero one among them still tips a tie.
    {.name = "integer_of_exactly_the_kept_digits",
     .text = "1" + std::string(799, '0') + "e-750",
     .value = 1e49,
     .end = 805},
    {.name = "integer_one_digit_past_the_kept_ones",
     .text = "1" + std::string(800, '0') + "e-750",
     .value = 1e50,
     .end = 806},
    {.name = "integer_digits_far_past_the_kept_ones",
     .text = "1" + std::string(900, '0') + "e-850",
     .value = 1e50,
     .end = 906},
    {.name = "integer_tie_tipped_by_a_digit_past_the_kept_ones",
     .text = "9007199254740993" + std::string(784, '0') + "1e-785",
     .value = 9007199254740994.0,
     .end = 806},
    {.name = "integer_tie_with_zeros_past_the_kept_ones",
     .text = "9007199254740993" + std::string(785, '0') + "e-785",
     .value = 9007199254740992.0,
     .end = 806},
    // The exponent used to be clamped before the digits' scale was added, so
    // this read as 0.1.
    {.name = "exponent_clamped_only_after_the_digits_scale",
     .text = "0." + std::string(99999, '0') + "1e100000",
     .value = 1.0,
     .end = 100009},
    {.name = "exponent_just_short_of_the_digits_scale",
     .text = "0." + std::string(99999, '0') + "1e99999",
     .value = 0.1,
     .end = 100008},
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
    {.name = "positive_exponent", .text = "1e400"},
    {.name = "negative_value", .text = "-1e400"},
    {.name = "just_above_largest", .text = "1.8e308"},
    {.name = "many_digits", .text = std::string(400, '9')},
    {.name = "huge_exponent", .text = "1e99999999999999999999"},
    {.name = "digits_and_exponent_together", .text = std::string(200, '9') + "e200"},
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
