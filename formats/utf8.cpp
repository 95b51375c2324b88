// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/utf8.h"

#include <cstddef>

namespace jt4dds {

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        unsigned lowest = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, lowest = 0x80, code = c & 0x1FU;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, lowest = 0x800, code = c & 0x0FU;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, lowest = 0x10000, code = c & 0x07U;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0U) != 0x80U) return false;
            code = (code << 6) | (cc & 0x3FU);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace jt4dds
