// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/hearing/simulation.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "formats/outputs.h"

namespace jt4dds {

struct EvaluateOptions {
    PlanCheckOptions check;
};

// Everything one press tells about a beacon, made once and shared by every
// view that shows it: the press (the words and the window's results), the
// planned minute or why it cannot be sent, every finding of the plan and of
// the minute in one list and one order, and the receiver.
struct Evaluation {
    Beacon beacon;  // as typed
    Press press;
    std::variant<Transmission, Refusal> planned;
    std::vector<Finding> findings;
    std::optional<Receiver> receiver;  // none when the run stopped before the rows

    const Transmission* transmission() const { return std::get_if<Transmission>(&planned); }
};

// Presses `beacon`'s Calculate and judges what it makes. Pure but for a count
// of evaluations made, which tests read. Never throws except std::bad_alloc.
Evaluation evaluate(const Beacon& beacon, const EvaluateOptions& options = {});

// How many evaluations this process has made.
std::size_t evaluationCount();

// The one answer to "what file, or why not, or what to ask" for a format.
struct ExportAnswer {
    ExportGate gate = ExportGate::Open;
    std::optional<std::string> bytes;  // the file, when the gate is open
    std::string refusal;               // why not, for a person, when shut
    std::string question;              // what to ask before forcing, when forcing would open it
};

// The file `format` makes of `evaluation`: exactly what jt4dds-cli writes for
// the same beacon (its "Written by" line reproducing it, --force where it was
// forced); refused when the press stopped, or, for firmware, when a finding is
// an error and `force` is not given. `toFile`: a file, which a stopped press
// never writes, as against a terminal.
ExportAnswer exportAs(const Evaluation& evaluation, OutputFormat format, bool force, bool toFile = true);

}  // namespace jt4dds
