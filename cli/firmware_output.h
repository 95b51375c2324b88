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

// What the operator gave for the controller: its clock in Hz and Timer1's
// prescaler, each as typed (empty: the chip's usual clock, the first
// prescaler the engine keys with).
struct ControllerOptions {
    std::string clockHz;
    std::string prescale;
};

// The ATmega328P the operator describes, with `beacon`'s timer set to its
// rate (so that every output counts in it); or the exit status, the reason
// said on `err`, when the clock, prescaler and --timer-hz disagree.
std::variant<Controller, int> applyController(Beacon& beacon, const ControllerOptions& controller, std::ostream& err);

// jt4dds-cli --format firmware-avr: the whole ATmega328P beacon controller
// as one C file, on standard output or all at once into `output`. The timer
// is the controller's: a --timer-hz it cannot make is refused (status 2)
// with the rates it can, and the plan is counted in its rate. Refused like
// the C header on an error finding unless `force`. Returns the exit status.
int writeAvrFirmware(Beacon beacon, const ControllerOptions& controller, const PlanCheckOptions& check, bool force,
                     const std::string& output, std::ostream& out, std::ostream& err);

}  // namespace jt4dds
