// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/numbers/leading_number.h"

#include "calc/numbers/exact_chars.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <system_error>

namespace jt4dds {
namespace {

// IEEE doubles round correctly from 768 significant decimal digits and a note
// of whether any non-zero digit follows them; keeping a few more costs nothing
// and lets a text of any length be read from a fixed buffer.
constexpr std::size_t kKeptDigits = 800;
// Any decimal exponent beyond this overflows or underflows a double outright,
// whatever the (at most kKeptDigits + 1) digits in front of it.
constexpr std::int64_t kExponentClamp = 99999;
// The exponent's own digits are gathered up to this bound, which leaves room
// to add the digits' scale (a text's length at most) without overflow. Only
// the sum is clamped: "0.000…01e100000" must come out as the 1 it is.
constexpr std::int64_t kExponentDigitsClamp = 100'000'000'000'000'000;

constexpr bool isDropped(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Walks the text, stepping over dropped white space.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) { skip(); }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance() {
        ++pos_;
        skip();
    }
    // Offset just past the character last stepped over (before any white space skipped after it).
    std::size_t consumedEnd() const { return consumedEnd_; }
    void markConsumed() { consumedEnd_ = pos_ + 1; }

private:
    void skip() {
        while (pos_ < text_.size() && isDropped(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t consumedEnd_ = 0;
};

std::int64_t clamp(std::int64_t e, std::int64_t bound) {
    if (e > bound) return bound;
    if (e < -bound) return -bound;
    return e;
}

}  // namespace

std::string withoutDroppedBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (!isDropped(c)) out += c;
    return out;
}

NumberRead LeadingNumber(std::string_view text) noexcept {
    Cursor at(text);

    bool negative = false;
    if (at.peek() == '+' || at.peek() == '-') {
        negative = at.peek() == '-';
        at.advance();
    }

    // The significant digits (from the first non-zero one) go into `digits`;
    // the value read is digits × 10^scale, plus a trace beyond the kept ones.
    std::array<char, kKeptDigits + 32> buf{};
    std::size_t kept = 0;
    bool dropped = false;  // a non-zero digit beyond the kept ones
    std::int64_t scale = 0;
    bool anyDigit = false;
    bool pointSeen = false;
    std::size_t end = 0;

    for (;;) {
        const char c = at.peek();
        if (isDigit(c)) {
            anyDigit = true;
            if (kept == 0 && c == '0') {
                if (pointSeen) --scale;
            } else if (kept < kKeptDigits) {
                buf[kept++] = c;
                if (pointSeen) --scale;
            } else {
                if (!pointSeen) ++scale;
                if (c != '0') dropped = true;
            }
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
        at.markConsumed();
        at.advance();
    }
    if (!anyDigit) return {};
    end = at.consumedEnd();

    // The exponent counts only when at least one digit follows its letter.
    std::int64_t exponent = 0;
    if (at.peek() == 'e' || at.peek() == 'E') {
        Cursor probe = at;
        probe.advance();
        bool expNegative = false;
        if (probe.peek() == '+' || probe.peek() == '-') {
            expNegative = probe.peek() == '-';
            probe.advance();
        }
        if (isDigit(probe.peek())) {
            while (isDigit(probe.peek())) {
                exponent = clamp(exponent * 10 + (probe.peek() - '0'), kExponentDigitsClamp);
                probe.markConsumed();
                probe.advance();
            }
            if (expNegative) exponent = -exponent;
            end = probe.consumedEnd();
        }
    }

    if (kept == 0) return {negative ? -0.0 : 0.0, true, end};
    if (dropped) {
        buf[kept++] = '1';
        --scale;
    }
    const std::int64_t totalExponent = clamp(scale + exponent, kExponentClamp);

    char* out = buf.data() + kept;
    *out++ = 'e';
    out = std::to_chars(out, buf.data() + buf.size(), totalExponent).ptr;

    *out = '\0';
    double magnitude = 0.0;
    switch (exact::scientific(buf.data(), magnitude)) {
        case exact::Read::Overflow:
            return {0.0, false, end};
        case exact::Read::Underflow:
            magnitude = 0.0;
            break;
        case exact::Read::Value:
            break;
    }
    return {negative ? -magnitude : magnitude, true, end};
}

}  // namespace jt4dds
