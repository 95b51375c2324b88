// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "tests/case_name.h"
#include "tests/cli/cli_runner.h"

namespace jt4dds {
namespace {

namespace fs = std::filesystem;

using testing_support::CliResult;
CliResult run(std::vector<std::string> args) { return testing_support::runTool(std::move(args)); }

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "jt4dds-test-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path operator/(const char* name) const { return dir_ / name; }
    const fs::path& path() const { return dir_; }

private:
    fs::path dir_;
};

// The eight words as the JSON report gives them, most significant byte first.
std::vector<std::uint8_t> wordBytes(const std::vector<std::string>& beacon) {
    auto args = beacon;
    args.push_back("--json");
    const auto report = nlohmann::json::parse(run(args).out);
    std::vector<std::uint8_t> bytes;
    for (const auto& row : report["rows"]) {
        const auto word = static_cast<std::uint32_t>(row["word"].get<std::int32_t>());
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    }
    return bytes;
}

struct BeaconCase {
    const char* name;
    std::vector<std::string> args;
};

const BeaconCase kBeacons[] = {
    {.name = "reference_300", .args = {"--fref", "300"}},
    {.name = "reverse_2m", .args = {"--fout", "144.4", "--mult", "1", "--fref", "10", "--config", "reverse"}},
    {.name = "negative_words_forced", .args = {"--fout=-10", "--mult", "1", "--fref", "100", "--force"}},
    {.name = "with_a_warning", .args = {"--fref", "300", "--submode", "PI4"}},
};

class FirmwareFormats : public testing::TestWithParam<BeaconCase> {};

// The asm output, included in a minimal PIC program at the data EEPROM origin,
// assembles with gpasm, and the EEPROM image holds exactly the eight words.
TEST_P(FirmwareFormats, AsmAssemblesToTheWordsBytes) {
    Scratch dir;
    auto args = GetParam().args;
    args.insert(args.end(), {"--format", "asm", "--output", (dir / "words.inc").string()});
    ASSERT_EQ(run(args).status, kExitCompleted);
    std::ofstream(dir / "main.asm") << "    processor 16f628a\n    org 0x2100\n    include \"words.inc\"\n    end\n";
    const std::string command = "cd '" + dir.path().string() + "' && gpasm -o out.hex main.asm > gpasm.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << slurp(dir / "gpasm.log");

    // Intel HEX: the EEPROM's bytes are the low bytes of the words at 0x2100,
    // that is byte address 0x4200 onwards.
    std::map<std::uint32_t, std::uint8_t> image;
    std::istringstream hex(slurp(dir / "out.hex"));
    std::uint32_t upper = 0;
    for (std::string line; std::getline(hex, line);) {
        if (line.empty() || line[0] != ':') continue;
        const auto byteAt = [&line](std::size_t i) {
            return static_cast<std::uint8_t>(std::stoul(line.substr(1 + 2 * i, 2), nullptr, 16));
        };
        const std::uint32_t count = byteAt(0);
        const std::uint32_t address = upper + (static_cast<std::uint32_t>(byteAt(1)) << 8 | byteAt(2));
        const int type = byteAt(3);
        if (type == 4) upper = static_cast<std::uint32_t>(byteAt(4) << 8 | byteAt(5)) << 16;
        if (type == 0)
            for (std::uint32_t i = 0; i < count; ++i) image[address + i] = byteAt(4 + i);
    }
    const auto expected = wordBytes(GetParam().args);
    ASSERT_EQ(expected.size(), 32u);
    ASSERT_EQ(image.size(), 64u) << "32 EEPROM bytes, each in a 14-bit word";
    for (std::uint32_t k = 0; k < 32; ++k) {
        EXPECT_EQ(image[0x4200 + 2 * k], expected[k]) << "byte " << k;
        EXPECT_EQ(image[0x4200 + 2 * k + 1], 0) << "byte " << k;
    }
}

// The C header compiles warning-free as C99 into a program that checks its
// bytes against the words, and into one that includes it without using it.
TEST_P(FirmwareFormats, CHeaderCompilesAndHoldsTheWords) {
    Scratch dir;
    auto args = GetParam().args;
    args.insert(args.end(), {"--format", "c", "--output", (dir / "tuning_words.h").string()});
    ASSERT_EQ(run(args).status, kExitCompleted);

    std::ostringstream program;
    program << "#include \"tuning_words.h\"\nstatic const unsigned char expected[32] = {";
    for (const auto b : wordBytes(GetParam().args)) program << static_cast<int>(b) << ",";
    program << "};\nint main(void) {\n  int t, b;\n  for (t = 0; t < JT4DDS_TONE_COUNT; ++t)\n"
               "    for (b = 0; b < 4; ++b) {\n"
               "      if (jt4dds_word_bytes[t][b] != expected[4 * t + b]) return 1;\n"
               "      if (((jt4dds_words[t] >> (24 - 8 * b)) & 0xFFu) != expected[4 * t + b]) return 2;\n"
               "    }\n  return 0;\n}\n";
    std::ofstream(dir / "check.c") << program.str();
    std::ofstream(dir / "unused.c") << "#include \"tuning_words.h\"\nint unused(void) { return 0; }\n";
    const std::string command = "cd '" + dir.path().string() +
                                "' && gcc -std=c99 -Wall -Wextra -Wpedantic -Werror -o check check.c > cc.log 2>&1"
                                " && gcc -std=c99 -Wall -Wextra -Wpedantic -Werror -c unused.c >> cc.log 2>&1"
                                " && ./check";
    EXPECT_EQ(std::system(command.c_str()), 0) << slurp(dir / "cc.log");
}

// A beacon saved with --save-beacon and read back with --beacon gives the
// same output, byte for byte, in every format; options still override it.
TEST_P(FirmwareFormats, SavedBeaconGivesTheSameOutputInEveryFormat) {
    Scratch dir;
    const std::string file = (dir / "b.jt4dds").string();
    auto save = GetParam().args;
    save.insert(save.end(), {"--save-beacon", file});
    ASSERT_NE(run(save).status, kExitCannotWrite);
    for (const char* format : {"listing", "asm", "c", "json", "report"}) {
        auto direct = GetParam().args;
        direct.insert(direct.end(), {"--format", format, "--name", "b"});  // as the file names it
        const CliResult expected = run(direct);
        const CliResult fromFile = run({"--beacon", file, "--format", format, "--force"});
        const CliResult forced = run([&] {
            auto a = direct;
            a.push_back("--force");
            return a;
        }());
        EXPECT_EQ(fromFile.out, forced.out) << format;
        EXPECT_EQ(fromFile.status, forced.status) << format;
        if (expected.status == kExitCompleted) {
            EXPECT_EQ(expected.out, fromFile.out) << format;
        }
    }
    EXPECT_EQ(run({"--beacon", file, "--fref", "400", "--submode", "B"}).out,
              run([&] {
                  std::vector<std::string> a;  // the beacon's own options, but these two
                  const auto& given = GetParam().args;
                  for (std::size_t i = 0; i < given.size(); ++i) {
                      if (given[i] == "--fref" || given[i] == "--submode") {
                          ++i;
                      } else {
                          a.push_back(given[i]);
                      }
                  }
                  a.insert(a.end(), {"--fref", "400", "--submode", "B"});
                  return a;
              }())
                  .out);
}

INSTANTIATE_TEST_SUITE_P(Table, FirmwareFormats, testing::ValuesIn(kBeacons), testing_support::CaseName{});

// Two beacons, one controller: headers named apart compile together and each
// keeps its own words; their asm files assemble into one program.
TEST(NamedFirmwareFiles, TwoBeaconsInOneProgram) {
    Scratch dir;
    const std::vector<std::string> beacon13{"--fref", "300"};
    const std::vector<std::string> beacon3{"--fout", "10368.9", "--mult", "96", "--fref", "400", "--submode", "G"};
    for (const auto& [name, beacon] : {std::pair{"b13cm", beacon13}, std::pair{"b3cm", beacon3}}) {
        for (const char* format : {"c", "asm"}) {
            auto args = beacon;
            const std::string file = std::string(name) + (format == std::string("c") ? ".h" : ".inc");
            args.insert(args.end(), {"--format", format, "--name", name, "--output", (dir / file.c_str()).string()});
            ASSERT_EQ(run(args).status, kExitCompleted) << name;
        }
    }
    std::ofstream(dir / "two.c") << "#include <stdio.h>\n#include \"b13cm.h\"\n#include \"b3cm.h\"\n"
                                    "int main(void) {\n  int t;\n  for (t = 0; t < JT4DDS_TONE_COUNT; ++t)\n"
                                    "    printf(\"%08lX %08lX\\n\", (unsigned long)b13cm_words[t], "
                                    "(unsigned long)b3cm_words[t]);\n"
                                    "  printf(\"%d %d\\n\", B13CM_REFERENCE, B3CM_KEY_DOWN);\n  return 0;\n}\n";
    const std::string cc = "cd '" + dir.path().string() +
                           "' && gcc -std=c99 -Wall -Wextra -Wpedantic -Werror -o two two.c > cc.log 2>&1"
                           " && ./two > two.out";
    ASSERT_EQ(std::system(cc.c_str()), 0) << slurp(dir / "cc.log");
    std::string expected;
    const auto words = [](const std::vector<std::string>& beacon) {
        auto args = beacon;
        args.push_back("--json");
        return nlohmann::json::parse(run(args).out)["rows"];
    };
    const auto rows13 = words(beacon13);
    const auto rows3 = words(beacon3);
    for (std::size_t t = 0; t < 8; ++t)
        expected += rows13[t]["word_hex"].get<std::string>() + " " + rows3[t]["word_hex"].get<std::string>() + "\n";
    EXPECT_EQ(slurp(dir / "two.out"), expected + "4 6\n");

    std::ofstream(dir / "main.asm") << "    processor 16f628a\n    org 0x2100\n    include \"b13cm.inc\"\n"
                                       "    include \"b3cm.inc\"\n    end\n";
    const std::string as = "cd '" + dir.path().string() + "' && gpasm -o out.hex main.asm > gpasm.log 2>&1";
    EXPECT_EQ(std::system(as.c_str()), 0) << slurp(dir / "gpasm.log");
}

// On an AVR the header's tables (words, symbols, parts, CW runs) go to flash
// through its storage macro and leave the RAM's .data empty; without it
// they land there.
TEST(CHeaderStorage, PutsEveryTableInAnAvrsFlash) {
    Scratch dir;
    ASSERT_EQ(run({"--fref", "300", "--submode", "PI4", "--message", "OZ7IGY", "--cw-id", "OZ7IGY", "--timer-hz",
                   "250000", "--format", "c", "--output", (dir / "beacon.h").string()})
                  .status,
              kExitCompleted);
    std::ofstream(dir / "flash.c") << "#include <avr/pgmspace.h>\n#define JT4DDS_STORAGE PROGMEM\n"
                                      "#include \"beacon.h\"\n"
                                      "volatile uint8_t at;\n"
                                      "int main(void) {\n"
                                      "    return (int)(pgm_read_dword(&jt4dds_words[at]) + "
                                      "pgm_read_byte(&jt4dds_symbols[at]));\n}\n";
    std::ofstream(dir / "ram.c") << "#include \"beacon.h\"\nvolatile uint8_t at;\n"
                                    "int main(void) { return (int)(jt4dds_words[at] + jt4dds_symbols[at]); }\n";
    for (const char* name : {"flash", "ram"}) {
        const std::string cc = "cd '" + dir.path().string() + "' && avr-gcc -mmcu=atmega328p -Os -Wall -Werror -o " +
                               name + ".elf " + name + ".c > cc.log 2>&1 && avr-size -A " + name + ".elf > " + name +
                               ".size";
        ASSERT_EQ(std::system(cc.c_str()), 0) << slurp(dir / "cc.log");
    }
    const auto dataBytes = [&dir](const char* name) {
        std::istringstream sizes(slurp(dir.path() / (std::string(name) + ".size")));
        for (std::string line; std::getline(sizes, line);)
            if (line.rfind(".data ", 0) == 0) return std::stoi(line.substr(5));
        return 0;
    };
    EXPECT_EQ(dataBytes("flash"), 0);
    EXPECT_GE(dataBytes("ram"), 32);
}

// A beacon file keeps the beacon's name; its firmware files take it, and
// --name still has the last word.
TEST(NamedFirmwareFiles, TheBeaconFileKeepsTheName) {
    Scratch dir;
    const std::string file = (dir / "b-1.jt4dds").string();
    ASSERT_EQ(run({"--fref", "300", "--name", "bake_2320", "--save-beacon", file}).status, kExitCompleted);
    EXPECT_NE(slurp(file).find("\"name\": \"bake_2320\""), std::string::npos) << slurp(file);
    EXPECT_NE(run({"--beacon", file, "--format", "c"}).out.find("uint32_t bake_2320_words["), std::string::npos);
    EXPECT_NE(run({"--beacon", file, "--format", "c", "--name", "x"}).out.find("uint32_t x_words["), std::string::npos);
    // Saved again without --name, the file keeps its name.
    ASSERT_EQ(run({"--beacon", file, "--fref", "400", "--save-beacon", file}).status, kExitCompleted);
    EXPECT_NE(slurp(file).find("\"name\": \"bake_2320\""), std::string::npos) << slurp(file);
}

struct FirmwareTextCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> holds;
    std::vector<std::string> lacks;
};

