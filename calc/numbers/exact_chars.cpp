// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/numbers/exact_chars.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

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

Digits shortest(double magnitude) {
    std::array<char, 32> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, std::chars_format::scientific);
    // "1.2345e+03": the digits around the point, then the exponent.
    const std::string_view text(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
    const std::size_t e = text.find('e');
    Digits out;
    for (char c : text.substr(0, e))
        if (c != '.') out.digits += c;
    const std::size_t sign = text[e + 1] == '+' ? e + 2 : e + 1;
    std::from_chars(text.data() + sign, text.data() + text.size(), out.exponent);
    return out;
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
Digits shortest(double magnitude) { return standard::shortest(magnitude); }
Read scientific(const char* text, double& value) noexcept { return standard::scientific(text, value); }

#else

std::string fixed(double magnitude, int decimals) { return portable::fixed(magnitude, decimals); }
Digits shortest(double magnitude) { return portable::shortest(magnitude); }
Read scientific(const char* text, double& value) noexcept { return portable::scientific(text, value); }

#endif

namespace portable {
namespace {

// A decimal number of up to kCapacity significant digits, exact or marked
// as truncated: the value is 0.d[0]d[1]…d[nd-1] × 10^dp. Doubles convert to it
// and from it by shifting it by powers of two, which a decimal of this many
// digits does without error; rounding is then done on its digits.
class Decimal {
public:
    static constexpr int kCapacity = 820;

    // The non-negative integer `v`.
    void assign(std::uint64_t v) {
        std::array<unsigned char, 24> reversed{};
        int n = 0;
        for (; v > 0; v /= 10) reversed[static_cast<std::size_t>(n++)] = static_cast<unsigned char>(v % 10);
        nd_ = 0;
        while (n > 0) d_[static_cast<std::size_t>(nd_++)] = reversed[static_cast<std::size_t>(--n)];
        dp_ = nd_;
        trim();
    }

    // D…D × 10^exponent: `digits` are values 0 to 9, the first not 0.
    void assign(const unsigned char* digits, int count, long exponent) {
        nd_ = 0;
        for (int i = 0; i < count && i < kCapacity; ++i) d_[static_cast<std::size_t>(nd_++)] = digits[i];
        for (int i = kCapacity; i < count; ++i)
            if (digits[i] != 0) truncated_ = true;
        dp_ = static_cast<int>(count + exponent);
        trim();
    }

    // Multiplies by 2^k (k > 0) or divides by 2^-k, in steps a 64-bit
    // integer holds without overflow.
    void shift(int k) {
        if (nd_ == 0) return;
        constexpr int kMaxStep = 60;
        while (k > 0) {
            const int step = k < kMaxStep ? k : kMaxStep;
            leftShift(static_cast<unsigned>(step));
            k -= step;
        }
        while (k < 0) {
            const int step = -k < kMaxStep ? -k : kMaxStep;
            rightShift(static_cast<unsigned>(step));
            k += step;
        }
    }

    // True when rounding to `n` digits goes up: more than half, or exactly
    // half with an odd digit before it (or anything truncated beyond).
    bool roundsUp(int n) const {
        if (n < 0 || n >= nd_) return false;
        if (d_[static_cast<std::size_t>(n)] == 5 && n + 1 == nd_) {
            if (truncated_) return true;
            return n > 0 && d_[static_cast<std::size_t>(n - 1)] % 2 == 1;
        }
        return d_[static_cast<std::size_t>(n)] >= 5;
    }

    // Rounds to `n` significant digits, ties to even.
    void round(int n) {
        if (n < 0 || n >= nd_) return;
        if (roundsUp(n)) {
            roundUp(n);
        } else {
            nd_ = n;
            trim();
        }
    }

    // The next number of `n` significant digits above this one's first `n`
    // (n ≥ 0; at 0, one unit of the place before the first): what rounding
    // up to `n` digits gives.
    void roundUp(int n) {
        if (n < 0 || n >= nd_) return;
        for (int i = n - 1; i >= 0; --i) {
            if (d_[static_cast<std::size_t>(i)] < 9) {
                ++d_[static_cast<std::size_t>(i)];
                nd_ = i + 1;
                return;
            }
        }
        d_[0] = 1;
        nd_ = 1;
        ++dp_;
    }

    // The integer part, rounded to nearest with ties to even; all ones when
    // it does not fit.
    std::uint64_t roundedInteger() const {
        if (dp_ > 20) return ~std::uint64_t{0};
        std::uint64_t n = 0;
        int i = 0;
        for (; i < dp_ && i < nd_; ++i) n = n * 10 + d_[static_cast<std::size_t>(i)];
        for (; i < dp_; ++i) n *= 10;
        if (roundsUp(dp_)) ++n;
        return n;
    }

    int digitCount() const { return nd_; }
    int point() const { return dp_; }
    int digit(int i) const { return i >= 0 && i < nd_ ? d_[static_cast<std::size_t>(i)] : 0; }

private:
    void trim() {
        while (nd_ > 0 && d_[static_cast<std::size_t>(nd_ - 1)] == 0) --nd_;
        if (nd_ == 0) dp_ = 0;
    }

    void leftShift(unsigned k) {
        // From the last digit up, into a buffer with room for the new ones.
        std::array<unsigned char, kCapacity + 24> out{};
        std::size_t w = out.size();
        std::uint64_t carry = 0;
        for (int r = nd_ - 1; r >= 0; --r) {
            const std::uint64_t n = (std::uint64_t{d_[static_cast<std::size_t>(r)]} << k) + carry;
            out[--w] = static_cast<unsigned char>(n % 10);
            carry = n / 10;
        }
        for (; carry > 0; carry /= 10) out[--w] = static_cast<unsigned char>(carry % 10);
        const int count = static_cast<int>(out.size() - w);
        dp_ += count - nd_;
        nd_ = 0;
        for (std::size_t i = w; i < out.size(); ++i) {
            if (nd_ < kCapacity) {
                d_[static_cast<std::size_t>(nd_++)] = out[i];
            } else if (out[i] != 0) {
                truncated_ = true;
            }
        }
        trim();
    }

    void rightShift(unsigned k) {
        int r = 0;
        int w = 0;
        std::uint64_t n = 0;
        // Enough leading digits to divide.
        for (; (n >> k) == 0; ++r) {
            if (r >= nd_) {
                if (n == 0) {
                    nd_ = 0;
                    return;
                }
                while ((n >> k) == 0) {
                    n *= 10;
                    ++r;
                }
                break;
            }
            n = n * 10 + d_[static_cast<std::size_t>(r)];
        }
        dp_ -= r - 1;
        const std::uint64_t mask = (std::uint64_t{1} << k) - 1;
        for (; r < nd_; ++r) {
            d_[static_cast<std::size_t>(w++)] = static_cast<unsigned char>(n >> k);
            n = (n & mask) * 10 + d_[static_cast<std::size_t>(r)];
        }
        while (n > 0) {
            const auto digit = static_cast<unsigned char>(n >> k);
            if (w < kCapacity) {
                d_[static_cast<std::size_t>(w++)] = digit;
            } else if (digit > 0) {
                truncated_ = true;
            }
            n = (n & mask) * 10;
        }
        nd_ = w;
        trim();
    }

    std::array<unsigned char, kCapacity> d_{};
    int nd_ = 0;
    int dp_ = 0;
    bool truncated_ = false;
};

constexpr int kMantissaBits = 52;
constexpr int kExponentBits = 11;
constexpr int kBias = -1023;

// The double nearest to `d`, correctly rounded; false on overflow.
bool toDouble(Decimal& d, double& value) {
    std::uint64_t mantissa = 0;
    int exponent = kBias;
    if (d.digitCount() == 0 || d.point() < -330) {
        value = 0.0;
        return true;
    }
    if (d.point() > 310) return false;
    // Scale into [1/2, 1) by powers of two, counting them.
    constexpr std::array<int, 9> kPowers{1, 3, 6, 9, 13, 16, 19, 23, 26};
    int binary = 0;
    while (d.point() > 0) {
        const int n = d.point() >= static_cast<int>(kPowers.size()) ? 27 : kPowers[static_cast<std::size_t>(d.point())];
        d.shift(-n);
        binary += n;
    }
    while (d.point() < 0 || (d.point() == 0 && d.digit(0) < 5)) {
        const int n =
            -d.point() >= static_cast<int>(kPowers.size()) ? 27 : kPowers[static_cast<std::size_t>(-d.point())];
        d.shift(n);
        binary -= n;
    }
    --binary;                  // now in [1, 2)
    if (binary < kBias + 1) {  // subnormal: fewer bits of mantissa
        const int n = kBias + 1 - binary;
        d.shift(-n);
        binary += n;
    }
    if (binary - kBias >= (1 << kExponentBits) - 1) return false;
    d.shift(1 + kMantissaBits);
    mantissa = d.roundedInteger();
    if (mantissa == (std::uint64_t{2} << kMantissaBits)) {  // rounding carried into a new bit
        mantissa >>= 1;
        ++binary;
        if (binary - kBias >= (1 << kExponentBits) - 1) return false;
    }
    exponent = (mantissa & (std::uint64_t{1} << kMantissaBits)) == 0 ? kBias : binary;
    std::uint64_t bits = mantissa & ((std::uint64_t{1} << kMantissaBits) - 1);
    bits |= static_cast<std::uint64_t>((exponent - kBias) & ((1 << kExponentBits) - 1)) << kMantissaBits;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

// The exact value of `magnitude`, and whether it is a power of two whose
// next double down is nearer than the next one up.
Decimal exactly(double magnitude, bool& narrowBelow) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>((bits >> kMantissaBits) & ((1U << kExponentBits) - 1));
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << kMantissaBits) - 1);
    int exponent = biased - 1023 - kMantissaBits;
    narrowBelow = mantissa == 0 && biased > 1;
    if (biased == 0) {
        exponent = 1 - 1023 - kMantissaBits;  // subnormal
    } else {
        mantissa |= std::uint64_t{1} << kMantissaBits;
    }
    Decimal d;
    d.assign(mantissa);
    d.shift(exponent);
    return d;
}

// Whether `d`'s digits read back as `magnitude`.
bool readsBack(const Decimal& d, double magnitude) {
    std::array<char, 40> text{};
    std::size_t n = 0;
    for (int i = 0; i < d.digitCount(); ++i) text[n++] = static_cast<char>('0' + d.digit(i));
    text[n++] = 'e';
    int exponent = d.point() - d.digitCount();
    if (exponent < 0) text[n++] = '-';
    std::array<char, 8> reversed{};
    std::size_t r = 0;
    for (unsigned e = static_cast<unsigned>(exponent < 0 ? -exponent : exponent); r == 0 || e > 0; e /= 10)
        reversed[r++] = static_cast<char>('0' + e % 10);
    while (r > 0) text[n++] = reversed[--r];
    double value = 0.0;
    return scientific(text.data(), value) == Read::Value && value == magnitude;
}

}  // namespace

