// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace jt4dds::exact {

// The conversions between doubles and decimal text the program needs, exact
// on every platform and free of any locale. Where the standard library has
// std::to_chars and std::from_chars for double, they do the work; where it
// has not (libc++ 13, the WebAssembly build), an exact decimal of our own
// does. The choice is made at build time (JT4DDS_PORTABLE_DOUBLE_CHARS); both
// are compiled where both exist, and tested against each other.

// `magnitude` (finite, not negative) in fixed notation, rounded to `decimals`
// places (0 to 17) from its exact binary value, ties to even: "2320.1000000".
// "." is the separator; no sign, no exponent.
std::string fixed(double magnitude, int decimals);

// The fewest significant digits that read back as `magnitude` (finite, above
// 0), and of those the nearest to it, ties to even: what std::to_chars writes
// without a precision. 1234.5 gives {"12345", 3}, 1e-7 gives {"1", -7}: the
// value is d.ddd × 10^exponent. The first digit is never 0; no sign.
struct Digits {
    std::string digits;
    int exponent = 0;
};
Digits shortest(double magnitude);

// What a scientific text read as.
enum class Read { Value, Overflow, Underflow };

// The double nearest to `text`, a NUL-terminated "D…De±N": decimal digits
// (the first not 0), 'e', and a signed exponent; ties to even. Overflow and an
// underflow to zero are told apart; a subnormal result is a value. Never
// allocates.
Read scientific(const char* text, double& value) noexcept;

namespace standard {
std::string fixed(double magnitude, int decimals);
Digits shortest(double magnitude);
Read scientific(const char* text, double& value) noexcept;
}  // namespace standard

namespace portable {
std::string fixed(double magnitude, int decimals);
Digits shortest(double magnitude);
Read scientific(const char* text, double& value) noexcept;
}  // namespace portable

}  // namespace jt4dds::exact
