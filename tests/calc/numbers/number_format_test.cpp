// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/numbers/number_format.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "calc/numbers/exact_chars.h"

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
    {.name = "reference_300", .value = 300.0, .pattern = P::Megahertz, .separator = ".", .expected = "300.0MHz"},
    {.name = "reference_10", .value = 10.0, .pattern = P::Megahertz, .separator = ".", .expected = "10.0MHz"},
    {.name = "reference_three_decimals",
     .value = 10.7,
     .pattern = P::Megahertz,
     .separator = ".",
     .expected = "10.7MHz"},
    {.name = "reference_rounds_to_three",
     .value = 123.45678,
     .pattern = P::Megahertz,
     .separator = ".",
     .expected = "123.457MHz"},
    {.name = "reference_comma_locale",
     .value = 300.0,
     .pattern = P::Megahertz,
     .separator = ",",
     .expected = "300,0MHz"},
    {.name = "resolution_300",
     .value = 0.8381903171539307,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "0.838Hz"},
    {.name = "resolution_initial",
     .value = 0.6984919309616089,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "0.698Hz"},
    {.name = "resolution_reverse",
     .value = 0.24274087148094048,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "0.243Hz"},
    {.name = "resolution_jt4g",
     .value = 44.703485579944484,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "44.703Hz"},
    {.name = "trailing_zeros_dropped", .value = 2.5, .pattern = P::Hertz, .separator = ".", .expected = "2.5Hz"},
    {.name = "large_value_ungrouped",
     .value = 1e21,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "1000000000000000000000.0Hz"},
    // An exact binary half rounds away from zero.
    {.name = "exact_half_rounds_up", .value = 0.0625, .pattern = P::Hertz, .separator = ".", .expected = "0.063Hz"},
    {.name = "exact_negative_half_rounds_down",
     .value = -0.0625,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "-0.063Hz"},
    {.name = "exact_half_odd_digit", .value = 9.9375, .pattern = P::Hertz, .separator = ".", .expected = "9.938Hz"},
    {.name = "rounds_up_into_integer",
     .value = 0.99951171875,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "1.0Hz"},
    // Decimal-looking halves are rounded by their exact binary value.
    {.name = "decimal_half_below_in_binary",
     .value = 1.2345,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "1.234Hz"},
    {.name = "decimal_half_just_below_in_binary",
     .value = 1.0005,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "1.0Hz"},
    {.name = "decimal_half_above_in_binary",
     .value = 1.0015,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "1.002Hz"},
    {.name = "negative_rounding_to_zero_has_no_sign",
     .value = -0.0004,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "0.0Hz"},
    {.name = "minus_zero_has_no_sign", .value = -0.0, .pattern = P::Hertz, .separator = ".", .expected = "0.0Hz"},
    {.name = "negative_resolution",
     .value = -0.8381903171539307,
     .pattern = P::Hertz,
     .separator = ".",
     .expected = "-0.838Hz"},
    {.name = "tone_output",
     .value = 2320.0999414062498,
     .pattern = P::OutputMegahertz,
     .separator = ".",
     .expected = "2320.0999414MHz"},
    {.name = "tone_output_reverse",
     .value = 144.39994140625,
     .pattern = P::OutputMegahertz,
     .separator = ".",
     .expected = "144.3999414MHz"},
    {.name = "two_integer_digits",
     .value = 5.1,
     .pattern = P::OutputMegahertz,
     .separator = ".",
     .expected = "05.1000000MHz"},
    {.name = "two_integer_digits_negative",
     .value = -5.1,
     .pattern = P::OutputMegahertz,
     .separator = ".",
     .expected = "-05.1000000MHz"},
    {.name = "zero_output", .value = 0.0, .pattern = P::OutputMegahertz, .separator = ".", .expected = "00.0000000MHz"},
    {.name = "seven_decimal_exact_half",
     .value = 0.00390625,
     .pattern = P::OutputMegahertz,
     .separator = ".",
     .expected = "00.0039063MHz"},
    {.name = "tone_output_comma",
     .value = 2320.1,
     .pattern = P::OutputMegahertz,
     .separator = ",",
     .expected = "2320,1000000MHz"},
    {.name = "ssb_carrier",
     .value = (2320100000.0 - 1270.0) / 1e6,
     .pattern = P::CarrierMegahertz,
     .separator = ".",
     .expected = "2320.09873"},
    {.name = "ssb_carrier_800",
     .value = (2320100000.0 - 800.0) / 1e6,
     .pattern = P::CarrierMegahertz,
     .separator = ".",
     .expected = "2320.0992"},
    {.name = "ssb_carrier_whole", .value = 1.0, .pattern = P::CarrierMegahertz, .separator = ".", .expected = "1.0"},
    {.name = "ssb_carrier_six_decimal_half",
     .value = 0.0078125,
     .pattern = P::CarrierMegahertz,
     .separator = ".",
     .expected = "0.007813"},
    {.name = "ssb_carrier_below_a_hertz",
     .value = 4.99e-7,
     .pattern = P::CarrierMegahertz,
     .separator = ".",
     .expected = "0.0"},
    {.name = "ssb_carrier_negative",
     .value = -0.00127,
     .pattern = P::CarrierMegahertz,
     .separator = ".",
     .expected = "-0.00127"},
    {.name = "ssb_carrier_multi_byte_separator",
     .value = 1.5,
     .pattern = P::CarrierMegahertz,
     .separator = "\xD9\xAB",
     .expected = "1\xD9\xAB"
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
    {.name = "zero", .word = 0, .expected = "00000000"},
    {.name = "padded", .word = 0x1BA, .expected = "000001BA"},
    {.name = "exactly_35_percent", .word = 1503238554, .expected = "5999999A"},
    {.name = "negative_twos_complement", .word = -429496730, .expected = "E6666666"},
    {.name = "minus_one", .word = -1, .expected = "FFFFFFFF"},
    {.name = "most_negative", .word = std::numeric_limits<std::int32_t>::min(), .expected = "80000000"},
    {.name = "most_positive", .word = std::numeric_limits<std::int32_t>::max(), .expected = "7FFFFFFF"},
};

