// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace jt4dds {

// A multiplier chain: how many doublers, triplers and quintuplers make a
// multiplication.
struct Chain {
    int twos = 0;
    int threes = 0;
    int fives = 0;
    int stages() const { return twos + threes + fives; }
};
// The chain that makes `mult`, for a whole number whose only factors are 2,
// 3 and 5; none otherwise (x418, x10.5).
std::optional<Chain> chainOf(double mult);
// "2⁷·3", "3²·5", "1" for no multiplier; empty when no such chain makes it.
std::string chainLabel(double mult);
// How simple the chain is, smaller first: doublers and triplers by their
// stages, then chains with quintuplers, then multiplications no chain makes.
int chainRank(double mult);

}  // namespace jt4dds
