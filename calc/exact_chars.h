// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace jt4dds::exact {

// The two conversions between doubles and decimal text the calculation needs,
// exact on every platform and free of any locale. Where the standard library
// has std::to_chars and std::from_chars for double, they do the work; where
// it has not (libc++ 13, the WebAssembly build), the C library's exact
// printf and strtod do, on texts that carry no locale-dependent character.
// The choice is made at build time (JT4DDS_PORTABLE_DOUBLE_CHARS); both are
// compiled where both exist, and tested against each other.

// `magnitude` (finite, not negative) in fixed notation, rounded to `decimals`
// places (0 to 17) from its exact binary value, ties to even: "2320.1000000".
// "." is the separator; no sign, no exponent.
std::string fixed(double magnitude, int decimals);

// What a scientific text read as.
enum class Read { Value, Overflow, Underflow };

// The double nearest to `text`, a NUL-terminated "D…De±N": decimal digits
// (the first not 0), 'e', and a signed exponent; ties to even. Overflow and an
// underflow to zero are told apart; a subnormal result is a value. Never
// allocates.
Read scientific(const char* text, double& value) noexcept;

namespace standard {
std::string fixed(double magnitude, int decimals);
Read scientific(const char* text, double& value) noexcept;
}  // namespace standard

namespace portable {
std::string fixed(double magnitude, int decimals);
Read scientific(const char* text, double& value) noexcept;
}  // namespace portable

}  // namespace jt4dds::exact
