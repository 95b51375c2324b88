// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <variant>
#include <vector>

#include "calc/hearing/simulation.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/selector_items.h"

namespace jt4dds::testing_support {

// The minute of a sound JT4 beacon sending CQ K1ABC FN42 on `submode` ("A"
// to "G") at 2320.1 MHz from a 300 MHz reference, part after part as its
// receiver hears it, for the decoder measurements to bend; nothing for a
// submode that is none. `cwAndCarrier` false leaves the message alone in it.
struct SoundMinute {
    Receiver receiver;
    std::vector<HeardPart> parts;
};
inline std::optional<SoundMinute> soundMinute(const char* submode, bool cwAndCarrier) {
    Beacon beacon;
    beacon.text(Input::Reference) = "300";
    const auto mode = itemLabelled(Selector::JTMode, submode);
    if (!mode) return std::nullopt;
    beacon.mode = Pick::item(mode->index);
    beacon.message = "CQ K1ABC FN42";
    beacon.cw = cwAndCarrier;
    beacon.carrier = cwAndCarrier;
    const Press press = calculate(beacon);
    const auto receiver = receiverOf(press);
    const auto transmission = planTransmission(beacon);
    if (!receiver || transmission.index() != 0) return std::nullopt;
    return SoundMinute{*receiver, heardMinute(press, std::get<Transmission>(transmission), *receiver)};
}

}  // namespace jt4dds::testing_support
