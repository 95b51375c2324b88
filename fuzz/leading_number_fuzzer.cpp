// SPDX-License-Identifier: GPL-3.0-or-later
// LeadingNumber on arbitrary bytes: never crashes, never gives a non-finite
// value for a number in range, never reads past the text, and agrees with the
// C library's strtod ("C" locale) on every plain decimal number.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/numbers/leading_number.h"

namespace {

[[noreturn]] void fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "leading_number_fuzzer: %s for %zu bytes\n", what, text.size());
    std::abort();
}

// Sign, digits with at most one point and at least one digit, optional exponent
// with digits: the texts strtod and LeadingNumber must read alike.
bool plainDecimal(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digit = false, point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') {
            digit = true;
        } else if (t[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digit) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        const std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        if (i == start) return false;
    }
    return i == t.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const jt4dds::NumberRead read = jt4dds::LeadingNumber(text);
    if (read.end > size) fail("read past the end", text);
    if (read.inRange && !std::isfinite(read.value)) fail("non-finite value in range", text);

    if (plainDecimal(text) && size < 4096) {
        const std::string copy(text);
        errno = 0;
        const double expected = std::strtod(copy.c_str(), nullptr);
        if (std::isinf(expected)) {
            if (read.inRange) fail("overflow not reported", text);
        } else if (!read.inRange || read.value != expected || std::signbit(read.value) != std::signbit(expected)) {
            fail("disagrees with strtod", text);
        }
        if (read.end != size) fail("did not read the whole number", text);
    }
    return 0;
}
