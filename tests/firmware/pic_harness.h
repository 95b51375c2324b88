// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/firmware/frame_check.h"

namespace jt4dds::testing_support {

// What a PIC16F628A firmware did on the default wiring (W_CLK RA0, FQ_UD
// RA1, DATA RA2), run in gpsim from its .cod file with a rising minute pulse
// on RB3 (CCP1) at each of `pulseCycles` (instruction cycles), 1 ms long,
// until `endCycle`: gpsim logs every write to PORTA with its cycle, which
// this reads back into the frames the DDS took. `workDir` holds gpsim's
// command and log files. Latch cycles are instruction cycles.
struct PicRun {
    bool ran = false;  // gpsim ran and its log could be read
    std::string said;  // gpsim's own words when it did not
    std::vector<Latch> latches;
};
PicRun runPic(const std::string& codPath, const std::vector<std::uint64_t>& pulseCycles, std::uint64_t endCycle,
              const std::string& workDir);

}  // namespace jt4dds::testing_support
