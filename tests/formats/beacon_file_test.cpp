// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/beacon_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "calc/tuning/calculation_run.h"
#include "formats/files.h"
#include "tests/case_name.h"

namespace jt4dds {
namespace {

namespace fs = std::filesystem;

class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "jt4dds-beacon-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    ~Scratch() {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    fs::path operator/(const char* name) const { return dir_ / name; }

private:
    fs::path dir_;
};

void write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

struct RoundTripCase {
    const char* name;
    std::function<void(Beacon&)> prepare;
};

const RoundTripCase kBeacons[] = {
    {.name = "initial_values", .prepare = [](Beacon&) {}},
    {.name = "reference_300", .prepare = [](Beacon& f) { f.text(Input::Reference) = "300"; }},
    {.name = "reverse_3cm_jt4g_800",
     .prepare =
         [](Beacon& f) {
             f.text(Input::OutputFrequency) = "9600";
             f.text(Input::Reference) = "10";
             f.pick(Selector::JTMode) = Pick::item(6);
             f.pick(Selector::Config) = Pick::item(1);
             f.ref800 = true;
         }},
    {.name = "texts_kept_as_typed",
     .prepare =
         [](Beacon& f) {
             f.text(Input::OutputFrequency) = " 2320,1 MHz \xE2\x80\x94 \"beacon\"\n";
             f.text(Input::Multiplication) = "";
             f.text(Input::AuxTone) = "\\u0041&H10\t";
         }},
    {.name = "typed_selectors_that_name_an_item",
     .prepare = [](Beacon& f) { f.pick(Selector::JTMode) = Pick::text("pi4"); }},
    {.name = "typed_selectors_that_name_none",
     .prepare =
         [](Beacon& f) {
             f.pick(Selector::JTMode) = Pick::text("H");
             f.pick(Selector::Config) = Pick::text("sideways");
         }},
    {.name = "pi4_minute_as_typed",
     .prepare =
         [](Beacon& f) {
             f.text(Input::Reference) = "300";
             f.pick(Selector::JTMode) = Pick::item(7);
             f.message = "oz7igy";
             f.cwId = " OZ7IGY  JO55 ";
             f.wpm = "15";
             f.carrier = false;
             f.timerHz = "32768";
         }},
    {.name = "dds_chip_and_clock",
     .prepare =
         [](Beacon& f) {
             f.dds = "AD9851";
             f.maxClockMHz = "170.5";
             f.text(Input::Reference) = "200";
         }},
    {.name = "dds_clock_alone", .prepare = [](Beacon& f) { f.maxClockMHz = "400"; }},
    {.name = "transmission_refused_is_kept_as_typed",
     .prepare =
         [](Beacon& f) {
             f.message = "HI THERE";
             f.wpm = "fast";
             f.cw = false;
         }},
    {.name = "controller_clock_and_prescaler_kept",
     .prepare =
         [](Beacon& f) {
             f.message = "G4XYZ IO91";
             f.mcu = "ATmega328P";
             f.mcuClockHz = "8000000";
             f.timerPrescale = "256";
         }},
    {.name = "pic_controller_kept",
     .prepare =
         [](Beacon& f) {
             f.message = "G4XYZ IO91";
             f.mcu = "PIC16F628A";
             f.mcuClockHz = "20000000";
         }},
};

class BeaconRoundTrip : public testing::TestWithParam<RoundTripCase> {};

// Save, open, calculate: the same listing, warning and SSB carrier, byte for byte.
TEST_P(BeaconRoundTrip, SaveThenOpenGivesTheSameListing) {
    Scratch dir;
    Beacon before;
    GetParam().prepare(before);
    ASSERT_EQ(saveBeaconFile(dir / "b.jt4dds", before), std::nullopt);
    auto loaded = loadBeaconFile(dir / "b.jt4dds");
    ASSERT_TRUE(std::holds_alternative<Beacon>(loaded)) << std::get<std::string>(loaded);
    Beacon after = std::get<Beacon>(loaded);
    EXPECT_EQ(beaconText(after), beaconText(before));
    const Press pressedBefore = calculate(before);
    const Press pressedAfter = calculate(after);
    EXPECT_EQ(pressedAfter.listing, pressedBefore.listing);
    EXPECT_EQ(pressedAfter.warningCaption, pressedBefore.warningCaption);
    EXPECT_EQ(pressedAfter.ssbCarrier, pressedBefore.ssbCarrier);
    EXPECT_EQ(after.mode, before.mode);
    EXPECT_EQ(after.mcu, before.mcu);
    EXPECT_EQ(after.mcuClockHz, before.mcuClockHz);
    EXPECT_EQ(after.timerPrescale, before.timerPrescale);
}

INSTANTIATE_TEST_SUITE_P(Table, BeaconRoundTrip, testing::ValuesIn(kBeacons), testing_support::CaseName{});

const std::string kGood = beaconText(Beacon());

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

struct BadFileCase {
    const char* name;
    std::function<fs::path(const Scratch&)> make;
    std::string message;  // what follows the file's name
};

const BadFileCase kBadFiles[] = {
    {.name = "empty",
     .make =
         [](const Scratch& d) {
             write(d / "b", "");
             return d / "b";
         },
     .message = " is empty"},
    {.name = "truncated",
     .make =
         [](const Scratch& d) {
             write(d / "b", kGood.substr(0, kGood.size() / 2));
             return d / "b";
         },
     .message = " is not valid JSON at line 12, column 2: it ends too early"},
    {.name = "nul_then_junk_was_read_as_a_beacon",
     .make =
         [](const Scratch& d) {
             write(d / "b", kGood + std::string("\0junk", 5));
             return d / "b";
         },
     .message = " is not valid JSON at line 25, column 1: unexpected byte 0x00 after the end of the JSON"},
    {.name = "ten_megabytes",
     .make =
         [](const Scratch& d) {
             write(d / "b", kGood + std::string(10 << 20, ' '));
             return d / "b";
         },
     .message = " is larger than 64 KiB"},
    {.name = "just_over_the_bound",
     .make =
         [](const Scratch& d) {
             write(d / "b", kGood + std::string(kMaxBeaconFileBytes + 1 - kGood.size(), ' '));
             return d / "b";
         },
     .message = " is larger than 64 KiB"},
    {.name = "invalid_utf8",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "2320.1", "2320\xFF"));
             return d / "b";
         },
     .message = " is not UTF-8 text"},
    {.name = "number_where_a_text_belongs",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"2320.1\"", "2320.1"));
             return d / "b";
         },
     .message = " \"fields\".\"fout\" must be a text, not a number"},
    {.name = "missing_field",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"mult\": \"24\",", ""));
             return d / "b";
         },
     .message = " \"fields\".\"mult\" is missing"},
    {.name = "version_99",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"version\": 2", "\"version\": 99"));
             return d / "b";
         },
     .message = " is a beacon file of version 99; this program reads versions 1 and 2"},
    {.name = "version_not_whole",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"version\": 2", "\"version\": 2.0"));
             return d / "b";
         },
     .message = " \"version\" must be a whole number, not 2.0"},
    {.name = "name_not_an_identifier",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"ref800\": false", "\"ref800\": false, \"name\": \"2m beacon\""));
             return d / "b";
         },
     .message = " \"name\" must be a C identifier of at most 31 letters, digits and '_', not starting with a digit"},
    {.name = "dds_chip_unknown",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"ref800\": false",
                                     "\"ref800\": false, \"dds\": {\"chip\": \"AD9999\", \"max_clock_mhz\": \"\"}"));
             return d / "b";
         },
     .message = " \"dds\".\"chip\" names no DDS this program knows: 'AD9999'"},
    {.name = "dds_clock_not_a_clock",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"ref800\": false",
                                     "\"ref800\": false, \"dds\": {\"chip\": \"\", \"max_clock_mhz\": \"0\"}"));
             return d / "b";
         },
     .message = " \"dds\".\"max_clock_mhz\" must be a clock in MHz above 0 and at most 100000, not '0'"},
    {.name = "dds_without_its_clock",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"ref800\": false", "\"ref800\": false, \"dds\": {\"chip\": \"AD9850\"}"));
             return d / "b";
         },
     .message = " \"dds\".\"max_clock_mhz\" is missing"},
    {.name = "name_not_a_text",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"ref800\": false", "\"ref800\": false, \"name\": 7"));
             return d / "b";
         },
     .message = " \"name\" must be a C identifier"},
    {.name = "a_controller_it_makes_no_firmware_for",
     .make =
         [](const Scratch& d) {
             write(d / "b", replaced(kGood, "\"ref800\": false",
                                     "\"ref800\": false, \"controller\": {\"mcu\": \"Z80\", \"clock_hz\": \"\", "
                                     "\"timer_prescale\": \"\"}"));
             return d / "b";
         },
     .message = " \"controller\".\"mcu\" names no controller this program makes firmware for: 'Z80'"},
    {.name = "another_format",
     .make =
         [](const Scratch& d) {
             write(d / "b", "{\"format\": \"other\"}");
             return d / "b";
         },
     .message = " is not a beacon file"},
    {.name = "a_list",
     .make =
         [](const Scratch& d) {
             write(d / "b", "[1, 2]");
             return d / "b";
         },
     .message = " is not a beacon file"},
    {.name = "a_folder",
     .make =
         [](const Scratch& d) {
             fs::create_directory(d / "b");
             return d / "b";
         },
     .message = " is a folder, not a file"},
    {.name = "missing_file",
     .make = [](const Scratch& d) { return d / "b"; },
     .message = " cannot be read: No such file or directory"},
};

