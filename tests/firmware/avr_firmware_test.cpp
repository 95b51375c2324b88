// SPDX-License-Identifier: GPL-3.0-or-later
// The ATmega328P firmware, proved: each beacon's file is made by the command
// line, built with avr-gcc, run in simavr for two minutes from a minute pulse,
// and the frames the DDS would take are decoded from its pins and held
// against the JSON report's plan of the same beacon: the enable and
// power-down frames first, then each minute's frames, word for word, each
// latched within one timer count of its planned time. The checker is tested
// too: engines broken as real ones break must each fail it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "calc/hearing/simulation.h"
#include "formats/wav.h"
#include "tests/cli/cli_runner.h"
#include "tests/firmware/avr_harness.h"
#include "tests/firmware/frame_check.h"

namespace {

using jt4dds::testing_support::AvrRun;
using jt4dds::testing_support::checkFrames;
using jt4dds::testing_support::decodedByJt9;
using jt4dds::testing_support::heardFirmware;
using jt4dds::testing_support::runAvr;
using jt4dds::testing_support::runTool;

struct Beacon {
    const char* name;
    std::vector<std::string> args;
    std::uint32_t clockHz;
    int prescale;
};

std::vector<std::string> withMessage(std::vector<std::string> args) {
    args.insert(args.end(), {"--fout", "10368.9", "--mult", "192", "--fref", "176", "--force"});
    return args;
}

const Beacon kBeacons[] = {
    {"jt4g_the_issues_plan", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}), 16000000,
     64},
    {"jt4a", withMessage({"--submode", "A", "--message", "CQ K1ABC FN42", "--cw-id", "K1ABC"}), 16000000, 64},
    {"jt4b_8mhz_prescaler_256", withMessage({"--submode", "B", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}), 8000000,
     256},
    {"jt4c_20mhz_prescaler_1024", withMessage({"--submode", "C", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}),
     20000000, 1024},
    {"jt4d", withMessage({"--submode", "D", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}), 16000000, 64},
    {"jt4e", withMessage({"--submode", "E", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}), 16000000, 256},
    {"jt4f", withMessage({"--submode", "F", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}), 16000000, 64},
    {"pi4_from_0_s", withMessage({"--submode", "PI4", "--message", "OZ7IGY", "--cw-id", "OZ7IGY"}), 16000000, 64},
    {"no_cw", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--no-cw"}), 16000000, 64},
    {"no_carrier", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ", "--no-carrier"}),
     16000000, 64},
    {"cw_at_5_wpm", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4", "--wpm", "5"}), 16000000,
     64},
    {"cw_at_60_wpm", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ JO01", "--wpm", "60"}),
     16000000, 64},
};

std::vector<std::string> controllerArgs(const Beacon& b) {
    std::vector<std::string> args = b.args;
    args.insert(args.end(), {"--mcu-clock", std::to_string(b.clockHz), "--timer-prescale", std::to_string(b.prescale)});
    return args;
}

std::filesystem::path scratch(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / "jt4dds_firmware_test";
    std::filesystem::create_directories(dir);
    return dir / name;
}

// Builds `source` as the README says; the compiler's words when it fails.
std::string build(const std::string& source, const std::filesystem::path& elf, std::uint32_t clockHz) {
    const auto c = std::filesystem::path(elf).replace_extension(".c");
    const auto log = std::filesystem::path(elf).replace_extension(".log");
    std::ofstream(c, std::ios::binary) << source;
    const std::string command = "avr-gcc -mmcu=atmega328p -DF_CPU=" + std::to_string(clockHz) +
                                "UL -Os -Wall -Werror -o " + elf.string() + " " + c.string() + " 2> " + log.string();
    if (std::system(command.c_str()) == 0) return {};
    std::ostringstream said;
    said << std::ifstream(log).rdbuf();
    return "avr-gcc failed: " + said.str();
}

// What the firmware did, held against the report: a count is `prescale`
// CPU cycles, and a latch lies within it.
std::string check(const AvrRun& run, const nlohmann::json& report, const Beacon& b,
                  const std::vector<std::uint64_t>& pulses) {
    if (!run.loaded) return "the ELF file could not be loaded";
    const auto perCount = static_cast<std::uint64_t>(b.prescale);
    const auto within = static_cast<std::int64_t>(perCount) - 1;
    return checkFrames(run.latches, report, pulses, {perCount, within, within});
}

// Makes, builds and runs the file `edit` leaves of the beacon's firmware, and checks it.
std::string prove(const Beacon& b, const std::string& tag, std::string (*edit)(std::string) = nullptr) {
    auto args = controllerArgs(b);
    args.insert(args.end(), {"--format", "firmware-avr"});
    const auto made = runTool(args);
    if (made.status != 0) return "jt4dds-cli said " + std::to_string(made.status) + ": " + made.err;
    auto jsonArgs = controllerArgs(b);
    jsonArgs.insert(jsonArgs.end(), {"--format", "json"});
    const auto report = nlohmann::json::parse(runTool(jsonArgs).out);
    const auto elf = scratch(std::string(b.name) + tag + ".elf");
    if (const auto failed = build(edit ? edit(made.out) : made.out, elf, b.clockHz); !failed.empty()) return failed;
    const std::uint64_t pulse = b.clockHz / 4;
    const std::vector<std::uint64_t> pulses{pulse, pulse + 60ull * b.clockHz};
    const AvrRun run = runAvr(elf.string(), b.clockHz, pulses, pulses.back() + 60ull * b.clockHz - b.clockHz / 10);
    return check(run, report, b, pulses);
}

