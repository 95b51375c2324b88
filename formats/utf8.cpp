// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/utf8.h"

namespace jt4dds {

Utf8Sequence utf8Sequence(std::string_view text) {
    const auto c = static_cast<unsigned char>(text[0]);
    if (c < 0x80) return {1, true};
    // The continuation bytes a lead byte needs, and the range its first one
    // must lie in: what rules out overlong forms, surrogates and anything
    // above U+10FFFF.
    std::size_t extra = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return {1, false};
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        if (k >= text.size()) return {k, false};
        const auto cc = static_cast<unsigned char>(text[k]);
        if (cc < (k == 1 ? low : 0x80) || cc > (k == 1 ? high : 0xBF)) return {k, false};
    }
    return {extra + 1, true};
}

bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Sequence sequence = utf8Sequence(text.substr(i));
        if (!sequence.wellFormed) return false;
        i += sequence.length;
    }
    return true;
}

}  // namespace jt4dds
