// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/multiplier_chain.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace jt4dds {

int chainRank(double mult) {
    const auto chain = chainOf(mult);
    if (!chain) return 1'000'000;
    return (chain->fives > 0 ? 1000 : 0) + chain->stages();
}

std::optional<Chain> chainOf(double mult) {
    if (!(mult >= 1.0) || mult > 1e15 || mult != std::floor(mult)) return std::nullopt;
    auto rest = static_cast<std::uint64_t>(mult);
    Chain chain;
    for (; rest % 2 == 0; rest /= 2) ++chain.twos;
    for (; rest % 3 == 0; rest /= 3) ++chain.threes;
    for (; rest % 5 == 0; rest /= 5) ++chain.fives;
    if (rest != 1) return std::nullopt;
    return chain;
}

std::string chainLabel(double mult) {
    const auto chain = chainOf(mult);
    if (!chain) return {};
    if (chain->stages() == 0) return "1";
    static constexpr std::array<std::string_view, 10> kSuperscripts{"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string label;
    const auto factor = [&](int prime, int power) {
        if (power == 0) return;
        if (!label.empty()) label += "·";
        label += std::to_string(prime);
        if (power == 1) return;
        for (const char digit : std::to_string(power)) label += kSuperscripts[static_cast<std::size_t>(digit - '0')];
    };
    factor(2, chain->twos);
    factor(3, chain->threes);
    factor(5, chain->fives);
    return label;
}

}  // namespace jt4dds