class BadBeaconFiles : public testing::TestWithParam<BadFileCase> {};

TEST_P(BadBeaconFiles, NameTheFileAndTheProblem) {
    Scratch dir;
    const fs::path path = GetParam().make(dir);
    const auto loaded = loadBeaconFile(path);
    ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
    EXPECT_TRUE(std::get<std::string>(loaded).starts_with(path.string() + GetParam().message))
        << std::get<std::string>(loaded);
}

INSTANTIATE_TEST_SUITE_P(Table, BadBeaconFiles, testing::ValuesIn(kBadFiles), testing_support::CaseName{});

TEST(BadBeaconFiles, ExactlyTheBoundIsRead) {
    Scratch dir;
    write(dir / "b", kGood + std::string(kMaxBeaconFileBytes - kGood.size(), ' '));
    EXPECT_TRUE(std::holds_alternative<Beacon>(loadBeaconFile(dir / "b")));
}

// A version 1 file, written before beacons had a message, opens with none.
TEST(BeaconVersions, Version1OpensWithNoMessage) {
    std::string v1 = replaced(kGood, "\"version\": 2", "\"version\": 1");
    v1.erase(v1.find(",\n  \"transmission\""), v1.find("\n}") - v1.find(",\n  \"transmission\""));
    const auto read = readBeacon(v1);
    ASSERT_EQ(read.index(), 0u) << std::get<std::string>(read);
    const Beacon& b = std::get<Beacon>(read);
    EXPECT_EQ(b.message, "");
    EXPECT_EQ(b.wpm, "12");
    EXPECT_TRUE(b.cw && b.carrier);
    EXPECT_EQ(beaconText(b), kGood);  // saved again, it is version 2
}

