// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

namespace jt4dds {

// The UTF-8 sequence at the start of `text` (not empty): a well-formed one of
// 1 to 4 bytes, or the bytes to skip as one ill-formed piece: the longest
// start of a well-formed sequence there, at least 1 byte. "\xE2\x82\xAC" is
// 3 well-formed bytes; "\xE2\x82x" is 2 ill-formed ones and then 'x';
// "\xC0\xAF" is 1 ill-formed byte (no sequence starts with C0), then another.
struct Utf8Sequence {
    std::size_t length;
    bool wellFormed;
};
Utf8Sequence utf8Sequence(std::string_view text);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isUtf8(std::string_view text);

}  // namespace jt4dds
