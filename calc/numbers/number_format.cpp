// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/numbers/number_format.h"

#include <array>
#include <charconv>
#include <cmath>

#include "calc/numbers/exact_chars.h"

namespace jt4dds {
namespace {

struct PatternShape {
    int minIntegerDigits;
    int minDecimals;
    int maxDecimals;
    std::string_view unit;
};

constexpr PatternShape shapeOf(NumberPattern pattern) {
    switch (pattern) {
        case NumberPattern::Megahertz:
            return {1, 1, 3, "MHz"};
        case NumberPattern::Hertz:
            return {1, 1, 3, "Hz"};
        case NumberPattern::OutputMegahertz:
            return {2, 7, 7, "MHz"};
        case NumberPattern::CarrierMegahertz:
            return {1, 1, 6, ""};
    }
    return {1, 1, 6, ""};
}

std::string fixedDigits(double magnitude, int decimals) { return exact::fixed(magnitude, decimals); }

// Adds one unit in the last place to a string of digits with an optional point.
void incrementLastPlace(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it == '.') continue;
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// `magnitude` (not negative) rounded to `decimals` places, halfway cases away
// from zero. exact::fixed rounds the exact binary value correctly but breaks
// exact ties to even; a tie is only possible when the value has at most
// decimals + 1 binary fraction digits, so those few values are written one
// place longer (exactly) and rounded here.
std::string roundedMagnitude(double magnitude, int decimals) {
    const double scaled = std::ldexp(magnitude, decimals + 1);
    if (std::isfinite(scaled) && scaled == std::floor(scaled)) {
        std::string exact = fixedDigits(magnitude, decimals + 1);
        const char last = exact.back();
        exact.pop_back();
        if (decimals == 0) exact.pop_back();  // the point
        if (last >= '5') incrementLastPlace(exact);
        return exact;
    }
    return fixedDigits(magnitude, decimals);
}

std::string formatShaped(double value, const PatternShape& shape, std::string_view separator) {
    if (!std::isfinite(value)) {
        std::string s = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
        return s.append(shape.unit);
    }

    std::string digits = roundedMagnitude(std::fabs(value), shape.maxDecimals);
    std::size_t point = digits.find('.');
    if (point == std::string::npos) point = digits.size();  // no decimals asked for
    // Trailing zeros beyond the decimals the pattern always shows are dropped.
    std::size_t keep = digits.size();
    while (keep > point + 1 + static_cast<std::size_t>(shape.minDecimals) && digits[keep - 1] == '0') --keep;
    digits.resize(keep);
    if (point < static_cast<std::size_t>(shape.minIntegerDigits)) {
        digits.insert(0, static_cast<std::size_t>(shape.minIntegerDigits) - point, '0');
        point = static_cast<std::size_t>(shape.minIntegerDigits);
    }

    const bool showsNonZero = digits.find_first_of("123456789") != std::string::npos;
    std::string out;
    out.reserve(digits.size() + separator.size() + shape.unit.size() + 1);
    if (value < 0 && showsNonZero) out += '-';
    out.append(digits, 0, point);
    if (digits.size() > point + 1) {
        out += separator;
        out.append(digits, point + 1);
    }
    out += shape.unit;
    return out;
}

}  // namespace

std::string formatNumber(double value, NumberPattern pattern, std::string_view separator) {
    return formatShaped(value, shapeOf(pattern), separator);
}

std::string decimalText(double value, int maxDecimals) {
    return formatShaped(value, PatternShape{1, 0, maxDecimals, ""}, ".");
}

std::string fixedText(double value, int decimals) {
    return formatShaped(value, PatternShape{1, decimals, decimals, ""}, ".");
}

std::string signedText(double value, int decimals) {
    std::string text = fixedText(value, decimals);
    if (text.front() != '-') text.insert(0, 1, '+');
    return text;
}

std::string formatToneNumber(int tone) {
    std::array<char, 16> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), tone);
    std::string out = " ";
    out.append(buf.data(), r.ptr);
    out += "  ";
    return out;
}

std::string hexWord(std::int32_t word) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(word);
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[bits & 0xFU];
        bits >>= 4;
    }
    return out;
}

}  // namespace jt4dds