// What the comment blocks say, and never say.
const FirmwareTextCase kFirmwareTexts[] = {
    {.name = "pi4_c_names_the_mode_and_notes_the_resolution",
     .args = {"--fref", "300", "--submode", "PI4", "--format", "c"},
     .holds = {" * Mode:            PI4\n", " * Warning:         none\n", " * Note:            the resolution"},
     .lacks = {"JT4PI4", "Resolution too low"}},
    {.name = "pi4_asm_names_the_mode_and_notes_the_resolution",
     .args = {"--fref", "300", "--submode", "PI4", "--format", "asm"},
     .holds = {";Direct Freq Gen   PI4   Ref 300.0MHz\r\n", "; Note: the resolution"},
     .lacks = {"JT4PI4", "Warning"}},
    {.name = "jt4_resolution_warning_stays_a_warning",
     .args = {"--fout", "10368.9", "--mult", "96", "--fref", "1000", "--submode", "A", "--format", "c", "--force"},
     .holds = {" * Warning:         Resolution too low for this mode\n", " * Mode:            JT4A\n"},
     .lacks = {"Note:"}},
    {.name = "exact_reference_not_rounded",
     .args = {"--fref", "399.9987654", "--format", "c"},
     .holds = {" * Reference:       399998765.40000004 Hz\n", "--fref 399.9987654", "\"399.9987654\"\n"},
     .lacks = {}},
    {.name = "whole_plan_and_the_command",
     .args = {"--fref", "300", "--ref800", "--submode", "G", "--name", "bake", "--format", "c"},
     .holds = {" * Written by: jt4dds-cli --fout 2320.1 --mult 24 --fref 300 --submode G --ref800 --ref-tone 800 "
               "--key-up 400 --key-down 800 --aux 1000 --config direct --name bake --format c\n",
               " * 800 Hz option:   on\n", " * Multiplication:  24.0\n", "#ifndef BAKE_TUNING_WORDS_H\n",
               "static const uint32_t bake_words[", "    BAKE_REFERENCE = 4, /* reference tone: the carrier */\n"},
     .lacks = {"jt4dds_words"}},
    {.name = "typed_comment_end_and_line_break_cannot_escape",
     .args = {"--fref", "300*/\nint x;", "--format", "asm", "--force"},
     .holds = {"--fref '300* /\\nint x;'"},
     .lacks = {"\nint x;"}},
    // A forced file's command line, run as it stood, was refused.
    {.name = "forced_file_forces_in_its_command",
     .args = {"--format", "c", "--force"},
     .holds = {"--config direct --format c --force\n"},
     .lacks = {}},
    // A message PI4 cannot send left the header without symbols and without a word.
    {.name = "unsendable_message_is_named_in_the_file",
     .args = {"--fref", "300", "--submode", "PI4", "--message", "G4XYZ IO91", "--format", "asm", "--force"},
     .holds = {"; No message in this file: Message: PI4 sends exactly 8 characters"},
     .lacks = {"SYMBOL"}},
    {.name = "asm_labels_from_the_name",
     .args = {"--fref", "300", "--name", "b1", "--format", "asm"},
     .holds = {"B1_REFERENCE equ 4\r\n", "\r\nb1_FreqData   "},
     .lacks = {"\nFreqData"}},
};