class HexWords : public testing::TestWithParam<HexCase> {};

TEST_P(HexWords, EightUpperCaseDigits) { EXPECT_EQ(hexWord(GetParam().word), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Table, HexWords, testing::ValuesIn(kHex), testing_support::CaseName{});

// The portable conversions (the WebAssembly build's) against the standard
// library's, where both exist: the same text for the same double, and the same
// double for the same text, bit for bit.
TEST(ExactChars, PortableFixedAndShortestAreTheStandardOnes) {
    std::mt19937_64 random(42);
    std::vector<double> values = {0.0,
                                  0.5,
                                  2.5,
                                  0.125,
                                  1e-7,
                                  5e-324,
                                  2320.0999414,
                                  0.8381903171539307,
                                  4503599627370496.5,
                                  1e22,
                                  std::numeric_limits<double>::max()};
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(std::uniform_real_distribution<double>(1.0, 2.0)(random),
                                    std::uniform_int_distribution<int>(-40, 70)(random));
        values.push_back(v);
        values.push_back(std::round(v * 1024.0) / 1024.0);  // exact ties at few decimals
    }
    for (double v : values)
        for (int decimals : {0, 1, 3, 6, 7, 8})
            ASSERT_EQ(exact::portable::fixed(v, decimals), exact::standard::fixed(v, decimals)) << v << " " << decimals;
    // Shortest digits: also every power of two (where the gap below is half
    // the gap above), both ends of the range, and values that need all 17.
    for (int e = -1074; e <= 1023; ++e) values.push_back(std::ldexp(1.0, e));
    for (double v : {1e23, 9007199254740993.0, 0.1 + 0.2, 2.2250738585072014e-308, 4.9406564584124654e-324,
                     1.7976931348623157e308, 2320.1e6 / 3.0})
        values.push_back(v);
    for (double v : values) {
        if (v == 0.0) continue;
        const auto portable = exact::portable::shortest(v);
        const auto standard = exact::standard::shortest(v);
        ASSERT_EQ(portable.digits, standard.digits) << v;
        ASSERT_EQ(portable.exponent, standard.exponent) << v;
    }
}

TEST(ExactChars, PortableScientificIsTheStandardOne) {
    std::mt19937_64 random(7);
    std::vector<std::string> texts = {"1e0",
                                      "5e-324",
                                      "24703282292062327e-340",
                                      "24703282292062328e-340",
                                      "17976931348623157e292",
                                      "17976931348623159e292",
                                      "1e-400",
                                      "1e400",
                                      "9007199254740993e0",
                                      "900719925474099300000000000000001e-16"};
    for (int i = 0; i < 20000; ++i) {
        std::string digits =
            std::to_string(std::uniform_int_distribution<std::uint64_t>(1, 999999999999999999)(random));
        digits += std::to_string(std::uniform_int_distribution<std::uint64_t>(0, 99999999)(random));
        texts.push_back(digits + "e" + std::to_string(std::uniform_int_distribution<int>(-345, 300)(random)));
    }
    for (const std::string& text : texts) {
        double a = 0.0;
        double b = 0.0;
        const auto ra = exact::portable::scientific(text.c_str(), a);
        const auto rb = exact::standard::scientific(text.c_str(), b);
        ASSERT_EQ(ra, rb) << text;
        if (ra == exact::Read::Value) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(b)) << text;
        }
    }
}

TEST(ExactChars, PortableFixedIgnoresTheCLocale) {
    // A program around the calculation may have set a comma locale.
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale here";
    const std::string text = exact::portable::fixed(2.5, 3);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "2.500");
}

TEST(ToneNumber, BlankDigitTwoBlanks) {
    EXPECT_EQ(formatToneNumber(0), " 0  ");
    EXPECT_EQ(formatToneNumber(7), " 7  ");
}

}  // namespace
}  // namespace jt4dds
