// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace jt4dds {

// The fixed number patterns of the listing and the SSB carrier field.
enum class NumberPattern {
    Megahertz,         // "##0.0##MHz": 3 decimals, 1 to 3 shown, then "MHz"
    Hertz,             // "##0.0##Hz": 3 decimals, 1 to 3 shown, then "Hz"
    OutputMegahertz,   // "####00.0000000MHz": 7 decimals, at least 2 integer digits, then "MHz"
    CarrierMegahertz,  // "#####0.0#####": 6 decimals, 1 to 6 shown
};

// Formats `value` by `pattern`, with `separator` standing for the decimal point.
//
// Rounds from the exact value of the double, never from a shorter decimal form:
// only a value whose exact decimal digits beyond the last shown one are a 5
// followed by zeros is a halfway case, and it rounds away from zero (2.0625
// with 3 decimals gives 2.063, -2.0625 gives -2.063). A value that rounds to
// zero is written without a minus sign. No thousands grouping; digits before
// the separator are as many as the value needs. A non-finite value is written
// as "inf", "-inf" or "nan" followed by the unit (the calculation never passes
// one). Locale-free, never throws except std::bad_alloc.
std::string formatNumber(double value, NumberPattern pattern, std::string_view separator);

// `value` rounded like formatNumber to at most `maxDecimals` places, without
// trailing zeros or a bare point, "." as the separator: 276.2025, 28, -0.5.
// For messages that tell the operator what to type, which is read with "."
// whatever the locale.
std::string decimalText(double value, int maxDecimals);

// The same with exactly `decimals` places, trailing zeros kept: for tables.
std::string fixedText(double value, int decimals);
// fixedText with a sign always: "+0.75", "-1.20".
std::string signedText(double value, int decimals);

// The tone number pattern " 0  ": a blank, the integer, two blanks.
std::string formatToneNumber(int tone);

// Eight upper-case hexadecimal digits, two's complement for a negative word.
std::string hexWord(std::int32_t word);

}  // namespace jt4dds