struct TransmissionRefusal {
    const char* name;
    std::string from;
    std::string to;
    std::string message;
};
const TransmissionRefusal kTransmissionRefusals[] = {
    {.name = "version_2_needs_its_transmission",
     .from = "\"transmission\"",
     .to = "\"other\"",
     .message = "\"transmission\" is missing"},
    {.name = "message_must_be_text",
     .from = "\"message\": \"\"",
     .to = "\"message\": 7",
     .message = "\"transmission\".\"message\" must be a text, not a number"},
    {.name = "switch_must_be_true_or_false",
     .from = "\"carrier\": true",
     .to = "\"carrier\": \"yes\"",
     .message = "\"transmission\".\"carrier\" must be true or false, not a text"},
    {.name = "speed_missing", .from = "\"wpm\": \"12\",", .to = "", .message = "\"transmission\".\"wpm\" is missing"},
};
class TransmissionRefusals : public testing::TestWithParam<TransmissionRefusal> {};
TEST_P(TransmissionRefusals, NameTheKey) {
    const auto read = readBeacon(replaced(kGood, GetParam().from, GetParam().to));
    ASSERT_EQ(read.index(), 1u);
    EXPECT_EQ(std::get<std::string>(read), GetParam().message);
}
INSTANTIATE_TEST_SUITE_P(Table, TransmissionRefusals, testing::ValuesIn(kTransmissionRefusals),
                         testing_support::CaseName{});

