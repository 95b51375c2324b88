// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/tuning.h"

#include <cmath>

namespace jt4dds {
namespace {

// Each step's result is checked as it is formed: a value beyond the range of a
// double (or not a number) has no defined result, and with finite operands and
// non-zero divisors only an overflow can produce one.
bool finite(double x) { return std::isfinite(x); }

constexpr Fault kNotFinite{Undefined::NotFinite};

// floor(x + 0.5) as a signed 32-bit word; halves round upwards, negatives too.
Checked<RowResult> withRoundedWord(RowResult row, double unrounded) {
    const double rounded = std::floor(unrounded + 0.5);
    if (!finite(rounded)) return kNotFinite;
    if (rounded < -kTwoPow31 || rounded > kTwoPow31 - 1.0) return Fault{Undefined::WordOutOfRange, rounded};
    row.word = static_cast<TuningWord>(rounded);
    return row;
}

}  // namespace

Checked<double> megahertzToHertz(double megahertz) noexcept {
    const double hz = megahertz * kMegahertz;
    if (!finite(hz)) return kNotFinite;
    return hz;
}

Checked<double> ddsCarrierHz(double foutHz, double mult) noexcept {
    if (mult == 0.0) return Fault{Undefined::MultiplicationZero};
    const double carrier = foutHz / mult;
    if (!finite(carrier)) return kNotFinite;
    return carrier;
}

Checked<RowResult> computeRow(int row, const TonePlan& plan, double carrierHz, double mult, double frefHz,
                              DdsConfig config) noexcept {
    const double offset = plan.hz[static_cast<std::size_t>(row)] - plan.hz[kReferenceTone];
    if (!finite(offset)) return kNotFinite;
    const double rfOffset = offset / mult;
    if (!finite(rfOffset)) return kNotFinite;

    RowResult result;
    result.ddsHz = carrierHz + rfOffset;
    const double f = result.ddsHz;
    if (!finite(f)) return kNotFinite;
    const double output = mult * f;
    if (!finite(output)) return kNotFinite;
    result.outputMHz = output / kMegahertz;

    if (config == DdsConfig::Direct) {
        if (f > kLimitFraction * frefHz) {
            result.limit = Limit::Direct;
            return result;
        }
        if (frefHz == 0.0) return Fault{Undefined::ReferenceZero};
        const double ratio = f / frefHz;
        if (!finite(ratio)) return kNotFinite;
        const double scaled = ratio * kTwoPow32;
        if (!finite(scaled)) return kNotFinite;
        return withRoundedWord(result, scaled);
    }

    if (frefHz > kLimitFraction * f) {
        result.limit = Limit::Reverse;
        return result;
    }
    if (f == 0.0) return Fault{Undefined::DdsFrequencyZero};
    const double product = kTwoPow32 * frefHz;
    if (!finite(product)) return kNotFinite;
    const double quotient = product / f;
    if (!finite(quotient)) return kNotFinite;
    return withRoundedWord(result, quotient);
}

Checked<double> resolutionHz(double mult, double frefHz, DdsConfig config, TuningWord auxWord) noexcept {
    if (config == DdsConfig::Direct) {
        const double product = mult * frefHz;
        if (!finite(product)) return kNotFinite;
        return product / kTwoPow33;
    }
    if (auxWord == 0) return Fault{Undefined::ReverseResolutionWordZero};
    const double w = auxWord;
    const double step = (mult * kTwoPow31) / w;
    if (!finite(step)) return kNotFinite;
    const double perWord = step / w;
    const double resolution = perWord * frefHz;
    if (!finite(resolution)) return kNotFinite;
    return resolution;
}

bool resolutionTooLow(double resolutionHz, std::int32_t spacingNumber) noexcept {
    return resolutionHz > static_cast<double>(spacingNumber) / 4.0;
}

Checked<double> ssbCarrierHz(double carrierHz, double mult, double referenceToneHz) noexcept {
    const double output = carrierHz * mult;
    if (!finite(output)) return kNotFinite;
    const double dial = output - referenceToneHz;
    if (!finite(dial)) return kNotFinite;
    return dial;
}

Checked<double> ssbCarrierMHz(double carrierHz, double mult, double referenceToneHz) noexcept {
    auto dial = ssbCarrierHz(carrierHz, mult, referenceToneHz);
    if (auto* hz = std::get_if<double>(&dial)) *hz /= kMegahertz;
    return dial;
}

std::optional<double> actualOutputHz(TuningWord word, double mult, double frefHz, DdsConfig config) noexcept {
    const double w = word;
    double ddsHz = 0.0;
    if (config == DdsConfig::Direct) {
        ddsHz = w * frefHz / kTwoPow32;
    } else {
        if (word == 0) return std::nullopt;
        ddsHz = kTwoPow32 * frefHz / w;
    }
    const double output = mult * ddsHz;
    if (!finite(output)) return std::nullopt;
    return output;
}

}  // namespace jt4dds
