// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace jt4dds {

struct Beacon;

// A DDS chip with a 32-bit frequency tuning word, as its data sheet gives
// it: the highest system clock it is specified for, and the multiplier that
// may make that clock from a lower reference inside the chip. The Master
// Reference is the system clock the DDS counts at, after any such
// multiplier.
struct DdsChip {
    std::string_view name;                 // "AD9851"
    double maxClockMHz = 0.0;              // the fastest system clock
    std::string_view referenceMultiplier;  // "6x", "4x to 20x (PLL)", or empty for none
};

// Analog Devices data sheets (their front pages and electrical tables). Chips with
// 28-bit or 48-bit tuning words (AD9833/4, AD9852/4, AD9912) are left out:
// their words are not this program's.
inline constexpr std::array kDdsChips{
    DdsChip{"AD9832", 25.0, ""},
    DdsChip{"AD9835", 50.0, ""},
    DdsChip{"AD9850", 125.0, ""},
    DdsChip{"AD9851", 180.0, "6x"},
    DdsChip{"AD9858", 1000.0, ""},
    DdsChip{"AD9910", 1000.0, "12x to 127x (PLL)"},
    DdsChip{"AD9951", 400.0, "4x to 20x (PLL)"},
    DdsChip{"AD9952", 400.0, "4x to 20x (PLL)"},
    DdsChip{"AD9953", 400.0, "4x to 20x (PLL)"},
    DdsChip{"AD9954", 400.0, "4x to 20x (PLL)"},
    DdsChip{"AD9958", 500.0, "4x to 20x (PLL)"},
    DdsChip{"AD9959", 500.0, "4x to 20x (PLL)"},
};

// The chip `name` names, in any letter case ("ad9851"); none for another name.
const DdsChip* ddsChip(std::string_view name);

// "AD9851: 180 MHz, 6x reference multiplier": one line for a list of presets.
std::string ddsChipLine(const DdsChip& chip);

// What a maximum clock typed as `text` reads as, in MHz: a plain decimal
// above 0 and at most 100000, nothing before or after it; none otherwise.
std::optional<double> readMaxClockMHz(std::string_view text);

// The fastest Master Reference `beacon`'s DDS takes, in Hz: the maximum clock
// typed, else its chip's; none when neither is given or the text is no clock.
std::optional<double> maxClockHz(const Beacon& beacon);

}  // namespace jt4dds