TEST(BadBeaconFiles, UnknownKeysAreIgnored) {
    const auto read = readBeacon(replaced(kGood, "\"version\": 2,", "\"version\": 2, \"comment\": [\"mine\"],"));
    EXPECT_TRUE(std::holds_alternative<Beacon>(read));
}

// Root reads any file, so the reading is done by a child that has given up
// root for an unprivileged user.
TEST(BadBeaconFiles, NoPermissionIsSaid) {
    Scratch dir;
    const fs::path path = dir / "locked.jt4dds";
    write(path, kGood);
    fs::permissions(path, fs::perms::none);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        const auto loaded = loadBeaconFile(path);
        const std::string message = loaded.index() == 1 ? std::get<1>(loaded) : "read";
        const auto written = ::write(pipeEnds[1], message.data(), message.size());
        ::_exit(written < 0 ? 3 : 0);
    }
    ::close(pipeEnds[1]);
    std::string message(256, '\0');
    const auto got = ::read(pipeEnds[0], message.data(), message.size());
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    message.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    EXPECT_TRUE(message.starts_with(path.string() + " cannot be read: Permission denied")) << message;
}

TEST(AtomicWrite, APreviousFileSurvivesAFailedSave) {
    Scratch dir;
    write(dir / "b.jt4dds", "previous");
    // A folder in the way of the temporary file makes the write fail.
    fs::create_directory(dir / ("b.jt4dds.tmp-" + std::to_string(::getpid())).c_str());
    EXPECT_EQ(saveBeaconFile(dir / "b.jt4dds", Beacon()),
              "cannot write " + (dir / "b.jt4dds").string() + ": Is a directory");
    std::ifstream in(dir / "b.jt4dds");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "previous");
}

// A file written piece by piece: what is in `path` afterwards, and whether
// any temporary file is left, for each way the writing can end.
struct ReplacingCase {
    const char* name;
    bool folderInTheWay;  // `path` is an empty folder, not a file
    bool commit;
    Durability durability;
    bool fails;
};
const ReplacingCase kReplacing[] = {
    {.name = "committed_lasting",
     .folderInTheWay = false,
     .commit = true,
     .durability = Durability::Lasting,
     .fails = false},
    {.name = "committed_replaceable",
     .folderInTheWay = false,
     .commit = true,
     .durability = Durability::Replaceable,
     .fails = false},
    {.name = "dropped_without_commit_keeps_the_old_file",
     .folderInTheWay = false,
     .commit = false,
     .durability = Durability::Replaceable,
     .fails = false},
    {.name = "replaceable_never_removes_a_folder",
     .folderInTheWay = true,
     .commit = true,
     .durability = Durability::Replaceable,
     .fails = true},
    {.name = "lasting_never_removes_a_folder",
     .folderInTheWay = true,
     .commit = true,
     .durability = Durability::Lasting,
     .fails = true},
};
class Replacing : public testing::TestWithParam<ReplacingCase> {};
TEST_P(Replacing, OldOrWholeNewAndNoTemporaryLeft) {
    const ReplacingCase& c = GetParam();
    Scratch dir;
    const fs::path path = dir / "minute.wav";
    if (c.folderInTheWay)
        fs::create_directory(path);
    else
        write(path, "previous");
    {
        ReplacingFile file(path);
        EXPECT_TRUE(file.write("new "));
        EXPECT_TRUE(file.write("bytes"));
        if (c.commit) {
            EXPECT_EQ(file.commit(c.durability).has_value(), c.fails);
        }
    }
    if (c.folderInTheWay) {
        EXPECT_TRUE(fs::is_directory(path));
    } else {
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.commit ? "new bytes" : "previous");
    }
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(path.parent_path())) ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file is left";
}
INSTANTIATE_TEST_SUITE_P(Table, Replacing, testing::ValuesIn(kReplacing), testing_support::CaseName{});

