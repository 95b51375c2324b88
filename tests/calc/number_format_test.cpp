// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/number_format.h"

#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <cstdint>
#include <limits>
#include <string>

namespace jt4dds {
namespace {

struct FormatCase {
    const char* name;
    double value;
    NumberPattern pattern;
    const char* separator;
    const char* expected;
};

using P = NumberPattern;

const FormatCase kFormats[] = {
    {"reference_300", 300.0, P::Megahertz, ".", "300.0MHz"},
    {"reference_10", 10.0, P::Megahertz, ".", "10.0MHz"},
    {"reference_three_decimals", 10.7, P::Megahertz, ".", "10.7MHz"},
    {"reference_rounds_to_three", 123.45678, P::Megahertz, ".", "123.457MHz"},
    {"reference_comma_locale", 300.0, P::Megahertz, ",", "300,0MHz"},
    {"resolution_300", 0.8381903171539307, P::Hertz, ".", "0.838Hz"},
    {"resolution_initial", 0.6984919309616089, P::Hertz, ".", "0.698Hz"},
    {"resolution_reverse", 0.24274087148094048, P::Hertz, ".", "0.243Hz"},
    {"resolution_jt4g", 44.703485579944484, P::Hertz, ".", "44.703Hz"},
    {"trailing_zeros_dropped", 2.5, P::Hertz, ".", "2.5Hz"},
    {"large_value_ungrouped", 1e21, P::Hertz, ".", "1000000000000000000000.0Hz"},
    // An exact binary half rounds away from zero.
    {"exact_half_rounds_up", 0.0625, P::Hertz, ".", "0.063Hz"},
    {"exact_negative_half_rounds_down", -0.0625, P::Hertz, ".", "-0.063Hz"},
    {"exact_half_odd_digit", 9.9375, P::Hertz, ".", "9.938Hz"},
    {"rounds_up_into_integer", 0.99951171875, P::Hertz, ".", "1.0Hz"},
    // Decimal-looking halves are rounded by their exact binary value.
    {"decimal_half_below_in_binary", 1.2345, P::Hertz, ".", "1.234Hz"},
    {"decimal_half_just_below_in_binary", 1.0005, P::Hertz, ".", "1.0Hz"},
    {"decimal_half_above_in_binary", 1.0015, P::Hertz, ".", "1.002Hz"},
    {"negative_rounding_to_zero_has_no_sign", -0.0004, P::Hertz, ".", "0.0Hz"},
    {"minus_zero_has_no_sign", -0.0, P::Hertz, ".", "0.0Hz"},
    {"negative_resolution", -0.8381903171539307, P::Hertz, ".", "-0.838Hz"},
    {"tone_output", 2320.0999414062498, P::OutputMegahertz, ".", "2320.0999414MHz"},
    {"tone_output_reverse", 144.39994140625, P::OutputMegahertz, ".", "144.3999414MHz"},
    {"two_integer_digits", 5.1, P::OutputMegahertz, ".", "05.1000000MHz"},
    {"two_integer_digits_negative", -5.1, P::OutputMegahertz, ".", "-05.1000000MHz"},
    {"zero_output", 0.0, P::OutputMegahertz, ".", "00.0000000MHz"},
    {"seven_decimal_exact_half", 0.00390625, P::OutputMegahertz, ".", "00.0039063MHz"},
    {"tone_output_comma", 2320.1, P::OutputMegahertz, ",", "2320,1000000MHz"},
    {"ssb_carrier", (2320100000.0 - 1270.0) / 1e6, P::CarrierMegahertz, ".", "2320.09873"},
    {"ssb_carrier_800", (2320100000.0 - 800.0) / 1e6, P::CarrierMegahertz, ".", "2320.0992"},
    {"ssb_carrier_whole", 1.0, P::CarrierMegahertz, ".", "1.0"},
    {"ssb_carrier_six_decimal_half", 0.0078125, P::CarrierMegahertz, ".", "0.007813"},
    {"ssb_carrier_below_a_hertz", 4.99e-7, P::CarrierMegahertz, ".", "0.0"},
    {"ssb_carrier_negative", -0.00127, P::CarrierMegahertz, ".", "-0.00127"},
    {"ssb_carrier_multi_byte_separator", 1.5, P::CarrierMegahertz, "\xD9\xAB",
     "1\xD9\xAB"
     "5"},
};

class NumberPatterns : public testing::TestWithParam<FormatCase> {};

TEST_P(NumberPatterns, FormatByPattern) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, c.pattern, c.separator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, NumberPatterns, testing::ValuesIn(kFormats), testing_support::CaseName{});

TEST(NumberPatterns, LargestDoubleIsWrittenInFull) {
    const std::string text = formatNumber(std::numeric_limits<double>::max(), P::OutputMegahertz, ".");
    EXPECT_EQ(text.substr(0, 6), "179769");
    EXPECT_EQ(text.size(), 309u + 1u + 7u + 3u);
    EXPECT_EQ(text.substr(text.size() - 11), ".0000000MHz");
}

struct HexCase {
    const char* name;
    std::int32_t word;
    const char* expected;
};

const HexCase kHex[] = {
    {"zero", 0, "00000000"},
    {"padded", 0x1BA, "000001BA"},
    {"exactly_35_percent", 1503238554, "5999999A"},
    {"negative_twos_complement", -429496730, "E6666666"},
    {"minus_one", -1, "FFFFFFFF"},
    {"most_negative", std::numeric_limits<std::int32_t>::min(), "80000000"},
    {"most_positive", std::numeric_limits<std::int32_t>::max(), "7FFFFFFF"},
};

class HexWords : public testing::TestWithParam<HexCase> {};

TEST_P(HexWords, EightUpperCaseDigits) { EXPECT_EQ(hexWord(GetParam().word), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Table, HexWords, testing::ValuesIn(kHex), testing_support::CaseName{});

TEST(ToneNumber, BlankDigitTwoBlanks) {
    EXPECT_EQ(formatToneNumber(0), " 0  ");
    EXPECT_EQ(formatToneNumber(7), " 7  ");
}

}  // namespace
}  // namespace jt4dds
