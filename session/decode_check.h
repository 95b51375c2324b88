// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "session/evaluation.h"

namespace jt4dds {

// What jt9 made of one simulated minute.
struct DecodedMinute {
    std::uint64_t seed = 0;
    bool decoded = false;  // the message came back, found without knowing it ("f")
    std::string heard;     // jt9's lines for it, one a decode
};

// "Will it decode?" asked of the station's own decoder: N minutes of the
// beacon as its receiver hears it, in noise at `snrDb` (in 2500 Hz) from
// seeds 1 to N, each decoded by jt9 at the receiver's settings (the submode,
// data tone 0's audio frequency).
struct DecodeCheck {
    std::string jt9;      // the program run
    std::string version;  // its package's version, where the system says
    double snrDb = 0.0;
    std::vector<DecodedMinute> minutes;
    int decodes() const;
};

// Where jt9 is on the PATH; empty when it is not.
std::string findJt9();

// The check, or why it cannot be made: no message, a press that stopped, PI4
// (which jt9 does not decode), jt9 missing (with how to get it), or a
// minute jt9 could not be run on. `progress`, when given, hears of each
// minute done; `cancel`, when set, stops before the next minute (the
// minutes done are kept). Runs jt9 in a scratch folder of its own, removed
// afterwards. Never throws except std::bad_alloc.
std::variant<DecodeCheck, std::string> decodeCheck(const Evaluation& evaluation, int minutes, double snrDb,
                                                   const std::function<void(int done)>& progress = {},
                                                   const std::atomic<bool>* cancel = nullptr);

// "decodes 5 of 6 at -22 dB (jt9 2.6.1)".
std::string decodeCheckLine(const DecodeCheck& check);

// How to get jt9 where it is missing.
inline constexpr std::string_view kJt9Missing =
    "jt9 is not installed: it comes with WSJT-X (on Debian: apt install wsjtx)";

}  // namespace jt4dds
