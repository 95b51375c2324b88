// SPDX-License-Identifier: GPL-3.0-or-later
// Built with one input more than the product has (JT4DDS_TEST_EXTRA_INPUT):
// an input is added in the input table alone, and the command line, beacon
// files, the JSON report and the copied command line all take it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "calc/tuning/beacon.h"
#include "formats/beacon_file.h"
#include "formats/search_output.h"
#include "tests/cli/cli_runner.h"

namespace jt4dds {
namespace {

using testing_support::runTool;

static_assert(kInputCount == 8, "this build has the test's extra input");

TEST(ExtraInput, HasItsOptionInTheHelp) {
    const auto r = runTool({"--help"});
    EXPECT_NE(r.out.find("--test-extra"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("An input only tests have"), std::string::npos);
}

TEST(ExtraInput, IsKeptInBeaconFilesAndReadBack) {
    const auto path = std::filesystem::temp_directory_path() / "jt4dds_extra_input.jt4dds";
    const auto r = runTool({"--test-extra", "9 Hz", "--save-beacon", path.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"test_extra\": \"9 Hz\""), std::string::npos) << text;
    const auto read = readBeacon(text);
    ASSERT_EQ(read.index(), 0u);
    EXPECT_EQ(std::get<Beacon>(read).text(Input::TestExtra), "9 Hz");
    // A file without it lacks a field this program needs.
    std::string without = text;
    without.erase(without.find(",\n    \"test_extra\""), std::string(",\n    \"test_extra\": \"9 Hz\"").size());
    const auto refused = readBeacon(without);
    ASSERT_EQ(refused.index(), 1u);
    EXPECT_EQ(std::get<std::string>(refused), "\"fields\".\"test_extra\" is missing");
    // Taken from the file by --beacon, and over it by the option.
    const auto fromFile = runTool({"--beacon", path.string(), "--json"});
    EXPECT_EQ(nlohmann::json::parse(fromFile.out)["inputs"]["test_extra"], "9 Hz");
    const auto over = runTool({"--beacon", path.string(), "--test-extra", "10", "--json"});
    EXPECT_EQ(nlohmann::json::parse(over.out)["inputs"]["test_extra"], "10");
    std::filesystem::remove(path);
}

TEST(ExtraInput, IsInTheReportAndTheCommandLine) {
    const auto r = runTool({"--test-extra", "11", "--json"});
    EXPECT_EQ(nlohmann::json::parse(r.out)["inputs"]["test_extra"], "11");
    Beacon beacon;
    EXPECT_EQ(beacon.text(Input::TestExtra), "7");  // its initial text
    beacon.text(Input::TestExtra) = "12";
    EXPECT_NE(cliCommand(beacon).find(" --test-extra 12"), std::string::npos) << cliCommand(beacon);
    EXPECT_EQ(specOf(Input::TestExtra).control, "TestExtra");  // the window's and the page's binding
}

}  // namespace
}  // namespace jt4dds