class FirmwareText : public testing::TestWithParam<FirmwareTextCase> {};

TEST_P(FirmwareText, HoldsWhatItShould) {
    const CliResult r = run(GetParam().args);
    ASSERT_EQ(r.status, kExitCompleted) << r.err;
    for (const std::string& text : GetParam().holds)
        EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    for (const std::string& text : GetParam().lacks)
        EXPECT_EQ(r.out.find(text), std::string::npos) << text << "\n" << r.out;
}

INSTANTIATE_TEST_SUITE_P(Table, FirmwareText, testing::ValuesIn(kFirmwareTexts), testing_support::CaseName{});

// The words of a "Written by" line as a shell would split them: blanks
// separate, single quotes keep, '\'' is a quote.
std::vector<std::string> shellWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            word += line.substr(i + 1, end - i - 1);
            i = end;
            inWord = true;
        } else if (line[i] == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (line[i] == ' ') {
            if (inWord) words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            word += line[i];
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// Every firmware file's "Written by" line, run as it stands, writes the file again.
TEST_P(FirmwareText, WrittenByLineWritesItAgain) {
    const CliResult r = run(GetParam().args);
    ASSERT_EQ(r.status, kExitCompleted) << r.err;
    const std::size_t at = r.out.find("Written by: jt4dds-cli ");
    if (at == std::string::npos) GTEST_SKIP() << "no Written by line";
    const std::size_t from = at + std::string_view("Written by: jt4dds-cli ").size();
    std::string line = r.out.substr(from, r.out.find('\n', from) - from);
    if (line.ends_with('\r')) line.pop_back();
    if (line.find("* /") != std::string::npos) GTEST_SKIP() << "a typed comment end is written apart";
    const CliResult again = run(shellWords(line));
    EXPECT_EQ(again.status, kExitCompleted) << line << "\n" << again.err;
    EXPECT_EQ(again.out, r.out) << line;
}

struct NameCase {
    const char* name;
    std::vector<std::string> args;
    std::optional<std::string> identifier{};  // of the words; none: refused
};

const NameCase kNames[] = {
    {.name = "given", .args = {"--name", "Bake_2"}, .identifier = "Bake_2_words"},
    {.name = "longest", .args = {"--name", std::string(31, 'a')}, .identifier = std::string(31, 'a') + "_words"},
    {.name = "one_too_long", .args = {"--name", std::string(32, 'a')}},
    {.name = "leading_digit", .args = {"--name", "2m"}},
    {.name = "blank_inside", .args = {"--name", "my beacon"}},
    {.name = "non_ascii", .args = {"--name", "b\xC3\xA4ke"}},
    {.name = "from_the_beacon_file", .args = {"--beacon", "bake-1.jt4dds"}, .identifier = "bake_1_words"},
    {.name = "from_a_beacon_file_with_a_digit_first", .args = {"--beacon", "2320.jt4dds"}, .identifier = "_2320_words"},
    {.name = "given_over_the_beacon_file",
     .args = {"--beacon", "bake-1.jt4dds", "--name", "x"},
     .identifier = "x_words"},
    {.name = "unnamed", .args = {}, .identifier = "jt4dds_words"},
    {.name = "unnamed_over_the_beacon_file",
     .args = {"--beacon", "bake-1.jt4dds", "--name", ""},
     .identifier = "jt4dds_words"},
};

class FirmwareName : public testing::TestWithParam<NameCase> {};

TEST_P(FirmwareName, NamesTheWordsOrIsRefused) {
    Scratch dir;
    std::vector<std::string> args{"--fref", "300", "--format", "c"};
    for (std::string a : GetParam().args) {
        if (a.ends_with(".jt4dds")) {
            a = (dir / a.c_str()).string();
            run({"--fref", "300", "--save-beacon", a});
        }
        args.push_back(a);
    }
    const CliResult r = run(args);
    if (!GetParam().identifier) {
        EXPECT_EQ(r.status, kExitUsage);
        EXPECT_NE(r.err.find("--name: takes a C identifier"), std::string::npos) << r.err;
    } else {
        EXPECT_EQ(r.status, kExitCompleted) << r.err;
        EXPECT_NE(r.out.find("static const uint32_t " + *GetParam().identifier + "["), std::string::npos) << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FirmwareName, testing::ValuesIn(kNames), testing_support::CaseName{});

TEST(BeaconOption, AFileThatCannotBeReadIsNamed) {
    const CliResult r = run({"--beacon", "/nonexistent-dir/b.jt4dds"});
    EXPECT_EQ(r.status, kExitCannotRead);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "jt4dds-cli: /nonexistent-dir/b.jt4dds cannot be read: No such file or directory\n");
}

// A saved beacon holds the fields as a press leaves them, as the window's
// does: with the 800 Hz option, the reference tone reads "800", and clearing
// the option later keeps that tone, as unticking the box in the window does.
TEST(BeaconOption, NoRef800ClearsTheFilesOptionAndKeepsItsTone) {
    Scratch dir;
    const std::string file = (dir / "b.jt4dds").string();
    run({"--ref800", "--fref", "300", "--save-beacon", file});
    EXPECT_EQ(run({"--beacon", file}).out, run({"--fref", "300", "--ref800"}).out);
    EXPECT_EQ(run({"--beacon", file, "--no-ref800"}).out, run({"--fref", "300", "--ref-tone", "800"}).out);
    EXPECT_NE(run({"--beacon", file, "--no-ref800"}).out, run({"--fref", "300"}).out);
}

// A beacon file holds the message, its minute and the DDS chip too: each
// stands unless its option is given, and an option given changes only its own.
struct OverCase {
    const char* name;
    std::vector<std::string> over;      // options given over the file
    std::vector<std::string> expected;  // the same beacon on the command line alone
};
const std::vector<std::string> kSavedMinute{"--fref",        "150",        "--submode",  "B",     "--message",
                                            "CQ K1ABC FN42", "--cw-id",    "K1ABC FN42", "--wpm", "20",
                                            "--no-carrier",  "--timer-hz", "16000000",   "--dds", "AD9851",
                                            "--max-clock",   "140"};
// The saved beacon's options with `args` over them: an option it has takes
// the new value, another is added.
std::vector<std::string> savedWith(const std::vector<std::string>& args) {
    auto all = kSavedMinute;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool takesValue = i + 1 < args.size() && !args[i + 1].starts_with("--");
        const auto at = std::find(all.begin(), all.end(), args[i]);
        if (at == all.end()) {
            all.push_back(args[i]);
            if (takesValue) all.push_back(args[i + 1]);
        } else if (takesValue) {
            *(at + 1) = args[i + 1];
        }
        if (takesValue) ++i;
    }
    return all;
}
// The saved beacon's options, but with the carrier after the CW.
std::vector<std::string> withoutNoCarrier() {
    auto all = kSavedMinute;
    std::erase(all, std::string("--no-carrier"));
    return all;
}
const OverCase kOverCases[] = {
    {.name = "nothing_over_the_file", .over = {}, .expected = savedWith({})},
    {.name = "message",
     .over = {"--message", "CQ PA0ABC JO22"},
     .expected = savedWith({"--message", "CQ PA0ABC JO22"})},
    {.name = "cw_id", .over = {"--cw-id", "PA0ABC"}, .expected = savedWith({"--cw-id", "PA0ABC"})},
    {.name = "wpm", .over = {"--wpm", "12"}, .expected = savedWith({"--wpm", "12"})},
    {.name = "no_cw", .over = {"--no-cw"}, .expected = savedWith({"--no-cw"})},
    {.name = "timer", .over = {"--timer-hz", "1000000"}, .expected = savedWith({"--timer-hz", "1000000"})},
    {.name = "submode", .over = {"--submode", "pi4"}, .expected = savedWith({"--submode", "PI4"})},
    {.name = "config", .over = {"--config", "Reverse DDS"}, .expected = savedWith({"--config", "reverse"})},
    {.name = "dds_chip", .over = {"--dds", "AD9858"}, .expected = savedWith({"--dds", "AD9858"})},
    {.name = "max_clock", .over = {"--max-clock", "120"}, .expected = savedWith({"--max-clock", "120"})},
    {.name = "field", .over = {"--fref", "125"}, .expected = savedWith({"--fref", "125"})},
    {.name = "no_cw_true", .over = {"--no-cw=true"}, .expected = savedWith({"--no-cw"})},
    {.name = "no_carrier_false_sends_the_carrier", .over = {"--no-carrier=false"}, .expected = withoutNoCarrier()},
    {.name = "ref800_false_over_the_file", .over = {"--ref800=false"}, .expected = savedWith({})},
};
class BeaconFileOverride : public testing::TestWithParam<OverCase> {};
TEST_P(BeaconFileOverride, OnlyTheOptionGivenChanges) {
    Scratch dir;
    const std::string file = (dir / "b.jt4dds").string();
    ASSERT_EQ(run(savedWith({"--save-beacon", file})).status, kExitCompleted);
    for (const char* format : {"c", "report"}) {
        auto fromFile = std::vector<std::string>{"--beacon", file, "--format", format, "--force"};
        fromFile.insert(fromFile.end(), GetParam().over.begin(), GetParam().over.end());
        auto alone = GetParam().expected;
        alone.insert(alone.end(), {"--format", format, "--force", "--name", "b"});
        const CliResult a = run(fromFile);
        CliResult b = run(alone);
        EXPECT_EQ(a.out, b.out) << format;
        // A message the file gave and no option changed is named by the file's key.
        if (std::find(GetParam().over.begin(), GetParam().over.end(), "--message") == GetParam().over.end())
            for (std::size_t at; (at = b.err.find("error: --message:")) != std::string::npos;)
                b.err.replace(at, 17, "error: transmission.message:");
        EXPECT_EQ(a.err, b.err) << format;
        EXPECT_EQ(a.status, b.status) << format;
    }
    // and the file's minute is really there: without the file, another beacon.
    auto bare = std::vector<std::string>{"--format", "c", "--force", "--name", "b"};
    bare.insert(bare.end(), GetParam().over.begin(), GetParam().over.end());
    EXPECT_NE(run(bare).out, run({"--beacon", file, "--format", "c", "--force"}).out);
}
INSTANTIATE_TEST_SUITE_P(Table, BeaconFileOverride, testing::ValuesIn(kOverCases), testing_support::CaseName{});

TEST(VersionOption, SaysTheVersion) {
    const CliResult r = run({"--version"});
    EXPECT_EQ(r.status, kExitCompleted);
    EXPECT_TRUE(r.out.starts_with("jt4dds-cli ")) << r.out;
}

// What the rounded words really transmit, against the same sums done apart
// in long double.
TEST(JsonReport, ActualFrequenciesAndErrorsPerTone) {
    struct Case {
        std::vector<std::string> args;
        long double mult, frefHz;
        bool reverse;
    };
    const Case cases[] = {
        {{"--fref", "300"}, 24, 300e6L, false},
        {{"--fout", "144.4", "--mult", "1", "--fref", "10", "--config", "reverse"}, 1, 10e6L, true},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        args.push_back("--json");
        const auto report = nlohmann::json::parse(run(args).out);
        ASSERT_EQ(report["rows"].size(), 8u);
        for (const auto& row : report["rows"]) {
            const long double w = row["word"].get<std::int32_t>();
            const long double actual =
                c.reverse ? c.mult * 4294967296.0L * c.frefHz / w : c.mult * w * c.frefHz / 4294967296.0L;
            EXPECT_NEAR(row["actual_hz"].get<double>(), static_cast<double>(actual), 1e-3) << row["tone"];
            EXPECT_NEAR(row["error_hz"].get<double>(),
                        static_cast<double>(actual - row["planned_hz"].get<long double>()), 1e-3);
            EXPECT_LT(std::fabs(row["error_hz"].get<double>()), 1.0) << "a word is within a step of its plan";
        }
        ASSERT_EQ(report["spacing"].size(), 3u);
        for (const auto& pair : report["spacing"]) {
            EXPECT_EQ(pair["nominal_hz"], 39.375);
            EXPECT_NEAR(pair["realised_hz"].get<double>(), 39.375, 2.0);
        }
    }
}

TEST(JsonReport, RejectedRowsHaveNoActualFrequency) {
    const auto report = nlohmann::json::parse(run({"--json"}).out);  // every row over the Direct limit
    for (const auto& row : report["rows"]) {
        EXPECT_EQ(row["limit"], "direct");
        EXPECT_TRUE(row["actual_hz"].is_null());
        EXPECT_TRUE(row["error_hz"].is_null());
    }
    EXPECT_NEAR(report["resolution_hz"].get<double>(), 0.6984919309616089, 0.0);
    EXPECT_NEAR(report["ssb_carrier_hz"].get<double>(), 2320098730.0, 1e-3);
}

struct OutputCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    bool written;
};

