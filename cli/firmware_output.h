// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "calc/transmission/controller.h"

#include "calc/check/plan_check.h"
#include "calc/tuning/beacon.h"

namespace jt4dds {

// The controller `beacon` describes (its chip, else an ATmega328P; its clock
// and prescaler as typed, else the chip's usual ones), with its timer set to the controller's rate so that
// every output counts in it; or the exit status, the reason said on `err`,
// when the clock, prescaler and --timer-hz disagree.
std::variant<Controller, int> applyController(Beacon& beacon, std::ostream& err);

// jt4dds-cli --format firmware-avr or firmware-pic: the whole beacon
// controller for the beacon's chip, an ATmega328P as one C file or a
// PIC16F628A as one gpasm source, on standard output or all at once into
// `output`. The timer
// is the controller's: a --timer-hz it cannot make is refused (status 2)
// with the rates it can, and the plan is counted in its rate. Refused like
// the C header on an error finding unless `force`. Returns the exit status.
int writeFirmware(Beacon beacon, const PlanCheckOptions& check, bool force, const std::string& output,
                  std::ostream& out, std::ostream& err);

}  // namespace jt4dds
