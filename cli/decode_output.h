// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

#include "calc/check/plan_check.h"
#include "calc/tuning/beacon.h"

namespace jt4dds {

// The decode check could not be made: no message, PI4, a stopped press, or
// no jt9 on the PATH (the message says how to get it).
inline constexpr int kExitNoDecodeCheck = 6;

// jt4dds-cli --decode-check N: "decodes k of N at -22 dB" on standard output,
// or with `json` the JSON report with a "decode_check" object; the findings
// on standard error unless `quiet`. kExitNoDecodeCheck, and why, when the
// check cannot be made.
int writeDecodeCheck(const Beacon& beacon, const PlanCheckOptions& check, int minutes, double snrDb, bool json,
                     bool quiet, std::ostream& out, std::ostream& err);

}  // namespace jt4dds