const OutputCase kOutputs[] = {
    {.name = "plain_listing", .args = {"--fref", "300"}, .status = kExitCompleted, .written = true},
    {.name = "warning_label_without_strict_still_writes",
     .args = {"--format", "c", "--submode", "PI4", "--fref", "300"},
     .status = kExitCompleted,
     .written = true},
    {.name = "dead_words_refused", .args = {"--format", "c"}, .status = kExitStrictWarning, .written = false},
    {.name = "dead_words_forced", .args = {"--format", "c", "--force"}, .status = kExitCompleted, .written = true},
    {.name = "dead_words_listing_still_written", .args = {}, .status = kExitCompleted, .written = true},
    {.name = "strict_sound_pi4_passes",
     .args = {"--format", "c", "--fref", "300", "--submode", "PI4", "--strict"},
     .status = kExitCompleted,
     .written = true},
    {.name = "strict_fails_on_ignored_text",
     .args = {"--format", "c", "--fout", "2320,1", "--fref", "300", "--strict"},
     .status = kExitStrictWarning,
     .written = false},
    {.name = "strict_fails_on_the_800_hz_option",
     .args = {"--format", "asm", "--fref", "300", "--ref800", "--strict"},
     .status = kExitStrictWarning,
     .written = false},
    {.name = "report_explains_an_early_end",
     .args = {"--format", "report", "--mult", "0"},
     .status = kExitEndedEarly,
     .written = true},
    {.name = "strict_warning_fails_and_writes_nothing",
     .args = {"--format", "c", "--strict"},
     .status = kExitStrictWarning,
     .written = false},
    {.name = "strict_clean_run_writes",
     .args = {"--format", "asm", "--fref", "300", "--strict"},
     .status = kExitCompleted,
     .written = true},
    {.name = "early_end_writes_nothing",
     .args = {"--format", "c", "--mult", "0"},
     .status = kExitEndedEarly,
     .written = false},
    {.name = "early_end_listing_writes_nothing", .args = {"--mult", "0"}, .status = kExitEndedEarly, .written = false},
    {.name = "json_explains_an_early_end",
     .args = {"--json", "--mult", "0"},
     .status = kExitEndedEarly,
     .written = true},
    {.name = "conflicting_formats", .args = {"--json", "--format", "c"}, .status = kExitUsage, .written = false},
    {.name = "unknown_format", .args = {"--format", "hex"}, .status = kExitUsage, .written = false},
};

