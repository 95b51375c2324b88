// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/search_output.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "calc/tuning/beacon.h"
#include "tests/case_name.h"

namespace jt4dds {
namespace {

// Downloads are named after the beacon: its name, else the call in its
// message, else its frequency; never a character a file name may not hold.
struct StemCase {
    const char* name;
    std::string beaconName{};  // none given
    std::string message{};     // none typed
    std::string fout;
    std::string stem;
};

const StemCase kStems[] = {
    {.name = "named", .beaconName = "bake_13cm", .message = "CQ K1ABC FN42", .fout = "2320.1", .stem = "bake_13cm"},
    {.name = "jt4_call_after_cq", .message = "CQ K1ABC FN42", .fout = "2320.1", .stem = "K1ABC"},
    {.name = "pi4_call", .message = "OZ7IGY", .fout = "2320.1", .stem = "OZ7IGY"},
    {.name = "portable_call_slash", .message = "PA/OZ7IGY", .fout = "2320.1", .stem = "PA-OZ7IGY"},
    {.name = "free_text_without_a_call", .message = "HELLO", .fout = "2320.1", .stem = "beacon_2320.1MHz"},
    {.name = "digits_alone_are_no_call", .message = "73 73", .fout = "144.4", .stem = "beacon_144.4MHz"},
    {.name = "no_message", .fout = "10368.9", .stem = "beacon_10368.9MHz"},
    {.name = "frequency_typed_with_a_unit_and_blanks", .fout = " 2320,1 MHz/", .stem = "beacon_23201MHz-MHz"},
    {.name = "frequency_nothing_safe", .fout = "\xE2\x80\x94", .stem = "beacon_unnamed"},
};

class Stems : public testing::TestWithParam<StemCase> {};

TEST_P(Stems, NamedAfterTheBeacon) {
    Beacon beacon;
    beacon.name = GetParam().beaconName;
    beacon.message = GetParam().message;
    beacon.text(Input::OutputFrequency) = GetParam().fout;
    EXPECT_EQ(downloadStem(beacon), GetParam().stem);
}

INSTANTIATE_TEST_SUITE_P(Table, Stems, testing::ValuesIn(kStems), testing_support::CaseName{});

// The command line carries the DDS chip and maximum clock only when given.
TEST(CliCommand, CarriesTheDdsWhenGiven) {
    Beacon beacon;
    EXPECT_EQ(cliCommand(beacon).find("--dds"), std::string::npos);
    EXPECT_EQ(cliCommand(beacon).find("--max-clock"), std::string::npos);
    beacon.dds = "AD9851";
    beacon.maxClockMHz = "170.5";
    EXPECT_TRUE(cliCommand(beacon).ends_with(" --config direct --dds AD9851 --max-clock 170.5")) << cliCommand(beacon);
}

// What both Find settings views say of a search and of lists they cannot read.
TEST(FindSettingsTexts, CountsNextStepAndRejections) {
    Beacon beacon;
    const auto lists = readCandidateLists("24", "250,300");
    ASSERT_TRUE(std::holds_alternative<CandidateLists>(lists));
    const SearchResult some =
        findSettings(beacon, std::get<CandidateLists>(lists).mults, std::get<CandidateLists>(lists).refs);
    ASSERT_FALSE(some.best.empty());
    EXPECT_TRUE(searchStatus(some).starts_with("2 candidates judged, 1 rejected. Best first; click a heading to sort"))
        << searchStatus(some);
    std::size_t lines = 0;
    for (const auto& [kind, count] : some.rejectedBy)
        lines +=
            rejectedLines(some).find(std::to_string(count) + " by " + std::string(kindName(kind))) != std::string::npos;
    EXPECT_EQ(lines, some.rejectedBy.size()) << rejectedLines(some);

    const auto tooFew = readCandidateLists("1", "10");
    const SearchResult none =
        findSettings(beacon, std::get<CandidateLists>(tooFew).mults, std::get<CandidateLists>(tooFew).refs);
    ASSERT_TRUE(none.best.empty());
    EXPECT_EQ(searchStatus(none), "1 candidate judged, 1 rejected. " + none.reason);  // it said "1 candidates"
    EXPECT_EQ(rejectedLines(SearchResult{}), "");
}

TEST(FindSettingsTexts, NameTheListThatCannotBeRead) {
    EXPECT_EQ(std::get<std::string>(readCandidateLists("1-", "100")).rfind("RF multiplications: ", 0), 0u);
    EXPECT_EQ(std::get<std::string>(readCandidateLists("24", "10-5")).rfind("Master references: '10-5'", 0), 0u);
    EXPECT_EQ(std::get<std::string>(readCandidateLists("x", "y")).rfind("RF multiplications: ", 0), 0u);
}

}  // namespace
}  // namespace jt4dds
