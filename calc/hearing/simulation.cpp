// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/hearing/simulation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

#include "calc/tuning/tone_plan.h"
#include "calc/tuning/tuning.h"

namespace jt4dds {
namespace {

// Noise power is stated in this bandwidth.
constexpr double kNoiseBandwidthHz = 2500.0;
// Without noise the signal is half of full scale; with it, signal plus five
// standard deviations of noise reach this, so clipping is as rare as a
// Gaussian draw beyond 5 sigma.
constexpr double kCleanAmplitude = 16384.0;
constexpr double kNoisyPeak = 30000.0;
constexpr double kNoiseSigmas = 5.0;

bool sounds(const RunFigures& f, std::size_t row) {
    return row < static_cast<std::size_t>(f.rowsWritten) && f.rows[row].limit == Limit::None && f.rows[row].word != 0;
}

// The output frequency `row`'s word makes with the reference `ppm` off.
std::optional<double> realisedOutputHz(const RunFigures& f, std::size_t row, double ppm) {
    if (!sounds(f, row)) return std::nullopt;
    return actualOutputHz(f.rows[row].word, f.mult, f.frefHz * (1.0 + ppm * 1e-6), f.config);
}

// The sample that starts at or after `seconds`; times that land on a sample
// within rounding land on it.
std::size_t sampleAt(double seconds) {
    const double exact = seconds * kAudioRate;
    const double index = std::ceil(exact - 1e-6);
    return index <= 0.0 ? 0 : static_cast<std::size_t>(index);
}

}  // namespace

std::string_view dialRuleName(DialRule rule) {
    return rule == DialRule::Pi4Convention ? "pi4-800-hz-below" : "ssb-tuning-point";
}

std::optional<Receiver> receiverOf(const Press& press, double refPpm, Sideband sideband) {
    const RunFigures& f = press.figures;
    if (!press.completed() || f.rowsWritten < kToneCount || !f.ssbCarrierHz) return std::nullopt;
    Receiver r;
    r.refPpm = refPpm;
    r.sideband = sideband;
    const bool pi4 = isPi4(f.spacingNumber);
    r.rule = pi4 ? DialRule::Pi4Convention : DialRule::SsbTuningPoint;
    r.dialHz = pi4 ? f.foutHz - kPi4DialBelowHz : *f.ssbCarrierHz;
    for (std::size_t k = 0; k < 4; ++k) {
        r.plannedAudioHz[k] = f.mult * f.rows[k].ddsHz - r.dialHz;
        const auto rf = realisedOutputHz(f, k, refPpm);
        r.sounds[k] = rf.has_value();
        if (!rf) continue;
        r.realisedAudioHz[k] = *rf - r.dialHz;
        r.searchHz = std::max(r.searchHz, std::fabs(r.realisedAudioHz[k] - r.plannedAudioHz[k]));
    }
    return r;
}

std::optional<GridFit> realisedGrid(const Receiver& receiver, std::int32_t spacingNumber) {
    if (!std::all_of(receiver.sounds.begin(), receiver.sounds.end(), [](bool sounds) { return sounds; }))
        return std::nullopt;
    return fitGrid(receiver.realisedAudioHz, nominalSpacingHz(spacingNumber));
}

double heardAt(const Receiver& receiver, double upperAudioHz) {
    if (receiver.sideband == Sideband::Upper) return upperAudioHz;
    double centre = 0.0;
    for (double hz : receiver.plannedAudioHz) centre += hz / 4.0;
    return 2.0 * centre - upperAudioHz;
}

std::vector<HeardPart> heardMinute(const Press& press, const Transmission& transmission, const Receiver& receiver) {
    const RunFigures& f = press.figures;
    const auto heard = [&](std::size_t row) -> std::optional<double> {
        const auto rf = realisedOutputHz(f, row, receiver.refPpm);
        if (!rf) return std::nullopt;
        const double audio = heardAt(receiver, *rf - receiver.dialHz);
        if (!inAudio(audio)) return std::nullopt;
        return audio;
    };
    std::array<std::optional<double>, kToneCount> audio;
    for (std::size_t row = 0; row < kToneCount; ++row) audio[row] = heard(row);
    const auto part = [&](double start, double end, std::size_t row) {
        return HeardPart{start, end, audio[row], static_cast<int>(row)};
    };

    const Minute& m = transmission.minute;
    std::vector<HeardPart> parts;
    for (const Segment& segment : m.segments) {
        switch (segment.keyed) {
            case Keyed::Symbols: {
                const auto& symbols = transmission.message.symbols;
                for (std::size_t n = 0; n < symbols.size(); ++n) {
                    const double start = segment.startS + static_cast<double>(n) * m.symbolS;
                    parts.push_back(part(start, start + m.symbolS, symbols[n] & 3U));
                }
                break;
            }
            case Keyed::CwKeying: {
                double at = segment.startS;
                for (const CwElement& e : m.cw) {
                    const double end = at + e.dots * m.dotS;
                    parts.push_back(part(at, end, e.keyDown ? kKeyDownTone : kKeyUpTone));
                    at = end;
                }
                break;
            }
            case Keyed::Reference:
                parts.push_back(part(segment.startS, segment.endS(), kReferenceTone));
                break;
        }
    }
    return parts;
}

std::optional<HeardMinute> hearingOf(const Press& press, double refPpm, Sideband sideband) {
    auto receiver = receiverOf(press, refPpm, sideband);
    const auto planned = planTransmission(press.beacon);
    const auto* transmission = std::get_if<Transmission>(&planned);
    if (!receiver || !transmission) return std::nullopt;
    return HeardMinute{*receiver, heardMinute(press, *transmission, *receiver), {}};
}

std::optional<HeardMinute> hearMinute(const Press& press, const std::optional<Noise>& noise, double refPpm,
                                      Sideband sideband) {
    auto heard = hearingOf(press, refPpm, sideband);
    if (heard) heard->samples = simulateMinute(heard->parts, noise);
    return heard;
}

AudioSpan heardSpan(const std::vector<HeardPart>& parts) {
    double low = kAudioTopHz;
    double high = 0.0;
    for (const HeardPart& p : parts) {
        if (!p.audioHz) continue;
        low = std::min(low, *p.audioHz);
        high = std::max(high, *p.audioHz);
    }
    if (high < low) return {};
    const double margin = std::max(100.0, (high - low) * 0.1);
    return {std::max(0.0, low - margin), std::min(kAudioTopHz, high + margin)};
}

namespace {

// SplitMix64: the state steps by the golden gamma, and each step is mixed
// into 64 random bits.
constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t mix(std::uint64_t z) {
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

}  // namespace

std::uint64_t GaussianNoise::nextBits() { return mix(state_ += kGoldenGamma); }

double GaussianNoise::uniform() { return (static_cast<double>(nextBits() >> 11U) + 0.5) * 0x1p-53; }

namespace {

// The ziggurat's 128 layers under the normal density: kn[i] bounds the
// values that lie wholly inside layer i, wn[i] scales a 32-bit value to x,
// fn[i] is the density at the layer's edge.
constexpr double kZigguratEdge = 3.442619855899;
struct Ziggurat {
    std::array<std::uint32_t, 128> kn{};
    std::array<double, 128> wn{};
    std::array<double, 128> fn{};
    Ziggurat() {
        constexpr double m1 = 2147483648.0;  // 2^31
        constexpr double area = 9.91256303526217e-3;
        double dn = kZigguratEdge;
        double tn = dn;
        const double q = area / std::exp(-0.5 * dn * dn);
        kn[0] = static_cast<std::uint32_t>((dn / q) * m1);
        kn[1] = 0;
        wn[0] = q / m1;
        wn[127] = dn / m1;
        fn[0] = 1.0;
        fn[127] = std::exp(-0.5 * dn * dn);
        for (std::size_t i = 126; i >= 1; --i) {
            dn = std::sqrt(-2.0 * std::log(area / dn + std::exp(-0.5 * dn * dn)));
            kn[i + 1] = static_cast<std::uint32_t>((dn / tn) * m1);
            tn = dn;
            fn[i] = std::exp(-0.5 * dn * dn);
            wn[i] = dn / m1;
        }
    }
};
const Ziggurat& ziggurat() {
    static const Ziggurat table;
    return table;
}

std::uint32_t magnitude(std::int32_t value) {
    return value < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(value))
                     : static_cast<std::uint32_t>(value);
}

}  // namespace

double GaussianNoise::next() {
    double draw = 0.0;
    addTo(std::span(&draw, 1), 1.0);
    return draw;
}

void GaussianNoise::addTo(std::span<double> samples, double scale) {
    const Ziggurat& z = ziggurat();
    // The state lives in a register through the fast path and goes back to
    // the object only around the rare tail, which draws from it too: kept in
    // the object, every draw would wait on the store and load of the last.
    std::uint64_t state = state_;
    for (double& sample : samples) {
        state += kGoldenGamma;
        const std::uint64_t bits = mix(state);
        const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits & 0xFFFFFFFFU));
        const auto layer = static_cast<std::uint32_t>((bits >> 32U) & 127U);
        double x = 0.0;
        if (magnitude(value) < z.kn[layer]) [[likely]] {
            x = value * z.wn[layer];
        } else {
            state_ = state;
            x = tail(value, layer);
            state = state_;
        }
        sample += scale * x;
    }
    state_ = state;
}

