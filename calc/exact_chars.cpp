// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/exact_chars.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#if !defined(JT4DDS_PORTABLE_DOUBLE_CHARS)
#include <charconv>
#include <system_error>
#endif

namespace jt4dds::exact {

#if !defined(JT4DDS_PORTABLE_DOUBLE_CHARS)

namespace standard {

std::string fixed(double magnitude, int decimals) {
    // Large enough for any finite double in fixed notation with 17 decimals.
    std::array<char, 400> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, std::chars_format::fixed, decimals);
    return std::string(buf.data(), r.ptr);
}

Read scientific(const char* text, double& value) noexcept {
    const std::string_view view(text);
    const auto parsed = std::from_chars(view.data(), view.data() + view.size(), value);
    if (parsed.ec != std::errc::result_out_of_range) return Read::Value;
    // D…D × 10^N with the first digit not 0 is at least 10^(digits + N - 1):
    // from 1 up it can only have overflowed.
    const std::size_t e = view.find('e');
    const long exponent = std::strtol(text + e + 1, nullptr, 10);
    return static_cast<long>(e) + exponent > 0 ? Read::Overflow : Read::Underflow;
}

}  // namespace standard

std::string fixed(double magnitude, int decimals) { return standard::fixed(magnitude, decimals); }
Read scientific(const char* text, double& value) noexcept { return standard::scientific(text, value); }

#else

std::string fixed(double magnitude, int decimals) { return portable::fixed(magnitude, decimals); }
Read scientific(const char* text, double& value) noexcept { return portable::scientific(text, value); }

#endif

namespace portable {

std::string fixed(double magnitude, int decimals) {
    std::array<char, 400> buf;
    const int n = std::snprintf(buf.data(), buf.size(), "%.*f", decimals, magnitude);
    std::string out(buf.data(), static_cast<std::size_t>(n > 0 ? n : 0));
    // Whatever separator a locale gave, the text has "." (the calculation
    // never sets a locale, but a program around it might).
    std::size_t point = 0;
    while (point < out.size() && out[point] >= '0' && out[point] <= '9') ++point;
    std::size_t after = point;
    while (after < out.size() && (out[after] < '0' || out[after] > '9')) ++after;
    if (point < out.size()) out.replace(point, after - point, ".");
    return out;
}

Read scientific(const char* text, double& value) noexcept {
    // The text has no decimal point, so strtod reads it the same in every locale.
    errno = 0;
    value = std::strtod(text, nullptr);
    if (errno == ERANGE && std::isinf(value)) return Read::Overflow;
    if (errno == ERANGE && value == 0.0) return Read::Underflow;
    return Read::Value;
}

}  // namespace portable

}  // namespace jt4dds::exact