class AvrFirmware : public ::testing::TestWithParam<Beacon> {};

TEST_P(AvrFirmware, KeysEveryFrameOnItsCount) { EXPECT_EQ(prove(GetParam(), ""), ""); }

INSTANTIATE_TEST_SUITE_P(Table, AvrFirmware, ::testing::ValuesIn(kBeacons),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(AvrFirmwareSize, TheIssuesPlanFitsInTwoKilobytesWithNoWarning) {
    const Beacon& b = kBeacons[0];
    auto args = b.args;
    args.insert(args.end(), {"--format", "firmware-avr"});
    const auto made = runTool(args);
    ASSERT_EQ(made.status, 0) << made.err;
    const auto elf = scratch("size.elf");
    ASSERT_EQ(build(made.out, elf, 16000000), "");
    const AvrRun run = runAvr(elf.string(), 16000000, {}, 0);
    EXPECT_TRUE(run.loaded);
    EXPECT_LT(run.flashBytes, 2048u);
}

// Faults a hand-written controller has; each must fail the check.
struct Broken {
    const char* name;
    std::string (*edit)(std::string);
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at == std::string::npos) return "#error the broken engine's edit found nothing to change: " + from + "\n";
    return text.replace(at, from.size(), to);
}

const Broken kBroken[] = {
    {"bits_most_significant_first",
     [](std::string t) {
         return replaced(replaced(std::move(t), "(uint8_t)(word & 1u)", "(uint8_t)(word >> 31)"), "word >>= 1;",
                         "word <<= 1;");
     }},
    {"symbol_period_one_count_long",
     [](std::string t) {
         return replaced(std::move(t), "w->at += JT4DDS_SYMBOL_COUNTS;", "w->at += JT4DDS_SYMBOL_COUNTS + 1;");
     }},
    {"cw_keys_swapped",
     [](std::string t) {
         return replaced(std::move(t), "run > 0 ? JT4DDS_KEY_DOWN : JT4DDS_KEY_UP",
                         "run > 0 ? JT4DDS_KEY_UP : JT4DDS_KEY_DOWN");
     }},
    {"control_byte_missing", [](std::string t) { return replaced(std::move(t), "i < 40; ++i", "i < 32; ++i"); }},
    {"compare_delay_uncompensated",
     [](std::string t) { return replaced(std::move(t), "alarm = (uint16_t)(captured - 1u);", "alarm = captured;"); }},
    {"stale_word_table",
     [](std::string t) {
         const auto at = t.find("UL, /* Tone 2 ");
         return at == std::string::npos ? "#error no tone 2 row\n"
                                        : t.replace(at - 1, 1, at > 0 && t[at - 1] == '0' ? "1" : "0");
     }},
};

class BrokenEngine : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenEngine, FailsTheCheck) {
    const std::string said = prove(kBeacons[0], GetParam().name, GetParam().edit);
    EXPECT_NE(said, "");
    EXPECT_EQ(said.find("avr-gcc failed"), std::string::npos) << said;
    std::cout << GetParam().name << ": " << said << '\n';
}

INSTANTIATE_TEST_SUITE_P(Faults, BrokenEngine, ::testing::ValuesIn(kBroken),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace

namespace {

// What the firmware sends, heard and decoded by jt9: the message comes back.
TEST(HeardFirmware, Jt9DecodesTheFirmwaresOwnMinute) {
    const Beacon& b = kBeacons[0];
    auto args = controllerArgs(b);
    args.insert(args.end(), {"--format", "firmware-avr"});
    const auto made = runTool(args);
    ASSERT_EQ(made.status, 0) << made.err;
    auto jsonArgs = controllerArgs(b);
    jsonArgs.insert(jsonArgs.end(), {"--format", "json"});
    const auto report = nlohmann::json::parse(runTool(jsonArgs).out);
    const auto elf = scratch("heard.elf");
    ASSERT_EQ(build(made.out, elf, b.clockHz), "");
    const std::uint64_t pulse = b.clockHz / 4;
    const AvrRun run = runAvr(elf.string(), b.clockHz, {pulse}, pulse + 60ull * b.clockHz);
    ASSERT_EQ(check(run, report, b, {pulse}), "");
    const std::string decoded =
        decodedByJt9(heardFirmware(run.latches, report, pulse, b.clockHz), report, 'G', scratch("").string());
    EXPECT_NE(decoded.find("G4XYZ IO91"), std::string::npos) << "jt9 heard: " << decoded;
}

}  // namespace