// A value outside its layer's rectangle: the wedge under the curve, or the
// tail beyond the last layer.
double GaussianNoise::tail(std::int32_t value, std::uint32_t layer) {
    const Ziggurat& z = ziggurat();
    for (;;) {
        double x = value * z.wn[layer];
        if (layer == 0) {
            double y = 0.0;
            do {
                x = -std::log(uniform()) / kZigguratEdge;
                y = -std::log(uniform());
            } while (y + y < x * x);
            return value > 0 ? kZigguratEdge + x : -kZigguratEdge - x;
        }
        if (z.fn[layer] + uniform() * (z.fn[layer - 1] - z.fn[layer]) < std::exp(-0.5 * x * x)) return x;
        const std::uint64_t bits = nextBits();
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits & 0xFFFFFFFFU));
        layer = static_cast<std::uint32_t>((bits >> 32U) & 127U);
        if (magnitude(value) < z.kn[layer]) return value * z.wn[layer];
    }
}

namespace {

// Turns each of the four phasors by the same angle, given by its cosine
// and sine.
void turnLanes(std::array<double, 4>& re, std::array<double, 4>& im, double c, double s) {
    for (std::size_t k = 0; k < 4; ++k) {
        const double turned = re[k] * c - im[k] * s;
        im[k] = re[k] * s + im[k] * c;
        re[k] = turned;
    }
}

}  // namespace

