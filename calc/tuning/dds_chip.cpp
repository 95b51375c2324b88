// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/dds_chip.h"

#include <algorithm>
#include <cctype>

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/tuning/beacon.h"

namespace jt4dds {

const DdsChip* ddsChip(std::string_view name) {
    const auto same = [&](const DdsChip& chip) {
        return std::equal(chip.name.begin(), chip.name.end(), name.begin(), name.end(), [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
        });
    };
    const auto* found = std::find_if(kDdsChips.begin(), kDdsChips.end(), same);
    return found == kDdsChips.end() ? nullptr : found;
}

std::string ddsChipLine(const DdsChip& chip) {
    std::string line = std::string(chip.name) + ": " + decimalText(chip.maxClockMHz, 0) + " MHz";
    if (!chip.referenceMultiplier.empty())
        line += ", " + std::string(chip.referenceMultiplier) + " reference multiplier";
    return line;
}

std::optional<double> readMaxClockMHz(std::string_view text) {
    // Digits with at most one point between them: no blanks, signs or
    // exponents, which a field would read but a data sheet never writes.
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    const std::size_t point = text.find('.');
    const bool plain = !text.empty() && isDigit(text.front()) && isDigit(text.back()) &&
                       std::all_of(text.begin(), text.end(), [&](char c) { return isDigit(c) || c == '.'; }) &&
                       (point == std::string_view::npos || text.find('.', point + 1) == std::string_view::npos);
    if (!plain || text.size() > 12) return std::nullopt;
    const NumberRead read = LeadingNumber(text);
    if (!(read.value > 0.0) || read.value > 100000.0) return std::nullopt;
    return read.value;
}

std::optional<double> maxClockHz(const Beacon& beacon) {
    if (!beacon.maxClockMHz.empty()) {
        const auto mhz = readMaxClockMHz(beacon.maxClockMHz);
        return mhz ? std::optional(*mhz * 1e6) : std::nullopt;
    }
    if (const DdsChip* chip = ddsChip(beacon.dds)) return chip->maxClockMHz * 1e6;
    return std::nullopt;
}

}  // namespace jt4dds
