// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "calc/check/plan_check.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "formats/outputs.h"
#include "tests/case_name.h"

namespace jt4dds {
namespace {

// Beacons on each side of the gate: sound, with an error finding (the initial
// values' dead words), and stopped (no multiplication).
enum class Plan { Sound, ErrorFinding, Stopped };

Beacon beaconFor(Plan plan) {
    Beacon beacon;
    if (plan != Plan::ErrorFinding) beacon.text(Input::Reference) = "300";
    if (plan == Plan::Stopped) beacon.text(Input::Multiplication) = "";
    return beacon;
}

struct GateCase {
    const char* name;
    Plan plan;
    OutputFormat format;
    bool force;
    bool toFile;
    ExportGate gate;
};

const GateCase kGates[] = {
    {.name = "sound_asm",
     .plan = Plan::Sound,
     .format = OutputFormat::Asm,
     .force = false,
     .toFile = true,
     .gate = ExportGate::Open},
    {.name = "error_asm_refused",
     .plan = Plan::ErrorFinding,
     .format = OutputFormat::Asm,
     .force = false,
     .toFile = false,
     .gate = ExportGate::ErrorFindings},
    {.name = "error_c_refused",
     .plan = Plan::ErrorFinding,
     .format = OutputFormat::C,
     .force = false,
     .toFile = false,
     .gate = ExportGate::ErrorFindings},
    {.name = "error_c_forced",
     .plan = Plan::ErrorFinding,
     .format = OutputFormat::C,
     .force = true,
     .toFile = false,
     .gate = ExportGate::Open},
    {.name = "error_json_written",
     .plan = Plan::ErrorFinding,
     .format = OutputFormat::Json,
     .force = false,
     .toFile = true,
     .gate = ExportGate::Open},
    {.name = "error_listing_written",
     .plan = Plan::ErrorFinding,
     .format = OutputFormat::Listing,
     .force = false,
     .toFile = true,
     .gate = ExportGate::Open},
    {.name = "stopped_asm_even_forced",
     .plan = Plan::Stopped,
     .format = OutputFormat::Asm,
     .force = true,
     .toFile = false,
     .gate = ExportGate::Stopped},
    {.name = "stopped_listing_to_a_file",
     .plan = Plan::Stopped,
     .format = OutputFormat::Listing,
     .force = false,
     .toFile = true,
     .gate = ExportGate::Stopped},
    {.name = "stopped_listing_on_the_screen",
     .plan = Plan::Stopped,
     .format = OutputFormat::Listing,
     .force = false,
     .toFile = false,
     .gate = ExportGate::Open},
    {.name = "stopped_report_to_a_file",
     .plan = Plan::Stopped,
     .format = OutputFormat::Report,
     .force = false,
     .toFile = true,
     .gate = ExportGate::Open},
    {.name = "stopped_json_to_a_file",
     .plan = Plan::Stopped,
     .format = OutputFormat::Json,
     .force = false,
     .toFile = true,
     .gate = ExportGate::Open},
};

class ExportGates : public testing::TestWithParam<GateCase> {};

TEST_P(ExportGates, OpenOnlyWhereTheOutputCanBeTrusted) {
    const GateCase& c = GetParam();
    const Press press = calculate(beaconFor(c.plan));
    const std::vector<Finding> findings = checkPlan(press);
    EXPECT_EQ(exportGate(c.format, press, findings, c.force, c.toFile), c.gate);
    const std::string why = exportRefusal(c.gate, press, findings);
    if (c.gate == ExportGate::Stopped) {
        EXPECT_TRUE(why.starts_with("The calculation stopped: RF Multiplication")) << why;
    } else if (c.gate == ExportGate::ErrorFindings) {
        EXPECT_NE(why.find("error: "), std::string::npos) << why;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ExportGates, testing::ValuesIn(kGates), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
