// SPDX-License-Identifier: GPL-3.0-or-later
// The PIC16F628A firmware, proved as the ATmega328P's is: each beacon's
// gpasm source is made by the command line, assembled with gpasm (no
// warning, no message), run in gpsim for two minutes from a minute pulse,
// and the frames the DDS would take are read back from its PORTA writes and
// held against the JSON report's plan of the same beacon. Engines broken as
// real ones break must each fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/firmware/frame_check.h"
#include "tests/firmware/pic_harness.h"

namespace {

using jt4dds::testing_support::checkFrames;
using jt4dds::testing_support::decodedByJt9;
using jt4dds::testing_support::heardFirmware;
using jt4dds::testing_support::PicRun;
using jt4dds::testing_support::runPic;
using jt4dds::testing_support::runTool;

struct Beacon {
    const char* name;
    std::vector<std::string> args;
    std::uint32_t clockHz;
};

std::vector<std::string> withMessage(std::vector<std::string> args) {
    args.insert(args.end(), {"--fout", "10368.9", "--mult", "192", "--fref", "176", "--force"});
    return args;
}

const Beacon kBeacons[] = {
    {"jt4g_the_issues_plan", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}), 4000000},
    {"jt4a", withMessage({"--submode", "A", "--message", "CQ K1ABC FN42", "--cw-id", "K1ABC"}), 4000000},
    {"jt4d_8mhz_crystal", withMessage({"--submode", "D", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ"}), 8000000},
    {"pi4_from_0_s", withMessage({"--submode", "PI4", "--message", "OZ7IGY", "--cw-id", "OZ7IGY"}), 4000000},
    {"no_cw", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--no-cw"}), 4000000},
    {"no_carrier", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ", "--no-carrier"}),
     4000000},
    {"cw_at_5_wpm", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4", "--wpm", "5"}), 4000000},
    {"cw_at_60_wpm", withMessage({"--submode", "G", "--message", "G4XYZ IO91", "--cw-id", "G4XYZ JO01", "--wpm", "60"}),
     4000000},
};

std::filesystem::path scratch(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / "jt4dds_pic_firmware_test" / name;
    std::filesystem::create_directories(dir);
    return dir;
}

// Assembles `source` as the file's comment says; gpasm's words when it
// fails or says anything at all.
std::string assemble(const std::string& source, const std::filesystem::path& dir) {
    std::ofstream(dir / "beacon.asm", std::ios::binary) << source;
    const std::string command = "cd " + dir.string() + " && gpasm -o beacon.hex beacon.asm > gpasm.txt 2>&1";
    const int status = std::system(command.c_str());
    std::ostringstream said;
    said << std::ifstream(dir / "gpasm.txt").rdbuf();
    if (status != 0 || said.str().find_first_not_of(" \n") != std::string::npos) return "gpasm: " + said.str();
    return {};
}

// Makes, assembles and runs the file `edit` leaves of the beacon's firmware,
// and checks it: the PIC's timer counts instruction cycles at 1:1, a latch
// lies within one of its count, and a frame at the pulse itself within the
// 4 cycles the engine takes to see the pulse.
std::string prove(const Beacon& b, const std::string& tag, std::string (*edit)(std::string) = nullptr) {
    auto args = b.args;
    args.insert(args.end(), {"--mcu-clock", std::to_string(b.clockHz)});
    auto firmwareArgs = args;
    firmwareArgs.insert(firmwareArgs.end(), {"--format", "firmware-pic"});
    const auto made = runTool(firmwareArgs);
    if (made.status != 0) return "jt4dds-cli said " + std::to_string(made.status) + ": " + made.err;
    args.insert(args.end(), {"--mcu", "PIC16F628A", "--format", "json"});
    const auto report = nlohmann::json::parse(runTool(args).out);
    const auto dir = scratch(std::string(b.name) + tag);
    if (const auto failed = assemble(edit ? edit(made.out) : made.out, dir); !failed.empty()) return failed;
    // The program memory the file's comment (and the plan check) counts is gpasm's.
    std::ostringstream listing;
    listing << std::ifstream(dir / "beacon.lst").rdbuf();
    const auto used = listing.str().find("Program Memory Words Used:");
    const auto said = made.out.find("; Program memory: ");
    if (!edit && (used == std::string::npos || said == std::string::npos ||
                  std::stoi(listing.str().substr(used + 26)) != std::stoi(made.out.substr(said + 18))))
        return "the file's program memory is not gpasm's count";
    const std::uint64_t minute = 60ull * b.clockHz / 4;
    const std::uint64_t pulse = minute / 240;
    const std::vector<std::uint64_t> pulses{pulse, pulse + minute};
    const PicRun run = runPic((dir / "beacon.cod").string(), pulses, pulses.back() + minute - minute / 600, dir);
    if (!run.ran) return run.said;
    return checkFrames(run.latches, report, pulses, {1, 1, 4});
}

class PicFirmware : public ::testing::TestWithParam<Beacon> {};

TEST_P(PicFirmware, KeysEveryFrameOnItsCount) { EXPECT_EQ(prove(GetParam(), ""), ""); }

INSTANTIATE_TEST_SUITE_P(Table, PicFirmware, ::testing::ValuesIn(kBeacons),
                         [](const auto& row) { return std::string(row.param.name); });

struct Broken {
    const char* name;
    std::string (*edit)(std::string);
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at == std::string::npos) return "    error \"the broken engine's edit found nothing to change\"\n";
    return text.replace(at, from.size(), to);
}

const Broken kBroken[] = {
    {"bits_most_significant_first",
     [](std::string t) {
         return replaced(replaced(std::move(t), "btfsc shifted, 0", "btfsc shifted, 7"), "rrf shifted, f",
                         "rlf shifted, f");
     }},
    {"symbol_period_one_count_long",
     [](std::string t) {
         return replaced(std::move(t), "load32 addend, SYMBOL_COUNTS", "load32 addend, SYMBOL_COUNTS + 1");
     }},
    {"cw_keys_swapped",
     [](std::string t) {
         return replaced(replaced(std::move(t), "movlw TONE_KEY_UP ", "movlw TONE_KEY_DOWN "), "movlw TONE_KEY_DOWN\n",
                         "movlw TONE_KEY_UP\n");
     }},
    {"control_byte_missing",
     [](std::string t) { return replaced(std::move(t), "    movlw DDS_CONTROL\n    goto shift_byte", "    return"); }},
    {"compare_delay_uncompensated",
     [](std::string t) { return replaced(std::move(t), "LATCH_LEAD equ 3", "LATCH_LEAD equ 0"); }},
    {"stale_word_table",
     [](std::string t) {
         const auto at = t.find("    ;  Tone 2 ");
         return at == std::string::npos ? "    error \"no tone 2 row\"\n"
                                        : t.replace(at - 1, 1, at > 0 && t[at - 1] == '0' ? "1" : "0");
     }},
};

class BrokenPicEngine : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenPicEngine, FailsTheCheck) {
    const std::string said = prove(kBeacons[0], GetParam().name, GetParam().edit);
    EXPECT_NE(said, "");
    EXPECT_EQ(said.find("gpasm"), std::string::npos) << said;
    std::cout << GetParam().name << ": " << said << '\n';
}

INSTANTIATE_TEST_SUITE_P(Faults, BrokenPicEngine, ::testing::ValuesIn(kBroken),
                         [](const auto& row) { return std::string(row.param.name); });

// What the PIC sends, heard and decoded by jt9: the message comes back.
TEST(HeardPicFirmware, Jt9DecodesThePicsOwnMinute) {
    const Beacon& b = kBeacons[0];
    auto args = b.args;
    args.insert(args.end(), {"--format", "firmware-pic"});
    const auto made = runTool(args);
    ASSERT_EQ(made.status, 0) << made.err;
    auto jsonArgs = b.args;
    jsonArgs.insert(jsonArgs.end(), {"--mcu", "PIC16F628A", "--format", "json"});
    const auto report = nlohmann::json::parse(runTool(jsonArgs).out);
    const auto dir = scratch("heard");
    ASSERT_EQ(assemble(made.out, dir), "");
    const std::uint64_t cyclesPerSecond = b.clockHz / 4;
    const std::uint64_t pulse = cyclesPerSecond / 4;
    const PicRun run = runPic((dir / "beacon.cod").string(), {pulse}, pulse + 60 * cyclesPerSecond, dir.string());
    ASSERT_TRUE(run.ran) << run.said;
    ASSERT_EQ(checkFrames(run.latches, report, {pulse}, {1, 1, 4}), "");
    const std::string decoded = decodedByJt9(
        heardFirmware(run.latches, report, pulse, static_cast<double>(cyclesPerSecond)), report, 'G', dir.string());
    EXPECT_NE(decoded.find("G4XYZ IO91"), std::string::npos) << "jt9 heard: " << decoded;
}

}  // namespace