struct FullDiskCase {
    const char* name;
    std::size_t bytes;
    bool fits;
    Durability durability = Durability::Lasting;
};

// A disk with room for 4096 bytes (a file size limit stands in for it): a
// write that does not fit is a failure that says why and leaves the old file
// as it was, not a success. Either durability; a replaceable file is written
// in two pieces, as the minute's header and samples are.
const FullDiskCase kFullDisk[] = {
    {.name = "fits", .bytes = 4096, .fits = true},
    {.name = "one_byte_too_many", .bytes = 4097, .fits = false},
    {.name = "inside_the_c_library_buffer_until_flushed", .bytes = 6000, .fits = false},
    {.name = "far_too_large", .bytes = 100000, .fits = false},
    {.name = "replaceable_fits", .bytes = 4096, .fits = true, .durability = Durability::Replaceable},
    {.name = "replaceable_one_byte_too_many", .bytes = 4097, .fits = false, .durability = Durability::Replaceable},
    {.name = "replaceable_in_the_buffer_until_flushed",
     .bytes = 6000,
     .fits = false,
     .durability = Durability::Replaceable},
};

class FullDisk : public testing::TestWithParam<FullDiskCase> {};

TEST_P(FullDisk, AWriteThatDoesNotFitFails) {
    Scratch dir;
    const fs::path path = dir / "words.h";
    write(path, "previous");
    std::string bytes(GetParam().bytes, 'x');
    bytes.front() = 'a';
    bytes.back() = 'z';
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);  // writes past the limit fail with EFBIG instead
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(4);
        const std::string_view all(bytes);
        const auto inPieces = [&] {
            ReplacingFile file(path);
            file.write(all.substr(0, 44));
            file.write(all.substr(44));
            return file.commit(Durability::Replaceable);
        };
        const auto failed = GetParam().durability == Durability::Lasting ? writeFileAtomically(path, all) : inPieces();
        if (!failed) ::_exit(0);
        ::_exit(failed->find("File too large") != std::string::npos ? 1 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), GetParam().fits ? 0 : 1);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), GetParam().fits ? bytes : "previous");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(path.parent_path())) ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Table, FullDisk, testing::ValuesIn(kFullDisk), testing_support::CaseName{});

// The name goes last and comes back; an unnamed beacon writes no "name".
TEST(BeaconName, RoundTripsAndIsLeftOutWhenEmpty) {
    EXPECT_EQ(beaconText(Beacon()).find("\"name\""), std::string::npos);
    Beacon named;
    named.name = "bake_2320";
    const std::string text = beaconText(named);
    EXPECT_NE(text.find("  },\n  \"name\": \"bake_2320\"\n}"), std::string::npos) << text;
    const auto read = readBeacon(text);
    ASSERT_EQ(read.index(), 0u);
    EXPECT_EQ(std::get<Beacon>(read).name, "bake_2320");
    const auto unnamed = readBeacon(beaconText(Beacon()));
    ASSERT_EQ(unnamed.index(), 0u);
    EXPECT_EQ(std::get<Beacon>(unnamed).name, "");
}

}  // namespace
}  // namespace jt4dds