class OutputFile : public testing::TestWithParam<OutputCase> {};

TEST_P(OutputFile, WrittenWholeOrNotAtAll) {
    Scratch dir;
    const fs::path target = dir / "out.txt";
    std::ofstream(target) << "previous";
    auto args = GetParam().args;
    args.insert(args.end(), {"--output", target.string()});
    const CliResult r = run(args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(slurp(target) != "previous", GetParam().written);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << "no temporary left";
}

INSTANTIATE_TEST_SUITE_P(Table, OutputFile, testing::ValuesIn(kOutputs), testing_support::CaseName{});

TEST(OutputFile, UnwritablePlaceFailsWithStatusOne) {
    const CliResult r = run({"--fref", "300", "--output", "/nonexistent-dir/words.inc"});
    EXPECT_EQ(r.status, kExitCannotWrite);
    // The file asked for, not the temporary one it is written as first.
    EXPECT_TRUE(r.err.ends_with("\njt4dds-cli: cannot write /nonexistent-dir/words.inc: No such file or directory\n"))
        << r.err;
}

}  // namespace
}  // namespace jt4dds

namespace jt4dds {
namespace {

// A C program that includes the header and nothing else prints the symbols as
// jt4code does (from both tables, which must agree), then each part of the
// minute and the CW runs; the same must come from jt4dds-cli's own formats.
struct MinuteCase {
    const char* name;
    std::vector<std::string> args;
};
const MinuteCase kMinutes[] = {
    {.name = "pi4_standard_minute",
     .args = {"--submode", "PI4", "--message", "OZ7IGY", "--cw-id", "OZ7IGY JO55", "--key-down", "1270", "--timer-hz",
              "1000000"}},
    {.name = "jt4_at_a_watch_crystal",
     .args = {"--message", "CQ K1ABC FN42", "--cw-id", "K1ABC", "--wpm", "20", "--timer-hz", "32768"}},
    {.name = "jt4_free_text_no_cw_no_timer", .args = {"--message", "HELLO WORLD", "--no-cw", "--name", "bake"}},
    {.name = "pi4_message_alone", .args = {"--submode", "pi4", "--message", "PA0ABC", "--no-cw", "--no-carrier"}},
};

class FirmwareMinute : public testing::TestWithParam<MinuteCase> {};

TEST_P(FirmwareMinute, CProgramReproducesSymbolsAndTimesFromTheHeaderAlone) {
    Scratch dir;
    auto args = GetParam().args;
    args.insert(args.begin(), {"--fref", "300"});
    auto c = args;
    c.insert(c.end(), {"--format", "c", "--output", (dir / "beacon.h").string()});
    ASSERT_EQ(run(c).status, kExitCompleted) << run(c).err;
    const std::string header = slurp(dir / "beacon.h");
    const std::string p = header.find("bake_symbols") != std::string::npos ? "bake" : "jt4dds";
    const std::string P = p == "bake" ? "BAKE" : "JT4DDS";
    std::ofstream(dir / "check.c") << "#include <stdio.h>\n#include \"beacon.h\"\n"
                                   << "int main(void) {\n  int i;\n"
                                   << "  for (i = 0; i < " << P << "_SYMBOL_COUNT; ++i) {\n"
                                   << "    int packed = (" << p << "_symbols_packed[i / 4] >> (6 - 2 * (i % 4))) & 3;\n"
                                   << "    if (packed != " << p << "_symbols[i]) return 1;\n"
                                   << "    printf(\" %d\", " << p << "_symbols[i]);\n"
                                   << "    if (i % 30 == 29 || i + 1 == " << P
                                   << "_SYMBOL_COUNT) printf(\"\\n\");\n  }\n"
                                   << "  for (i = 0; i < " << P << "_SEGMENT_COUNT; ++i)\n"
                                   << "    printf(\"%lu %lu %d\\n\", (unsigned long)" << p
                                   << "_segments[i].start_us, (unsigned long)" << p << "_segments[i].start_counts, "
                                   << p << "_segments[i].keys);\n"
                                   << "  for (i = 0; i < " << P << "_CW_RUN_COUNT; ++i) printf(\"%d \", " << p
                                   << "_cw[i]);\n"
                                   << "  printf(\"\\n%lu\\n\", (unsigned long)" << P
                                   << "_SYMBOL_COUNTS);\n  return 0;\n}\n";
    const std::string command = "cd '" + dir.path().string() +
                                "' && gcc -std=c99 -Wall -Wextra -Wpedantic -Werror -o check check.c > cc.log 2>&1"
                                " && ./check > check.out";
    ASSERT_EQ(std::system(command.c_str()), 0) << slurp(dir / "cc.log");

    // What the program printed, made from jt4dds-cli's symbols and JSON report.
    auto symbols = args;
    symbols.insert(symbols.end(), {"--format", "symbols"});
    std::string want = run(symbols).out;
    auto json = args;
    json.emplace_back("--json");
    const auto report = nlohmann::json::parse(run(json).out)["transmission"];
    const std::map<std::string, int> keys{{"symbols", 0}, {"cw", 1}, {"reference", 2}};
    for (const auto& s : report["segments"]) {
        want += std::to_string(std::llround(s["start_s"].get<double>() * 1e6)) + " " +
                (s["start_counts"].is_null() ? std::string("0") : std::to_string(s["start_counts"].get<long>())) + " " +
                std::to_string(keys.at(s["keys"].get<std::string>())) + "\n";
    }
    for (const auto& e : report["cw"])
        want += (e["key_down"].get<bool>() ? "" : "-") + std::to_string(e["dots"].get<int>()) + " ";
    want +=
        "\n" +
        (report["symbol_counts"].is_null() ? std::string("0") : std::to_string(report["symbol_counts"].get<long>())) +
        "\n";
    EXPECT_EQ(slurp(dir / "check.out"), want);
}

// The assembler include with the transmission still assembles, the symbols
// following the words in the EEPROM image.
TEST_P(FirmwareMinute, AsmAssemblesWithTheSymbols) {
    Scratch dir;
    auto args = GetParam().args;
    args.insert(args.begin(), {"--fref", "300"});
    args.insert(args.end(), {"--format", "asm", "--output", (dir / "words.inc").string()});
    ASSERT_EQ(run(args).status, kExitCompleted);
    std::ofstream(dir / "main.asm") << "    processor 18f4620\n    org 0xF00000\n    include \"words.inc\"\n    end\n";
    const std::string command = "cd '" + dir.path().string() + "' && gpasm -o out.hex main.asm > gpasm.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << slurp(dir / "gpasm.log");
    EXPECT_EQ(slurp(dir / "gpasm.log").find("arning"), std::string::npos) << slurp(dir / "gpasm.log");
}

INSTANTIATE_TEST_SUITE_P(Table, FirmwareMinute, testing::ValuesIn(kMinutes), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
