// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/firmware/frame_check.h"

namespace jt4dds::testing_support {

// What an ATmega328P firmware did on the default wiring (W_CLK PD2, FQ_UD
// PD3, DATA PD4), run in simavr at `clockHz` with a rising minute pulse on
// PB0 (ICP1) at each of `pulseCycles`, 1 ms long, until `endCycle`. The
// sleeping CPU fast-forwards to its next event.
struct AvrRun {
    bool loaded = false;  // the ELF file could be read
    std::uint32_t flashBytes = 0;
    std::vector<Latch> latches;
};
AvrRun runAvr(const std::string& elfPath, std::uint32_t clockHz, const std::vector<std::uint64_t>& pulseCycles,
              std::uint64_t endCycle);

}  // namespace jt4dds::testing_support
