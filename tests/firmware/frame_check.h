// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
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

// How a controller's clock is held against the plan: the simulator's cycles
// a timer count lasts, how many cycles a latch may lie either side of its
// planned count, and how many after the pulse a frame planned at the pulse
// itself may come (it latches when the engine sees the pulse).
struct Timing {
    std::uint64_t cyclesPerCount = 1;
    std::int64_t tolerance = 0;
    std::int64_t atPulse = 0;
};

// The latches a controller made, held against the JSON report's plan: the
// serial-mode edge and the power-down frame first, then each minute's
// frames from its pulse, word for word, each within `timing`, and their
// spread within 8 cycles. Empty when all hold, else the first difference.
std::string checkFrames(const std::vector<Latch>& latches, const nlohmann::json& report,
                        const std::vector<std::uint64_t>& pulses, const Timing& timing);

// The minute the latches key, as its receiver hears it: each latched word
// held from its FQ_UD edge (in cycles from `pulse`, `cyclesPerSecond` a
// second) to the next, at the audio its realised frequency makes on the
// report's dial (upper sideband), nothing while the DDS is powered down;
// made into sound by the program's own synthesis at -18 dB.
std::vector<std::int16_t> heardFirmware(const std::vector<Latch>& latches, const nlohmann::json& report,
                                        std::uint64_t pulse, double cyclesPerSecond);

// What jt9 decodes of `samples` (12 kHz) for a JT4 `submode` with the
// report's receiver, through the decoder tests' script; `dir` holds the
// WAV file and jt9's words.
std::string decodedByJt9(const std::vector<std::int16_t>& samples, const nlohmann::json& report, char submode,
                         const std::string& dir);

}  // namespace jt4dds::testing_support
