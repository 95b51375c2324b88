// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace jt4dds {

// What LeadingNumber made of a field's text.
struct NumberRead {
    // The double nearest to the decimal number read; 0 when no digit was read.
    // A number too small for a double reads as a zero of its sign.
    double value = 0.0;
    // False when the number read lies beyond the range of a double; `value` is
    // then meaningless and the calculation must not go on with it.
    bool inRange = true;
    // Offset into the original text just past the last character that belongs
    // to the number (dropped white space before it included); 0 when no digit
    // was read.
    std::size_t end = 0;
};

// The one conversion from field text to number.
//
// Spaces, tabs, line feeds and carriage returns are dropped wherever they
// stand. From the start it then reads an optional sign, digits with at most one
// decimal point among or before them, and an optional exponent (E or e, an
// optional sign, at least one digit). Reading stops at the first character
// that cannot continue the number; what follows is ignored. An exponent letter
// with no digit after it is not part of the number ("5e" and "5e+" read as 5).
// A radix prefix such as "&H" is not a number and reads as 0, like any text
// with no digit.
//
// The decimal separator is "." whatever the locale. Any length of digits and
// any exponent are read exactly (correctly rounded, ties to even). Never
// throws, never allocates, accepts any bytes (NUL and non-ASCII stop reading).
NumberRead LeadingNumber(std::string_view text) noexcept;

// `text` without the blanks LeadingNumber drops (spaces, tabs, line feeds,
// carriage returns): what the operator typed, as the reading sees it.
std::string withoutDroppedBlanks(std::string_view text);

}  // namespace jt4dds