Digits shortest(double magnitude) {
    bool narrowBelow = false;
    const Decimal exact = exactly(magnitude, narrowBelow);
    // Seventeen digits always read back. Of the numbers with fewer, the
    // nearest is the one that can; only where the gap below is half the gap
    // above can the next one up read back while the nearest (below) does not.
    const auto candidate = [&](int n) {
        Decimal d = exact;
        d.round(n);
        if (n == 17 || readsBack(d, magnitude)) return std::optional<Decimal>(d);
        if (!narrowBelow) return std::optional<Decimal>();
        d = exact;
        d.roundUp(n);
        return readsBack(d, magnitude) ? std::optional<Decimal>(d) : std::optional<Decimal>();
    };
    std::optional<Decimal> found;
    for (int n = 1; !found; ++n) found = candidate(n);
    const Decimal& d = *found;
    Digits out;
    for (int i = 0; i < d.digitCount(); ++i) out.digits += static_cast<char>('0' + d.digit(i));
    out.exponent = d.point() - 1;
    return out;
}

std::string fixed(double magnitude, int decimals) {
    bool narrowBelow = false;
    Decimal d = exactly(magnitude, narrowBelow);
    d.round(d.point() + decimals);

    std::string out;
    if (d.point() <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < d.point(); ++i) out += static_cast<char>('0' + d.digit(i));
    }
    if (decimals > 0) {
        out += '.';
        for (int i = 0; i < decimals; ++i) out += static_cast<char>('0' + d.digit(d.point() + i));
    }
    return out;
}

