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
    {"whole_value_keeps_a_fraction", 300.0, "300.0"},
    {"decimal", 2320.1, "2320.1"},
    {"negative_zero", -0.0, "-0.0"},
    {"fifteen_digits_before_the_point_plain", 100000000000000.0, "100000000000000.0"},
    {"sixteen_digits_before_the_point_exponent", 1e15, "1e+15"},
    {"fraction_at_fifteen_digits", 123456789012345.6, "123456789012345.6"},
    {"fraction_at_sixteen_digits", 1234567890123456.7, "1.2345678901234568e+15"},
    {"three_leading_zeros_plain", 0.0001, "0.0001"},
    {"four_leading_zeros_exponent", 0.00001, "1e-05"},
    {"two_exponent_digits_at_least", 1.5e-7, "1.5e-07"},
    {"three_exponent_digits", -1e100, "-1e+100"},
    {"smallest_subnormal", 4.9406564584124654e-324, "5e-324"},
    {"exact_tie_goes_to_the_even_digit", 147.748931884765625, "147.74893188476562"},
    {"not_finite_is_null", std::numeric_limits<double>::infinity(), "null"},
    {"not_a_number_is_null", std::numeric_limits<double>::quiet_NaN(), "null"},
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
    {"quote_and_backslash", "a\"b\\c", R"("a\"b\\c")"},
    {"named_controls", "\b\f\n\r\t", R"("\b\f\n\r\t")"},
    {"other_controls_in_hex", std::string("\x00\x1b", 2), R"("\u0000\u001b")"},
    {"delete_and_slash_as_they_are", "\x7f/", "\"\x7f/\""},
    {"well_formed_utf8_as_it_is", "\xC3\xA9\xF0\x9F\x98\x80", "\"\xC3\xA9\xF0\x9F\x98\x80\""},
    {"cut_sequence_is_one_replacement", "\xE2\x82x", "\"\xEF\xBF\xBDx\""},
    {"overlong_lead_byte_each_replaced", "\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {"surrogate_encoded_each_byte_replaced", "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {"cut_at_the_end", "a\xF0\x9F\x98", "\"a\xEF\xBF\xBD\""},
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
    {"empty", "", 1, 1, "it ends too early"},
    {"cut_short", "{\"a\":", 1, 6, "it ends too early"},
    {"trailing_comma", "[1,]", 1, 4, "unexpected ']' where a value belongs"},
    {"name_without_quotes", "{a:1}", 1, 2, "unexpected 'a' where a name in quotes belongs"},
    {"second_value", "{} {}", 1, 4, "unexpected '{' after the end of the JSON"},
    {"nul_is_not_the_end", std::string("{}\0x", 4), 1, 3, "unexpected byte 0x00 after the end of the JSON"},
    {"columns_count_characters", "{\n  \"\xC3\xA9\": \xC3\xA9}", 2, 8, "unexpected '\xC3\xA9' where a value belongs"},
    {"leading_zero", "01", 1, 1, "a number with a leading 0"},
    {"point_without_digits", "1.]", 1, 3, "unexpected ']' where a digit belongs"},
    {"just_above_the_largest_double", "1.7976931348623159e308", 1, 1, "a number too large for a double"},
    {"long_integer_too_large", "1" + std::string(309, '0'), 1, 1, "a number too large for a double"},
    {"raw_line_break_in_a_text", "\"a\nb\"", 1, 3, "unexpected byte 0x0A inside a text (write it as an escape)"},
    {"lone_low_surrogate", R"("\udc00")", 1, 2, "a lone low surrogate"},
    {"high_surrogate_alone", R"("\ud83dx")", 1, 2, "a high surrogate without its low one"},
    {"unknown_escape", R"("\x")", 1, 2, "an unknown escape"},
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
