// SPDX-License-Identifier: GPL-3.0-or-later
// A beacon file's bytes, whatever they are. Never crashes; what it accepts
// writes back to a file that reads as the same beacon, and presses alike.
#include <cstdint>
#include <string_view>

#include "calc/tuning/calculation_run.h"
#include "formats/beacon_file.h"
#include "fuzz/expect.h"

using namespace jt4dds;
using fuzzing::expect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto read = readBeacon(bytes);
    if (const auto* why = std::get_if<std::string>(&read)) {
        expect(!why->empty(), "a refusal says why");
        return 0;
    }
    Beacon first = std::get<Beacon>(std::move(read));
    const std::string written = beaconText(first);
    auto again = readBeacon(written);
    expect(std::holds_alternative<Beacon>(again), "a written beacon reads back");
    Beacon second = std::get<Beacon>(std::move(again));
    expect(beaconText(second) == written, "reading and writing again changes nothing");
    expect(calculate(first).listing == calculate(second).listing, "the same listing after a round trip");
    return 0;
}
