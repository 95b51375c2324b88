// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "calc/transmission/controller.h"
#include "calc/tuning/beacon.h"
#include "session/evaluation.h"

namespace jt4dds {

// What a firmware file of `mcu` is: "c" and "C source" for the ATmega328P,
// "asm" and "gpasm source" for the PIC16F628A; and its format's name for
// jt4dds-cli ("firmware-avr", "firmware-pic").
struct FirmwareKind {
    std::string_view suffix;
    std::string_view what;
    std::string_view format;
};
FirmwareKind firmwareKind(Mcu mcu);

// The whole beacon controller for `beacon`, exactly as jt4dds-cli --format
// firmware-avr or firmware-pic writes it (its "Written by" line makes it
// again): the beacon is counted in the controller's timer, evaluated and
// gated as a C header is (refused when the press stopped, or when an error
// finding says the words cannot make the beacon and `force` is not given);
// refused too, with the reason, when the controller cannot be made, the
// beacon has no message, or its message cannot be sent.
ExportAnswer exportFirmware(Beacon beacon, bool force, bool toFile = true, const EvaluateOptions& options = {});

}  // namespace jt4dds
