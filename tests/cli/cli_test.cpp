// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "formats/wav.h"
#include "tests/case_name.h"
#include "tests/cli/cli_runner.h"

namespace jt4dds {
namespace {

using testing_support::CliResult;
CliResult run(std::vector<std::string> args) { return testing_support::runTool(std::move(args)); }

struct CliCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string outStartsWith = {};  // nothing said of standard output when left out
    std::string errContains = {};    // nothing said of standard error when left out
};

const CliCase kCases[] = {
    {.name = "initial_values_warn_but_complete",
     .args = {},
     .status = kExitCompleted,
     .outStartsWith = "FreqData                                ;Direct Freq Gen   JT4D   Ref 250.0MHz\r\n",
     .errContains = "Warning: Ref too low, check values\nSSB Carrier, Tuning Point: 2320.09873\n"},
    {.name = "submode_any_case",
     .args = {"--submode", "pi4", "--fref", "300"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData                                ;Direct Freq Gen   JT4PI4   Ref 300.0MHz",
     .errContains = "Resolution too low"},
    {.name = "config_by_full_label",
     .args = {"--config", "Reverse DDS", "--fout", "144.4", "--mult", "1", "--fref", "10"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData                                ;Reverse DDS   JT4D",
     .errContains = "SSB Carrier, Tuning Point: 144.39873"},
    {.name = "ref800_writes_800",
     .args = {"--ref800", "--fref", "300"},
     .status = kExitCompleted,
     .errContains = "Tone0 offset / wrong mode - check"},
    {.name = "negative_value_with_equals",
     .args = {"--fout=-10", "--mult", "1", "--fref", "100"},
     .status = kExitCompleted,
     .errContains = "SSB Carrier, Tuning Point: -10.00127"},
    {.name = "empty_mult_ends_early",
     .args = {"--mult", ""},
     .status = kExitEndedEarly,
     .errContains = "Calculation stopped: RF Multiplication reads 0"},
    {.name = "field_beyond_range_ends_before_the_header",
     .args = {"--aux", "1e400"},
     .status = kExitEndedEarly,
     .errContains = "Calculation stopped: Aux Tone reads a number beyond the range"},
    // An empty value after "=" used to take the next option as the field's text.
    {.name = "empty_value_after_equals_is_an_empty_field",
     .args = {"--mult=", "--fref", "300"},
     .status = kExitEndedEarly,
     .errContains = "RF Multiplication reads 0"},
    {.name = "megabyte_argument_beyond_range",
     .args = {"--fref", std::string(1 << 20, '9')},
     .status = kExitEndedEarly,
     .errContains = "Master Reference reads a number beyond the range"},
    {.name = "control_characters_are_text",
     .args = {"--fref", "\x1B[2J300\x07"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "SSB Carrier"},
    {.name = "unknown_submode",
     .args = {"--submode", "H"},
     .status = kExitUsage,
     .errContains = "--submode: H not in {A,B,C,D,E,F,G,PI4}"},
    {.name = "unknown_config",
     .args = {"--config", "sideways"},
     .status = kExitUsage,
     .errContains = "--config: sideways not in {direct,reverse,Direct Freq Gen,Reverse DDS}"},
    {.name = "unknown_option", .args = {"--frequency", "1"}, .status = kExitUsage, .errContains = "jt4dds-cli: "},
    {.name = "flag_given_no_truth_value",
     .args = {"--no-cw=maybe"},
     .status = kExitUsage,
     .errContains = "jt4dds-cli: Could not convert: --no-cw = maybe"},
    {.name = "submode_in_any_case_with_blanks",
     .args = {"--submode", " pi4 ", "--fref", "300"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData                                ;Direct Freq Gen   JT4PI4",
     .errContains = "PI4"},
    {.name = "config_by_its_label_in_any_case",
     .args = {"--fout", "144.4", "--mult", "1", "--fref", "10", "--config", "REVERSE dds"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData                                ;Reverse DDS",
     .errContains = "SSB Carrier"},
    {.name = "config_word_in_any_case",
     .args = {"--fout", "144.4", "--mult", "1", "--fref", "10", "--config", "Reverse"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData                                ;Reverse DDS",
     .errContains = "SSB Carrier"},
    {.name = "unknown_format",
     .args = {"--format", "xml"},
     .status = kExitUsage,
     .errContains = "--format: xml not in {listing,asm,c,json,report,symbols,wav,firmware-avr,firmware-pic}"},
    {.name = "format_names_are_exact",
     .args = {"--format", "ASM"},
     .status = kExitUsage,
     .errContains = "--format: ASM not in"},
    {.name = "name_refusal_quotes_the_name",
     .args = {"--name", "2m"},
     .status = kExitUsage,
     .errContains = "'2m' is not"},
    {.name = "spacing_tolerance_at_most_100",
     .args = {"--spacing-tolerance", "100"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "SSB Carrier"},
    {.name = "spacing_tolerance_above_100_refused",
     .args = {"--spacing-tolerance", "100.5"},
     .status = kExitUsage,
     .errContains = "'100.5' is not"},
    {.name = "missing_value", .args = {"--fout"}, .status = kExitUsage, .errContains = "--fout"},
    {.name = "non_utf8_argument", .args = {"--fout", "23\xFF"}, .status = kExitUsage, .errContains = "not valid UTF-8"},
    {.name = "overlong_utf8_argument",
     .args = {"--fout", "\xC0\xAF"},
     .status = kExitUsage,
     .errContains = "not valid UTF-8"},
    {.name = "truncated_utf8_argument",
     .args = {"--fout", "1\xE2\x82"},
     .status = kExitUsage,
     .errContains = "not valid UTF-8"},
    {.name = "smallest_two_byte_character",
     .args = {"--fref", "300\xC2\x80"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "'\xC2\x80' ignored"},
    {.name = "smallest_three_byte_character",
     .args = {"--fref", "300\xE0\xA0\x80"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "'\xE0\xA0\x80' ignored"},
    {.name = "smallest_four_byte_character",
     .args = {"--fref", "300\xF0\x90\x80\x80"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "'\xF0\x90\x80\x80' ignored"},
    {.name = "largest_character",
     .args = {"--fref", "300\xF4\x8F\xBF\xBF"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "ignored"},
    {.name = "beyond_the_largest_character",
     .args = {"--fref", "300\xF4\x90\x80\x80"},
     .status = kExitUsage,
     .errContains = "not valid UTF-8"},
    {.name = "surrogate_is_not_utf8",
     .args = {"--fref", "300\xED\xA0\x80"},
     .status = kExitUsage,
     .errContains = "not valid UTF-8"},
    {.name = "findings_on_stderr_one_a_line",
     .args = {"--fout", "2320,1", "--fref", "300"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains =
         "jt4dds-cli: warning: Output Frequency: reads 2320 MHz; ',1' ignored (the decimal point is '.'). Fix: type "
         "2320.1\n"},
    {.name = "dead_words_are_an_error",
     .args = {},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "jt4dds-cli: error: Tones 0 to 7: "},
    {.name = "comma_separator_asked_for",
     .args = {"--fref", "300", "--decimal-separator", ","},
     .status = kExitCompleted,
     .outStartsWith = "FreqData                                ;Direct Freq Gen   JT4D   Ref 300,0MHz",
     .errContains = "2320,09873"},
    {.name = "separator_with_a_digit_refused",
     .args = {"--decimal-separator", "1"},
     .status = kExitUsage,
     .errContains = "--decimal-separator"},
    {.name = "spacing_tolerance_tightened",
     .args = {"--fref", "300", "--spacing-tolerance", "2.1"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "jt4dds-cli: warning: Tones 1 and 2: the worst pair, tones 1 and 2"},
    {.name = "spacing_tolerance_zero_refused",
     .args = {"--spacing-tolerance", "0"},
     .status = kExitUsage,
     .errContains = "--spacing-tolerance"},
    {.name = "spacing_tolerance_with_text_refused",
     .args = {"--spacing-tolerance", "5%"},
     .status = kExitUsage,
     .errContains = "--spacing-tolerance"},
    {.name = "firmware_refused_for_dead_words",
     .args = {"--format", "asm"},
     .status = kExitStrictWarning,
     .errContains = "no asm written: these words cannot make the beacon (limit-exceeded)"},
    {.name = "strict_says_which_findings",
     .args = {"--fref", "300", "--ref800", "--strict"},
     .status = kExitStrictWarning,
     .outStartsWith = "FreqData",
     .errContains = "--strict: failing on tone0-offset"},
    {.name = "utf8_text_is_read_as_typed",
     .args = {"--fout", "2320.1 MHz \xE2\x80\x94 beacon", "--fref", "300"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "SSB Carrier, Tuning Point: 2320.09873"},
    // A message that cannot be sent was a usage error: no report, and an
    // option blamed that nobody typed.
    {.name = "unsendable_message_is_reported",
     .args = {"--fref", "300", "--submode", "PI4", "--message", "G4XYZ IO91", "--format", "json"},
     .status = kExitCompleted,
     .outStartsWith = "{",
     .errContains = ""},
    {.name = "unsendable_message_refuses_firmware",
     .args = {"--fref", "300", "--submode", "PI4", "--message", "G4XYZ IO91", "--format", "c"},
     .status = kExitStrictWarning,
     .errContains = "jt4dds-cli: error: --message: PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'; "
                    "'G4XYZ IO91' has 10\njt4dds-cli: no c written: these words cannot make the beacon "
                    "(message-refused)"},
    {.name = "unsendable_speed_names_its_option",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--wpm", "4"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "jt4dds-cli: error: --wpm: takes a whole number of words a minute from 5 to 60; '4' is not one"},
    {.name = "symbols_need_a_message",
     .args = {"--format", "symbols"},
     .status = kExitUsage,
     .errContains = "--format symbols needs the --message"},
    {.name = "symbols_of_a_message_pi4_cannot_send",
     .args = {"--submode", "PI4", "--message", "OZ7IGY/B1", "--format", "symbols"},
     .status = kExitUsage,
     .errContains = "--message: PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'; 'OZ7IGY/B1' has 9"},
    {.name = "symbols_of_free_text_say_so",
     .args = {"--message", "HI! THERE FRIEND", "--format", "symbols"},
     .status = kExitCompleted,
     .outStartsWith = " ",
     .errContains =
         "jt4dds-cli: warning: --message: goes out as free text, 'HI  THERE FRI'; sent as spaces: '!'; not sent: "
         "'END'"},
    {.name = "symbols_need_no_frequency_plan",
     .args = {"--mult=", "--message", "CQ K1ABC", "--format", "symbols"},
     .status = kExitCompleted,
     .outStartsWith = " "},
    {.name = "wav_needs_a_message",
     .args = {"--fref", "300", "--format", "wav"},
     .status = kExitUsage,
     .errContains = "--format wav needs the --message to send"},
    {.name = "wav_of_a_stopped_press_is_none",
     .args = {"--mult=", "--message", "CQ K1ABC FN42", "--format", "wav"},
     .status = kExitEndedEarly,
     .errContains = "Calculation stopped"},
    {.name = "wav_says_where_to_tune",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav"},
     .status = kExitCompleted,
     .outStartsWith = std::string("RIFF\x24\xF9\x15\0WAVEfmt ", 16),
     .errContains = "Receiver: USB dial 2320.09873 MHz (the SSB tuning point); data tone 0 heard at 1211.6 Hz"},
    {.name = "wav_of_pi4_on_its_own_dial",
     .args = {"--fref", "300", "--submode", "PI4", "--message", "OZ7IGY", "--format", "wav"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF",
     .errContains = "Receiver: USB dial 2320.0992 MHz (800 Hz below the output frequency, where PI4 receivers"},
    {.name = "wav_written_despite_an_error_finding",
     .args = {"--fout", "10368.9", "--mult", "96", "--fref", "1000", "--submode", "A", "--message", "CQ K1ABC FN42",
              "--format", "wav"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF",
     .errContains = "share the word"},
    {.name = "snr_beyond_its_range",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr", "61"},
     .status = kExitUsage,
     .errContains = "--snr: takes a ratio in dB from -60 to 60, such as -22; '61' is not"},
    {.name = "snr_at_its_highest",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr", "60"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF"},
    {.name = "snr_at_its_lowest",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr=-60"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF"},
    {.name = "snr_just_below_its_lowest",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr=-60.01"},
     .status = kExitUsage,
     .errContains = "'-60.01' is not"},
    {.name = "snr_not_a_number_wrote_a_noise_of_nothing",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr", "nan"},
     .status = kExitUsage,
     .errContains = "--snr: takes a ratio in dB from -60 to 60, such as -22; 'nan' is not"},
    {.name = "snr_with_text_after_it",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr", "-22dB"},
     .status = kExitUsage,
     .errContains = "'-22dB' is not"},
    {.name = "ref_ppm_beyond_its_range",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--ref-ppm", "-1001"},
     .status = kExitUsage,
     .errContains = "--ref-ppm: takes parts per million from -1000 to 1000, such as 2.5; '-1001' is not"},
    {.name = "ref_ppm_not_a_number_wrote_silence",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--ref-ppm", "nan"},
     .status = kExitUsage,
     .errContains = "'nan' is not"},
    {.name = "ref_ppm_at_its_limit_lands_outside_the_audio",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--ref-ppm", "1000"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF",
     .errContains = "data tone 0 falls at 2321311.6 Hz, outside the receiver's audio (0 to 6000 Hz), so nothing "
                    "decodes"},
    {.name = "ref_ppm_within_the_audio",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--ref-ppm", "0.2"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF",
     .errContains = "data tone 0 heard at 1675.7 Hz"},
    {.name = "lsb_line_said_usb_with_tone_0_unmirrored",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--sideband", "lsb"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF",
     .errContains = "Receiver: LSB dial 2320.09873 MHz (the SSB tuning point, on the wrong sideband); the data tones "
                    "are heard in reverse order, data tone 0 at 1329.3 Hz, so nothing decodes"},
    {.name = "seed_largest",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr", "-22", "--seed",
              "18446744073709551615"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF"},
    {.name = "seed_past_64_bits_was_taken_as_the_largest",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr", "-22", "--seed",
              "18446744073709551616"},
     .status = kExitUsage,
     .errContains = "--seed: takes a whole number from 0 to 18446744073709551615; '18446744073709551616' is not"},
    {.name = "seed_negative_wrapped_round",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--snr", "-22", "--seed=-1"},
     .status = kExitUsage,
     .errContains = "'-1' is not"},
    {.name = "sideband_in_any_case",
     .args = {"--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav", "--sideband", "LSB"},
     .status = kExitCompleted,
     .outStartsWith = "RIFF"},
    {.name = "dds_help_lists_the_chips",
     .args = {"--dds", "help"},
     .status = kExitCompleted,
     .outStartsWith = "AD9832: 25 MHz\nAD9835: 50 MHz\nAD9850: 125 MHz\nAD9851: 180 MHz, 6x reference multiplier\n"},
    {.name = "dds_unknown_chip", .args = {"--dds", "AD9999"}, .status = kExitUsage, .errContains = "--dds"},
    {.name = "dds_in_any_case_bounds_the_reference",
     .args = {"--dds", "ad9851", "--fref", "180.5", "--mult", "48"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData",
     .errContains = "error: Master Reference: 180.5 MHz is faster than the 180 MHz the AD9851 is specified for"},
    {.name = "max_clock_zero_refused",
     .args = {"--max-clock", "0"},
     .status = kExitUsage,
     .errContains = "--max-clock"},
    {.name = "max_clock_with_a_unit_refused",
     .args = {"--max-clock", "180MHz"},
     .status = kExitUsage,
     .errContains = "--max-clock"},
    {.name = "max_clock_exactly_the_reference",
     .args = {"--max-clock", "180", "--fref", "180", "--mult", "48", "--strict"},
     .status = kExitCompleted,
     .outStartsWith = "FreqData"},
    {.name = "twenty_four_gigahertz_on_180_mhz_names_x384",
     .args = {"--fout", "24048.1", "--submode", "F", "--refs", "180", "--find"},
     .status = kExitNoCandidate,
     .outStartsWith = "42 candidates judged, 42 rejected\nRejected by: "},
    {.name = "find_writes_no_wav",
     .args = {"--find", "--format", "wav"},
     .status = kExitUsage,
     .errContains = "--find prints a table"},
};

class CommandLine : public testing::TestWithParam<CliCase> {};

TEST_P(CommandLine, StatusAndOutput) {
    const CliCase& c = GetParam();
    const CliResult r = run(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(r.out.starts_with(c.outStartsWith)) << r.out;
    EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
    if (c.status == kExitUsage) {
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLine, testing::ValuesIn(kCases), testing_support::CaseName{});

TEST(CommandLineJson, WindowStateAfterOnePress) {
    const CliResult r = run({"--fref", "300", "--json"});
    ASSERT_EQ(r.status, kExitCompleted);
    const auto state = nlohmann::json::parse(r.out);
    EXPECT_EQ(state["completed"], true);
    EXPECT_EQ(state["error"], nullptr);
    EXPECT_EQ(state["ssb_carrier"], (nlohmann::json{{"visible", true}, {"text", "2320.09873"}}));
    EXPECT_EQ(state["warning"], (nlohmann::json{{"visible", false}, {"caption", "Warning"}}));
    EXPECT_EQ(state["ssb_caption_visible"], true);
    EXPECT_EQ(state["ref_tone"], "1270");
    EXPECT_TRUE(state["listing"].get<std::string>().ends_with("\r\n\r\nResolution  0.838Hz"));
    EXPECT_EQ(state["format"], "jt4dds-report");
    EXPECT_EQ(state["version"], 2);
}

TEST(CommandLineJson, EarlyEndSaysWhy) {
    const CliResult r = run({"--fout", "100", "--mult", "1", "--fref", "35", "--config", "reverse", "--json"});
    ASSERT_EQ(r.status, kExitEndedEarly);
    const auto state = nlohmann::json::parse(r.out);
    EXPECT_EQ(state["completed"], false);
    EXPECT_NE(state["error"].get<std::string>().find("Tone 7"), std::string::npos);
    EXPECT_EQ(state["warning"]["caption"], "Not Possible, check values");
    EXPECT_EQ(state["ssb_carrier"]["visible"], false);
    EXPECT_EQ(state["ssb_caption_visible"], false);
}

// "ref_tone" is the field's text as the window shows it after the press, also
// when the press stopped before reading it (it was null then), and with the
// 800 Hz option's "800" typed into it; "inputs" keep what was typed.
struct RefToneCase {
    const char* name;
    std::vector<std::string> args;
    std::string refTone;
    std::string typed;
};
const RefToneCase kRefToneCases[] = {
    {.name = "stopped_before_reading_it",
     .args = {"--mult=", "--ref-tone", "1300"},
     .refTone = "1300",
     .typed = "1300"},
    {.name = "no_mode_selected",
     .args = {"--ref-tone", "1 kHz", "--submode", "D", "--fref=0"},
     .refTone = "1 kHz",
     .typed = "1 kHz"},
    {.name = "option_800_types_it", .args = {"--submode", "G", "--ref800"}, .refTone = "800", .typed = "1270"},
    {.name = "option_800_not_reached",
     .args = {"--submode", "G", "--ref800", "--mult=0"},
     .refTone = "1270",
     .typed = "1270"},
};
class ReportRefTone : public testing::TestWithParam<RefToneCase> {};
TEST_P(ReportRefTone, IsWhatTheWindowShows) {
    std::vector<std::string> args = GetParam().args;
    args.emplace_back("--json");
    const CliResult r = run(args);
    const auto state = nlohmann::json::parse(r.out);
    EXPECT_EQ(state["ref_tone"], GetParam().refTone);
    EXPECT_EQ(state["inputs"]["ref_tone"], GetParam().typed);
}
INSTANTIATE_TEST_SUITE_P(Table, ReportRefTone, testing::ValuesIn(kRefToneCases), testing_support::CaseName{});

TEST(CommandLine, HelpExplainsEveryField) {
    const CliResult r = run({"--help"});
    EXPECT_EQ(r.status, kExitCompleted);
    for (const char* option : {"--fout", "--mult", "--fref", "--submode", "--ref800", "--ref-tone", "--key-up",
                               "--key-down", "--aux", "--config", "--json"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    // The choices are listed where they are asked for.
    for (const char* choices : {"{A,B,C,D,E,F,G,PI4}", "{direct,reverse,Direct Freq Gen,Reverse DDS}",
                                "{listing,asm,c,json,report,symbols,wav,firmware-avr,firmware-pic}"})
        EXPECT_NE(r.out.find(choices), std::string::npos) << choices;
}

// The same seed draws the same noise on every run; another seed, other noise.
TEST(CommandLine, WavNoiseFollowsItsSeed) {
    const std::vector<std::string> args{"--fref",   "300", "--message", "CQ K1ABC FN42",
                                        "--format", "wav", "--snr",     "-20"};
    const auto with = [&](const char* seed) {
        auto a = args;
        a.insert(a.end(), {"--seed", seed});
        return run(a);
    };
    const CliResult one = with("1");
    EXPECT_EQ(one.status, kExitCompleted);
    EXPECT_EQ(one.out.size(), 44u + 1440000u);
    EXPECT_EQ(with("1").out, one.out);
    EXPECT_NE(with("2").out, one.out);
    EXPECT_NE(run(args).out, run(std::vector<std::string>(args.begin(), args.end() - 2)).out);
}

// The WAV's parts start where the JSON report's transmission says: silence
// before each, sound from its first sample (the PI4 minute with its CW and
// carrier, and JT4's from 1.0 s).
TEST(CommandLine, WavPartsStartWhereTheJsonSays) {
    for (const std::vector<std::string>& beacon :
         {std::vector<std::string>{"--fref", "300", "--submode", "PI4", "--message", "OZ7IGY", "--cw-id", "OZ7IGY"},
          std::vector<std::string>{"--fref", "300", "--message", "CQ K1ABC FN42", "--cw-id", "K1ABC", "--wpm", "30"}}) {
        auto json = beacon;
        json.push_back("--json");
        auto wav = beacon;
        wav.insert(wav.end(), {"--format", "wav"});
        const auto report = nlohmann::json::parse(run(json).out);
        const auto audio = readWav(run(wav).out);
        ASSERT_TRUE(audio.has_value());
        const auto& samples = audio->samples;
        const auto& segments = report["transmission"]["segments"];
        ASSERT_EQ(segments.size(), 3u);
        double previousEnd = 0.0;
        for (const auto& segment : segments) {
            const double start = segment["start_s"];
            const auto first = static_cast<std::size_t>(std::ceil(start * 12000.0 - 1e-6));
            SCOPED_TRACE(segment["name"].get<std::string>());
            // Silent in the gap before it (if there is one), sounding at once.
            if (start - previousEnd > 0.01) {
                const auto gapFirst = static_cast<std::size_t>(std::ceil(previousEnd * 12000.0 + 1.0));
                for (std::size_t i = gapFirst; i < first; ++i) ASSERT_EQ(samples[i], 0) << "sample " << i;
            }
            int loudest = 0;
            for (std::size_t i = first; i < first + 12; ++i) loudest = std::max(loudest, std::abs(int{samples[i]}));
            EXPECT_GT(loudest, 4000) << "at " << start << " s";
            previousEnd = start + segment["length_s"].get<double>();
        }
    }
}

// A standard output that takes nothing, as on a full disk: at once, or only
// when the buffer is flushed at the end.
class FullDisk : public std::streambuf {
public:
    explicit FullDisk(bool failsAtOnce) : failsAtOnce_(failsAtOnce) {}

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        pending_ += n;
        return failsAtOnce_ ? 0 : n;
    }
    int_type overflow(int_type c) override { return xsputn(nullptr, 1) == 1 ? c : traits_type::eof(); }
    // Only what is waiting in the buffer can fail to arrive.
    int sync() override { return pending_ > 0 ? -1 : 0; }

private:
    bool failsAtOnce_;
    std::streamsize pending_ = 0;
};

struct FullDiskCase {
    const char* name;
    std::vector<std::string> args;
    bool failsAtOnce;
};

const FullDiskCase kFullDiskCases[] = {
    {.name = "listing_write_fails", .args = {"--fref", "300"}, .failsAtOnce = true},
    {.name = "listing_flush_fails", .args = {"--fref", "300"}, .failsAtOnce = false},
    {.name = "report_of_an_early_end", .args = {"--mult=", "--format", "json"}, .failsAtOnce = true},
    {.name = "search_table", .args = {"--find", "--mults", "24", "--refs", "300"}, .failsAtOnce = false},
    {.name = "version", .args = {"--version"}, .failsAtOnce = true},
};

class FullStandardOutput : public testing::TestWithParam<FullDiskCase> {};

// Output that never arrived used to leave with status 0.
TEST_P(FullStandardOutput, IsAFailureThatSaysSo) {
    const FullDiskCase& c = GetParam();
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "jt4dds-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    FullDisk disk(c.failsAtOnce);
    std::ostream out(&disk);
    std::ostringstream err;
    EXPECT_EQ(runCli(argv, out, err), kExitCannotWrite);
    EXPECT_TRUE(err.str().ends_with("jt4dds-cli: cannot write the standard output\n")) << err.str();
}

INSTANTIATE_TEST_SUITE_P(Table, FullStandardOutput, testing::ValuesIn(kFullDiskCases), testing_support::CaseName{});

TEST(FullStandardOutput, NothingWrittenIsNoFailure) {
    FullDisk disk(true);
    std::ostream out(&disk);
    std::ostringstream err;
    const std::string file = testing::TempDir() + "full_stdout_words.h";
    const char* argv[] = {"jt4dds-cli", "--fref", "300", "--format", "c", "--output", file.c_str()};
    EXPECT_EQ(runCli(argv, out, err), kExitCompleted) << err.str();
    std::remove(file.c_str());
}

// A minute of audio once went into the terminal as 1.4 MB of binary.
TEST(WavToATerminal, IsRefusedUnlessWrittenToAFile) {
    const std::string file = testing::TempDir() + "terminal_minute.wav";
    const char* toTerminal[] = {"jt4dds-cli", "--fref", "300", "--message", "CQ K1ABC FN42", "--format", "wav"};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCli(toTerminal, out, err, OutputTo::Terminal), kExitUsage);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(),
              "jt4dds-cli: --format wav writes binary audio, which a terminal cannot show: give --output FILE, or "
              "redirect the standard output to a file (see jt4dds-cli --help)\n");
    const char* toFile[] = {"jt4dds-cli", "--fref", "300",     "--message", "CQ K1ABC FN42",
                            "--format",   "wav",    "--quiet", "--output",  file.c_str()};
    std::ostringstream fileOut;
    std::ostringstream fileErr;
    EXPECT_EQ(runCli(toFile, fileOut, fileErr, OutputTo::Terminal), kExitCompleted) << fileErr.str();
    EXPECT_EQ(fileOut.str(), "");
    std::remove(file.c_str());
}

struct TopCase {
    const char* name;
    std::string top;
    std::size_t candidates;  // 0: refused
};

// --top bounds the candidates listed, and is checked.
const TopCase kTops[] = {
    {.name = "one", .top = "1", .candidates = 1},
    {.name = "two", .top = "2", .candidates = 2},
    {.name = "more_than_there_are", .top = "1000", .candidates = 3},
    {.name = "zero_is_refused", .top = "0", .candidates = 0},
    {.name = "one_past_the_bound_is_refused", .top = "1001", .candidates = 0},
};

class FindTop : public testing::TestWithParam<TopCase> {};

TEST_P(FindTop, ListsAtMostThatMany) {
    const CliResult r =
        run({"--find", "--mults", "24", "--refs", "250-400/50", "--format", "json", "--top", GetParam().top});
    if (GetParam().candidates == 0) {
        EXPECT_EQ(r.status, kExitUsage);
        EXPECT_NE(r.err.find("--top"), std::string::npos) << r.err;
        return;
    }
    ASSERT_EQ(r.status, kExitCompleted) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["candidates"].size(), GetParam().candidates);
}

INSTANTIATE_TEST_SUITE_P(Table, FindTop, testing::ValuesIn(kTops), testing_support::CaseName{});

// The search's JSON counts every rejected pair once, by the first rule it
// fails; a chip keeps the default references and every candidate under its
// clock, and each candidate names its chain and margin.
TEST(FindJson, RejectedCountsAddUpUnderTheChipsClock) {
    const CliResult r = run({"--find", "--format", "json", "--fout", "24048.1", "--submode", "F", "--dds", "AD9851"});
    ASSERT_EQ(r.status, kExitCompleted) << r.err;
    const auto found = nlohmann::json::parse(r.out);
    std::size_t counted = 0;
    for (const auto& [kind, count] : found["rejected_by"].items()) counted += count.get<std::size_t>();
    EXPECT_EQ(counted, found["rejected"].get<std::size_t>());
    EXPECT_EQ(found["judged"].get<std::size_t>(), 42u * 341u);  // x1 to x1152 by 10 to 180 MHz in halves
    ASSERT_FALSE(found["candidates"].empty());
    for (const auto& c : found["candidates"]) {
        EXPECT_LE(c["fref_mhz"].get<double>(), 180.0);
        EXPECT_TRUE(c["chain"].is_string());
        EXPECT_NEAR(c["dds_margin"].get<double>(), 0.35 - c["dds_share"].get<double>(), 1e-12);
        EXPECT_NE(c["command"].get<std::string>().find(" --dds AD9851"), std::string::npos);
    }
}

struct QuietCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string err;  // all of standard error
};

// --quiet says nothing unless a finding is an error or a warning; a search
// that finds nothing says why once, in what it prints.
const QuietCase kQuiet[] = {
    {.name = "quiet_clean_plan", .args = {"--quiet", "--fref", "300"}, .status = kExitCompleted, .err = ""},
    {.name = "quiet_note_only",
     .args = {"--quiet", "--fref", "300", "--submode", "PI4"},
     .status = kExitCompleted,
     .err = ""},
    {.name = "quiet_warning_said",
     .args = {"--quiet", "--fref", "300", "--aux", "1000,5"},
     .status = kExitCompleted,
     .err = "jt4dds-cli: warning: Aux Tone: reads 1000 Hz; ',5' ignored (the decimal point is '.'). Fix: type "
            "1000.5\n"},
    {.name = "quiet_stop_said",
     .args = {"--quiet", "--mult="},
     .status = kExitEndedEarly,
     .err = "Calculation stopped: RF Multiplication reads 0: the DDS frequency is the output frequency divided by it, "
            "so nothing can be calculated.\njt4dds-cli: warning: RF Multiplication: is empty and reads 0\n"
            "jt4dds-cli: error: Calculation: RF Multiplication reads 0: the DDS frequency is the output frequency "
            "divided by it, so nothing can be calculated.\n"},
    {.name = "no_candidate_said_once_in_the_table",
     .args = {"--find", "--fout", "10368.9", "--submode", "A", "--mults", "96", "--refs", "100-120"},
     .status = kExitNoCandidate,
     .err = ""},
    {.name = "no_candidate_said_once_in_json",
     .args = {"--find", "--format", "json", "--fout", "10368.9", "--submode", "A", "--mults", "96", "--refs",
              "100-120"},
     .status = kExitNoCandidate,
     .err = ""},
};

class QuietOutput : public testing::TestWithParam<QuietCase> {};

TEST_P(QuietOutput, SaysOnlyWhatIsAsked) {
    const CliResult r = run(GetParam().args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.err, GetParam().err);
    if (GetParam().status == kExitNoCandidate) {
        EXPECT_NE(r.out.find("no candidate makes a clean beacon"), std::string::npos) << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, QuietOutput, testing::ValuesIn(kQuiet), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
