// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace jt4dds {

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isUtf8(std::string_view text);

}  // namespace jt4dds
