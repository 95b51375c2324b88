// SPDX-License-Identifier: GPL-3.0-or-later
// Relations over a table of beacons: what the session says, every surface
// says; what it exports is what jt4dds-cli writes for its saved file; what
// it undoes comes back exactly.
#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/beacon_file.h"
#include "tests/case_name.h"
#include "tests/cli/cli_runner.h"

namespace jt4dds {
namespace {

struct BeaconCase {
    const char* name;
    Beacon beacon;
};

Beacon with(std::vector<std::pair<Input, std::string>> texts, std::string mode = "D", std::string message = {},
            std::string dds = {}) {
    Beacon b;
    for (auto& [input, text] : texts) b.text(input) = text;
    b.mode = Pick::text(mode);
    b.message = std::move(message);
    b.dds = std::move(dds);
    return b;
}

Beacon overrun() {
    Beacon b = with({{Input::Reference, "300"}}, "D", "G4XYZ IO91");
    b.cwId = "G4XYZ G4XYZ G4XYZ G4XYZ G4XYZ G4XYZ";
    b.wpm = "5";
    return b;
}

const BeaconCase kBeacons[] = {
    {"clean", with({{Input::Reference, "300"}}, "D", "G4XYZ IO91")},
    {"pi4_message_it_cannot_send", with({{Input::Reference, "300"}}, "PI4", "G4XYZ IO91")},
    {"minute_past_60_s", overrun()},
    {"reference_above_the_chips_clock", with({{Input::Reference, "300"}}, "D", "G4XYZ IO91", "AD9851")},
    {"initial_values_dead_words", Beacon{}},
    {"pi4_cw_off_the_carrier",
     [] {
         Beacon b = with({{Input::Reference, "300"}}, "PI4", "G4XYZ");
         b.cwId = "G4XYZ";
         return b;
     }()},
    {"cut_jt4_message", with({{Input::Reference, "300"}}, "D", "THIS BEACON SAYS TOO MUCH")},
    {"stopped_run", with({{Input::Multiplication, "0"}})},
};

class Sessions : public testing::TestWithParam<BeaconCase> {};

bool anyError(const Evaluation& e) { return anyOf(e.findings, Severity::Error); }

TEST_P(Sessions, FirmwareIsRefusedExactlyWhenAFindingIsAnError) {
    const Evaluation e = evaluate(GetParam().beacon);
    for (const OutputFormat format : {OutputFormat::Asm, OutputFormat::C}) {
        const ExportAnswer answer = exportAs(e, format, false);
        EXPECT_EQ(answer.bytes.has_value(), e.press.completed() && !anyError(e));
        EXPECT_EQ(answer.gate == ExportGate::ErrorFindings, e.press.completed() && anyError(e));
        EXPECT_EQ(answer.question.empty(), answer.gate != ExportGate::ErrorFindings);
        EXPECT_EQ(exportAs(e, format, true).bytes.has_value(), e.press.completed());
    }
    // The reports say why, so they are written whatever the findings, a stop included.
    EXPECT_TRUE(exportAs(e, OutputFormat::Json, false).bytes.has_value());
    EXPECT_TRUE(exportAs(e, OutputFormat::Report, false).bytes.has_value());
}

// Every export equals what jt4dds-cli writes from the session's saved file.
TEST_P(Sessions, ExportsAreWhatTheToolWritesForTheSavedFile) {
    Beacon named = GetParam().beacon;
    named.name = "bake";
    const Evaluation e = evaluate(named);
    if (!e.press.completed()) GTEST_SKIP() << "a stopped press writes no file";
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / (std::string("jt4dds_session_") + GetParam().name + ".jt4dds");
    ASSERT_FALSE(saveBeaconFile(file, asPressed(e.beacon, e.press)).has_value());
    for (const auto& [format, name] : {std::pair{OutputFormat::Asm, "asm"},
                                       {OutputFormat::C, "c"},
                                       {OutputFormat::Json, "json"},
                                       {OutputFormat::Report, "report"},
                                       {OutputFormat::Listing, "listing"}}) {
        const ExportAnswer answer = exportAs(e, format, true);
        ASSERT_TRUE(answer.bytes) << name;
        const auto tool = testing_support::runTool({"--beacon", file.string(), "--format", name, "--force", "--quiet"});
        EXPECT_EQ(tool.out, *answer.bytes) << name << "\n" << tool.err;
    }
    std::filesystem::remove(file);
}

// The status line names the most severe finding; one press is one evaluation.
TEST_P(Sessions, StatusNamesTheMostSevereFindingAfterOneEvaluation) {
    Session session(GetParam().beacon);
    EXPECT_TRUE(session.stale());
    const std::size_t before = evaluationCount();
    const Evaluation& e = session.press();
    EXPECT_EQ(evaluationCount(), before + 1);
    EXPECT_FALSE(session.stale());
    const PressStatus status = pressStatus(true, session.stale(), e.findings);
    for (const Severity severity : {Severity::Error, Severity::Warning, Severity::Note}) {
        const auto first = std::find_if(e.findings.begin(), e.findings.end(),
                                        [&](const Finding& f) { return f.severity == severity; });
        if (first == e.findings.end()) continue;
        EXPECT_NE(status.text.find(findingSubject(*first)), std::string::npos) << status.text;
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Sessions, testing::ValuesIn(kBeacons), testing_support::CaseName{});

// After each action that changes the fields, Undo gives the typed beacon
// before it back, and Redo the one after.
TEST(SessionUndo, EachActionUndoesToTheBeaconBeforeIt) {
    Session session;
    std::vector<Beacon> typed{session.typed()};
    const auto act = [&](std::string_view what, auto change) {
        Beacon next = session.typed();
        change(next);
        session.act(what, next);
        session.press();
        typed.push_back(next);
        EXPECT_EQ(session.undoText(), "Undo " + std::string(what));
    };
    act("Open", [](Beacon& b) { b = with({{Input::Reference, "300"}}, "G", "G4XYZ IO91"); });
    act("the 800 Hz tick", [](Beacon& b) { b.ref800 = true; });
    const FixEdits fix = session.last()->findings.empty() ? FixEdits{{Input::Reference, "403"}}
                         : session.last()->findings.front().fixes.empty()
                             ? FixEdits{{Input::Reference, "403"}}
                             : session.last()->findings.front().fixes.front();
    act("Apply fix", [&](Beacon& b) {
        for (const FieldEdit& edit : fix) b.text(edit.input) = edit.text;
    });
    act("Use and calculate", [](Beacon& b) {
        b.text(Input::Multiplication) = "192";
        b.text(Input::Reference) = "176";
    });
    act("New", [](Beacon& b) { b = Beacon(); });
    for (std::size_t i = typed.size() - 1; i > 0; --i) {
        const auto back = session.undo();
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, typed[i - 1]) << i;
        EXPECT_EQ(session.typed(), typed[i - 1]) << i;
    }
    EXPECT_FALSE(session.undo());
    for (std::size_t i = 1; i < typed.size(); ++i) {
        ASSERT_TRUE(session.redo());
        EXPECT_EQ(session.typed(), typed[i]) << i;
    }
    EXPECT_FALSE(session.redo());
}

TEST(SessionUndo, TypingAfterAnActionIsUndoneWithItAndANewActionDropsRedo) {
    Session session;
    Beacon fixed = session.typed();
    fixed.text(Input::Reference) = "300";
    session.act("Apply fix", fixed);
    Beacon typedAfter = fixed;
    typedAfter.text(Input::Multiplication) = "25";
    session.type(typedAfter);
    EXPECT_TRUE(session.stale());
    session.undo();
    EXPECT_EQ(session.typed(), Beacon());
    session.redo();
    EXPECT_EQ(session.typed(), typedAfter);
    session.undo();
    session.act("Open", fixed);
    EXPECT_FALSE(session.canRedo());
}

// Where no single edit clears a finding without leading into another, its
// fix is Find settings' first plan, which leaves nothing against the beacon:
// x2 at 400 MHz for 23 cm is over the AD9851's clock, and each single edit
// that mends that leads into another error or warning.
TEST(SessionSearch, NoSingleEditGivesFindSettingsFirstPlan) {
    Beacon b = with({{Input::OutputFrequency, "1296.9"}, {Input::Multiplication, "2"}, {Input::Reference, "400"}}, "B",
                    {}, "AD9851");
    const Evaluation e = evaluate(b);
    const auto limit =
        std::find_if(e.findings.begin(), e.findings.end(), [](const Finding& f) { return f.wantsSearch; });
    ASSERT_NE(limit, e.findings.end());
    ASSERT_EQ(limit->fixes.size(), 1U) << limit->fix;
    EXPECT_NE(limit->fix.find("Find settings' first plan with nothing against it: "), std::string::npos) << limit->fix;
    for (const FieldEdit& edit : limit->fixes.front()) b.text(edit.input) = edit.text;
    const Evaluation fixed = evaluate(b);
    EXPECT_FALSE(anyOf(fixed.findings, Severity::Error) || anyOf(fixed.findings, Severity::Warning))
        << fixCaption(limit->fixes.front());
}

TEST(SessionFile, ModifiedWhileTheFieldsDifferFromTheFile) {
    Session session;
    EXPECT_FALSE(session.modified());
    const Beacon opened = with({{Input::Reference, "300"}});
    session.opened("3cm.jt4dds", opened);
    EXPECT_EQ(session.file(), "3cm.jt4dds");
    EXPECT_FALSE(session.modified());
    Beacon edited = opened;
    edited.text(Input::Reference) = "301";
    session.type(edited);
    EXPECT_TRUE(session.modified());
    session.saved("3cm.jt4dds");
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(session.commandLine().find("--fref 301"), session.commandLine().find("--fref"));
}

}  // namespace
}  // namespace jt4dds