void simulateMinute(const std::vector<HeardPart>& parts, const std::optional<Noise>& noise, const SampleSink& sink) {
    const std::size_t length = kMinuteSamples;
    double amplitude = kCleanAmplitude;
    double sigma = 0.0;
    if (noise) {
        // Signal power A^2/2 against noise of variance sigma^2 spread evenly
        // to 6 kHz, of which 2500/6000 falls in the stated bandwidth.
        const double snr = std::pow(10.0, noise->snrDb / 10.0);
        const double ratio = std::sqrt(2.0 * snr * kNoiseBandwidthHz / kAudioTopHz);
        sigma = kNoisyPeak / (ratio + kNoiseSigmas);
        amplitude = ratio * sigma;
    }
    GaussianNoise gauss(noise ? noise->seed : 0);
    // The signal goes through a small buffer, a few thousand samples at a
    // time: the noise is added there, each sample is rounded to the nearest
    // step, halves away from zero, as lround does, and the buffer goes to
    // the sink. A minute-long buffer of doubles would cost more in page
    // faults than in arithmetic.
    std::array<double, 4096> chunk{};
    std::array<std::int16_t, 4096> rounded{};
    std::size_t filled = 0;
    const auto flush = [&] {
        const std::span<double> part(chunk.data(), filled);
        if (noise) gauss.addTo(part, sigma);
        // min, max and copysign rather than tests: noise makes the sign a
        // coin toss that no branch predictor guesses, and without branches
        // the loop runs on vector registers. The bound comes first in min so
        // that a sample that is not a number (a NaN SNR, which every caller
        // refuses) becomes full scale instead of an undefined conversion.
        for (std::size_t i = 0; i < part.size(); ++i) {
            const double value = std::max(std::min(32767.0, part[i]), -32767.0);
            rounded[i] = static_cast<std::int16_t>(value + std::copysign(0.5, value));
        }
        sink(std::span<const std::int16_t>(rounded.data(), part.size()));
        filled = 0;
    };
    std::size_t next = 0;
    // Hands out the rest of the buffer, at most up to sample `end`, to be
    // filled; full buffers go out first.
    const auto room = [&](std::size_t end) {
        if (filled == chunk.size()) flush();
        const std::size_t n = std::min(end - next, chunk.size() - filled);
        const std::span<double> out(chunk.data() + filled, n);
        filled += n;
        next += n;
        return out;
    };
    const auto silenceTo = [&](std::size_t end) {
        while (next < end) {
            const std::span<double> out = room(end);
            std::fill(out.begin(), out.end(), 0.0);
        }
    };
    // The phase runs on from part to part as a unit phasor, so that a change
    // of tone is a change of frequency and never a jump. Four phasors a
    // sample apart, each turned four samples' worth at a time, keep four
    // independent chains of multiplications in flight instead of one.
    // Renormalised at each part; within one the rounding drifts by far less
    // than a sample's worth.
    double re = 1.0;
    double im = 0.0;
    for (const HeardPart& p : parts) {
        silenceTo(std::min(length, sampleAt(p.startS)));
        const std::size_t end = std::min(length, sampleAt(p.endS));
        if (!p.audioHz) {
            silenceTo(end);
            continue;
        }
        const double step = 2.0 * std::numbers::pi * *p.audioHz / kAudioRate;
        const double c = std::cos(step);
        const double s = std::sin(step);
        const double c4 = std::cos(4.0 * step);
        const double s4 = std::sin(4.0 * step);
        const double norm = std::sqrt(re * re + im * im);
        std::array<double, 4> lanesRe{re / norm};
        std::array<double, 4> lanesIm{im / norm};
        for (std::size_t k = 1; k < 4; ++k) {
            lanesRe[k] = lanesRe[k - 1] * c - lanesIm[k - 1] * s;
            lanesIm[k] = lanesRe[k - 1] * s + lanesIm[k - 1] * c;
        }
        std::size_t lane = 0;  // the lane that holds the next sample's phasor
        while (next < end) {
            const std::span<double> out = room(end);
            std::size_t i = 0;
            // Finish a group of four left open by the last buffer first.
            for (; lane != 0 && i < out.size(); ++i) {
                out[i] = amplitude * lanesIm[lane];
                lane = (lane + 1) % 4;
                if (lane == 0) turnLanes(lanesRe, lanesIm, c4, s4);
            }
            for (; i + 4 <= out.size(); i += 4) {
                for (std::size_t k = 0; k < 4; ++k) out[i + k] = amplitude * lanesIm[k];
                turnLanes(lanesRe, lanesIm, c4, s4);
            }
            for (; i < out.size(); ++i) out[i] = amplitude * lanesIm[lane++];
        }
        re = lanesRe[lane];
        im = lanesIm[lane];
    }
    silenceTo(length);
    flush();
}

std::vector<std::int16_t> simulateMinute(const std::vector<HeardPart>& parts, const std::optional<Noise>& noise) {
    std::vector<std::int16_t> samples;
    samples.reserve(kMinuteSamples);
    simulateMinute(parts, noise, [&](std::span<const std::int16_t> some) {
        samples.insert(samples.end(), some.begin(), some.end());
    });
    return samples;
}

}  // namespace jt4dds
