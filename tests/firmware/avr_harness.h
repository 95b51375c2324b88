// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jt4dds::testing_support {

// One rising edge of FQ_UD as the DDS sees it: the bits W_CLK took since
// the previous edge (first bit first) and the CPU cycle of the edge.
struct Latch {
    std::vector<bool> bits;
    std::uint64_t cycle = 0;
    // The 32-bit word of a 40-bit frame (its first 32 bits, least significant first).
    std::uint32_t word() const;
    // The control byte (bits 32 to 39, W32 in bit 0).
    std::uint8_t control() const;
};

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
