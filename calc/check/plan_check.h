// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/check/finding.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/calculation_run.h"

namespace jt4dds {

struct PlanCheckOptions {
    // An extra bound the operator may set: how far a realised data-tone
    // spacing may stray from its nominal value, as a fraction of it. None by
    // default: the tone grid's limits judge every plan.
    std::optional<double> spacingTolerance;
};

// How far the realised data tones may lie from the even grid that fits them
// best (GridFit::rmsHz) before a decoder near its threshold suffers: a
// note beyond `noteHz`, where the margin starts to go, and a warning beyond
// `warningHz`, where jt9's decodes at -22 dB in 2500 Hz drop. Measured with
// jt9 on the program's own simulated minutes; the limits are nearly the same
// number of hertz for every submode, not a share of the spacing.
struct GridTolerance {
    double noteHz = 0.0;
    double warningHz = 0.0;
};
GridTolerance gridTolerance(std::int32_t spacingNumber);

// Everything one press tells about the beacon, in the order the press met it:
// the fields as read (top to bottom), the 800 Hz option, the rows, the
// resolution, and a stop. Each warning caption the run raised is explained
// by one finding that carries it. Never throws except std::bad_alloc.
std::vector<Finding> checkPlan(const Press& outcome, const PlanCheckOptions& options = {});

// What a fix's prose ends with where no single edit clears its finding.
inline constexpr std::string_view kNoSingleEdit = "Find settings searches for a plan with nothing against it";

// True when any finding has that severity.
bool anyOf(const std::vector<Finding>& findings, Severity severity);

// One row of the tone table: what the row plans and what its word really gives.
struct ToneDetail {
    int tone = 0;
    std::string_view name;  // "data tone 0", …, "reference tone", "FSK CW key-up tone", …
    double audioHz = 0.0;
    double ddsHz = 0.0;
    TuningWord word = 0;
    Limit limit = Limit::None;
    double plannedHz = 0.0;            // at the output, as the listing's comment says
    std::optional<double> realisedHz;  // what the rounded word gives; none for a rejected row
    std::optional<double> errorHz;     // realised − planned
};

// The rows the run wrote, as a table.
std::vector<ToneDetail> toneDetails(const RunFigures& figures);

// "JT4D", or "PI4" (which the listing's header calls JT4PI4): the mode as the
// findings, reports and firmware files name it.
std::string modeName(const RunFigures& figures);

// The numbers a settings search ranks plans by, judged by the very
// conditions checkPlan reports on. `clean` is false exactly when checkPlan
// would give an `error` or `warning` finding for these figures read from
// clean field texts.
struct PlanVerdict {
    bool clean = false;
    double gridRmsHz = 0.0;            // the data tones' RMS distance from their best even grid
    double worstSpacingErrorHz = 0.0;  // largest |realised − nominal| over the data-tone pairs
    double worstToneErrorHz = 0.0;     // largest |realised − planned| over the eight tones
    double ddsShare = 0.0;             // Direct: highest F / reference; Reverse: reference / lowest F
    bool sharedWord = false;           // two data tones on one word
    // The first rule, in the check's order, that makes it an error or a
    // warning; RunEnded for a run that stopped with no rule to blame; none
    // for a clean plan.
    std::optional<FindingKind> failedBy;
};
PlanVerdict judgePlan(const Press& outcome, const PlanCheckOptions& options = {});

}  // namespace jt4dds
