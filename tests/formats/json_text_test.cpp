// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON reader and writer at their edges. The fuzz target json_text holds
// both against nlohmann/json on arbitrary bytes; these rows pin what a person
// reads: number forms, escapes, and where a refusal points.
#include "formats/json_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/case_name.h"

namespace jt4dds::json {
namespace {

struct NumberCase {
    const char* name;
    double value;
    const char* text;
};

const NumberCase kNumbers[] = {
    {.name = "whole_value_keeps_a_fraction", .value = 300.0, .text = "300.0"},
    {.name = "decimal", .value = 2320.1, .text = "2320.1"},
    {.name = "negative_zero", .value = -0.0, .text = "-0.0"},
    {.name = "fifteen_digits_before_the_point_plain", .value = 100000000000000.0, .text = "100000000000000.0"},
    {.name = "sixteen_digits_before_the_point_exponent", .value = 1e15, .text = "1e+15"},
    {.name = "fraction_at_fifteen_digits", .value = 123456789012345.6, .text = "123456789012345.6"},
    {.name = "fraction_at_sixteen_digits", .value = 1234567890123456.7, .text = "1.2345678901234568e+15"},
    {.name = "three_leading_zeros_plain", .value = 0.0001, .text = "0.0001"},
    {.name = "four_leading_zeros_exponent", .value = 0.00001, .text = "1e-05"},
    {.name = "two_exponent_digits_at_least", .value = 1.5e-7, .text = "1.5e-07"},
    {.name = "three_exponent_digits", .value = -1e100, .text = "-1e+100"},
    {.name = "smallest_subnormal", .value = 4.9406564584124654e-324, .text = "5e-324"},
    {.name = "exact_tie_goes_to_the_even_digit", .value = 147.748931884765625, .text = "147.74893188476562"},
    {.name = "not_finite_is_null", .value = std::numeric_limits<double>::infinity(), .text = "null"},
    {.name = "not_a_number_is_null", .value = std::numeric_limits<double>::quiet_NaN(), .text = "null"},
};

class Numbers : public testing::TestWithParam<NumberCase> {};

TEST_P(Numbers, ShortestTextThatReadsBack) { EXPECT_EQ(numberText(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Table, Numbers, testing::ValuesIn(kNumbers), testing_support::CaseName{});

TEST(Writer, IndentedAndCompact) {
    const auto write = [](int indent) {
        Writer out(indent);
        out.beginObject().member("a", 1).key("list").beginList().value(-2).value(nullptr).endList();
        out.key("empty").beginObject().endObject().key("none").beginList().endList();
        out.key("inner").beginObject().member("t", true).endObject().endObject();
        return out.text();
    };
    EXPECT_EQ(write(-1), R"({"a":1,"list":[-2,null],"empty":{},"none":[],"inner":{"t":true}})");
    EXPECT_EQ(write(2),
              "{\n  \"a\": 1,\n  \"list\": [\n    -2,\n    null\n  ],\n  \"empty\": {},\n  \"none\": [],\n"
              "  \"inner\": {\n    \"t\": true\n  }\n}");
}

struct EscapeCase {
    const char* name;
    std::string bytes;
    std::string written;
};

const EscapeCase kEscapes[] = {
    {.name = "quote_and_backslash", .bytes = "a\"b\\c", .written = R"("a\"b\\c")"},
    {.name = "named_controls", .bytes = "\b\f\n\r\t", .written = R"("\b\f\n\r\t")"},
    {.name = "other_controls_in_hex", .bytes = std::string("\x00\x1b", 2), .written = R"("\u0000\u001b")"},
    {.name = "delete_and_slash_as_they_are", .bytes = "\x7f/", .written = "\"\x7f/\""},
    {.name = "well_formed_utf8_as_it_is",
     .bytes = "\xC3\xA9\xF0\x9F\x98\x80",
     .written = "\"\xC3\xA9\xF0\x9F\x98\x80\""},
    {.name = "cut_sequence_is_one_replacement", .bytes = "\xE2\x82x", .written = "\"\xEF\xBF\xBDx\""},
    {.name = "overlong_lead_byte_each_replaced", .bytes = "\xC0\xAF", .written = "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {.name = "surrogate_encoded_each_byte_replaced",
     .bytes = "\xED\xA0\x80",
     .written = "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {.name = "cut_at_the_end", .bytes = "a\xF0\x9F\x98", .written = "\"a\xEF\xBF\xBD\""},
};

class Escapes : public testing::TestWithParam<EscapeCase> {};

TEST_P(Escapes, AlwaysValidJson) { EXPECT_EQ(Writer().value(GetParam().bytes).text(), GetParam().written); }

INSTANTIATE_TEST_SUITE_P(Table, Escapes, testing::ValuesIn(kEscapes), testing_support::CaseName{});

struct RefusalCase {
    const char* name;
    std::string text;
    std::size_t line;
    std::size_t column;
    const char* what;
};

const RefusalCase kRefusals[] = {
    {.name = "empty", .text = "", .line = 1, .column = 1, .what = "it ends too early"},
    {.name = "cut_short", .text = "{\"a\":", .line = 1, .column = 6, .what = "it ends too early"},
    {.name = "trailing_comma", .text = "[1,]", .line = 1, .column = 4, .what = "unexpected ']' where a value belongs"},
    {.name = "name_without_quotes",
     .text = "{a:1}",
     .line = 1,
     .column = 2,
     .what = "unexpected 'a' where a name in quotes belongs"},
    {.name = "second_value",
     .text = "{} {}",
     .line = 1,
     .column = 4,
     .what = "unexpected '{' after the end of the JSON"},
    {.name = "nul_is_not_the_end",
     .text = std::string("{}\0x", 4),
     .line = 1,
     .column = 3,
     .what = "unexpected byte 0x00 after the end of the JSON"},
    {.name = "columns_count_characters",
     .text = "{\n  \"\xC3\xA9\": \xC3\xA9}",
     .line = 2,
     .column = 8,
     .what = "unexpected '\xC3\xA9' where a value belongs"},
    {.name = "leading_zero", .text = "01", .line = 1, .column = 1, .what = "a number with a leading 0"},
    {.name = "point_without_digits",
     .text = "1.]",
     .line = 1,
     .column = 3,
     .what = "unexpected ']' where a digit belongs"},
    {.name = "just_above_the_largest_double",
     .text = "1.7976931348623159e308",
     .line = 1,
     .column = 1,
     .what = "a number too large for a double"},
    {.name = "long_integer_too_large",
     .text = "1" + std::string(309, '0'),
     .line = 1,
     .column = 1,
     .what = "a number too large for a double"},
    {.name = "raw_line_break_in_a_text",
     .text = "\"a\nb\"",
     .line = 1,
     .column = 3,
     .what = "unexpected byte 0x0A inside a text (write it as an escape)"},
    {.name = "lone_low_surrogate", .text = R"("\udc00")", .line = 1, .column = 2, .what = "a lone low surrogate"},
    {.name = "high_surrogate_alone",
     .text = R"("\ud83dx")",
     .line = 1,
     .column = 2,
     .what = "a high surrogate without its low one"},
    {.name = "unknown_escape", .text = R"("\x")", .line = 1, .column = 2, .what = "an unknown escape"},
};

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, SayWhereAndWhy) {
    const auto parsed = parse(GetParam().text, 1);
    ASSERT_TRUE(std::holds_alternative<NotJson>(parsed));
    const NotJson& why = std::get<NotJson>(parsed);
    EXPECT_EQ(why.what, GetParam().what);
    EXPECT_EQ(why.line, GetParam().line);
    EXPECT_EQ(why.column, GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(Table, Refusals, testing::ValuesIn(kRefusals), testing_support::CaseName{});

TEST(Reader, KeepsWhatWasAskedFor) {
    const auto parsed = parse(
        "\xEF\xBB\xBF {\"a\": \"\\ud83d\\ude00\\u00e9\", \"n\": [[{\"deep\": 1}]], \"a\": \"last\","
        " \"o\": {\"x\": {\"y\": 2}}, \"max\": 1.7976931348623157e308}",
        2);
    ASSERT_TRUE(std::holds_alternative<Value>(parsed)) << std::get<NotJson>(parsed).what;
    const Value& root = std::get<Value>(parsed);
    EXPECT_EQ(root.member("a")->text, "last");                               // the last of a repeated name
    EXPECT_EQ(root.members.front().value.text, "\xF0\x9F\x98\x80\xC3\xA9");  // escapes decoded
    EXPECT_EQ(root.member("n")->type, Value::Type::List);                    // lists keep no elements
    EXPECT_TRUE(root.member("n")->members.empty());
    EXPECT_EQ(root.member("o")->member("x")->type, Value::Type::Object);  // kept two levels down
    EXPECT_EQ(root.member("o")->member("x")->member("y"), nullptr);       // and no deeper
    EXPECT_EQ(root.member("max")->text, "1.7976931348623157e308");
    EXPECT_EQ(root.member("missing"), nullptr);
}

TEST(Reader, WholeNumbersFitSixtyFourBits) {
    const auto whole = [](const std::string& text) { return std::get<Value>(parse(text, 0)).whole; };
    EXPECT_TRUE(whole("-9223372036854775808"));
    EXPECT_FALSE(whole("-9223372036854775809"));
    EXPECT_TRUE(whole("18446744073709551615"));
    EXPECT_FALSE(whole("18446744073709551616"));
    EXPECT_FALSE(whole("1.0"));
    EXPECT_FALSE(whole("1e0"));
}

TEST(Reader, NestingAsDeepAsAFileCanHold) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_TRUE(std::holds_alternative<Value>(parse(deep, 2)));
    EXPECT_TRUE(std::holds_alternative<NotJson>(parse(deep.substr(0, deep.size() - 1), 2)));
}

}  // namespace
}  // namespace jt4dds::json