Read scientific(const char* text, double& value) noexcept {
    std::array<unsigned char, Decimal::kCapacity + 8> digits{};
    int count = 0;
    bool dropped = false;
    const char* at = text;
    for (; *at >= '0' && *at <= '9'; ++at) {
        if (count < static_cast<int>(digits.size())) {
            digits[static_cast<std::size_t>(count++)] = static_cast<unsigned char>(*at - '0');
        } else if (*at != '0') {
            dropped = true;
        } else {
            ++count;  // a zero beyond the buffer still scales the value
        }
    }
    long exponent = 0;
    if (*at == 'e') exponent = std::strtol(at + 1, nullptr, 10);
    const int kept = count < static_cast<int>(digits.size()) ? count : static_cast<int>(digits.size());
    Decimal d;
    d.assign(digits.data(), kept, exponent + (count - kept));
    if (dropped) {
        // A non-zero digit beyond the buffer: only whether the value lies
        // above a halfway point can depend on it.
        std::array<unsigned char, Decimal::kCapacity + 9> more{};
        std::copy(digits.begin(), digits.begin() + kept, more.begin());
        more[static_cast<std::size_t>(kept)] = 1;
        d.assign(more.data(), kept + 1, exponent + (count - kept) - 1);
    }
    if (!toDouble(d, value)) {
        value = HUGE_VAL;
        return Read::Overflow;
    }
    return value == 0.0 && count > 0 ? Read::Underflow : Read::Value;
}

}  // namespace portable

}  // namespace jt4dds::exact
