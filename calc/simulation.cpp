// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/simulation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "calc/tone_plan.h"
#include "calc/tuning.h"

namespace jt4dds {
namespace {

// PI4 receivers put the carrier at 800 Hz in their audio.
constexpr double kPi4DialBelowHz = 800.0;
// A tone is heard between 0 Hz and half the sample rate.
constexpr double kAudioTopHz = kAudioRate / 2.0;
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
    const bool pi4 = f.spacingNumber <= 0;
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

GridFit fitGrid(const std::array<double, 4>& toneHz, double spacingHz) {
    GridFit fit;
    for (std::size_t k = 0; k < 4; ++k) fit.originHz += toneHz[k] - static_cast<double>(k) * spacingHz;
    fit.originHz /= 4.0;
    for (std::size_t k = 0; k < 4; ++k) {
        fit.residualHz[k] = toneHz[k] - (fit.originHz + static_cast<double>(k) * spacingHz);
        if (std::fabs(fit.residualHz[k]) > fit.worstHz) {
            fit.worstHz = std::fabs(fit.residualHz[k]);
            fit.worstTone = static_cast<int>(k);
        }
    }
    return fit;
}

std::vector<HeardPart> heardMinute(const Press& press, const Transmission& transmission, const Receiver& receiver) {
    const RunFigures& f = press.figures;
    double centre = 0.0;
    for (double hz : receiver.plannedAudioHz) centre += hz / 4.0;
    const auto heard = [&](std::size_t row) -> std::optional<double> {
        const auto rf = realisedOutputHz(f, row, receiver.refPpm);
        if (!rf) return std::nullopt;
        double audio = *rf - receiver.dialHz;
        if (receiver.sideband == Sideband::Lower) audio = 2.0 * centre - audio;
        if (!(audio > 0.0 && audio < kAudioTopHz)) return std::nullopt;
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

std::uint64_t GaussianNoise::nextBits() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

double GaussianNoise::next() {
    if (spare_) {
        const double z = *spare_;
        spare_.reset();
        return z;
    }
    constexpr double kUnit = 1.0 / 9007199254740992.0;  // 2^-53
    const double u1 = static_cast<double>((nextBits() >> 11U) + 1U) * kUnit;  // (0, 1]: log(u1) is finite
    const double u2 = static_cast<double>(nextBits() >> 11U) * kUnit;
    const double radius = std::sqrt(-2.0 * std::log(u1));
    const double angle = 2.0 * std::numbers::pi * u2;
    spare_ = radius * std::sin(angle);
    return radius * std::cos(angle);
}

std::vector<std::int16_t> simulateMinute(const std::vector<HeardPart>& parts, const std::optional<Noise>& noise) {
    const std::size_t length = static_cast<std::size_t>(kMinuteS) * kAudioRate;
    std::vector<double> audio(length, 0.0);
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
    // The phase runs on from part to part, in cycles, so that a change of
    // tone is a change of frequency and never a jump.
    double phase = 0.0;
    std::size_t next = 0;
    for (const HeardPart& p : parts) {
        const std::size_t first = std::max(next, sampleAt(p.startS));
        const std::size_t end = std::min(length, sampleAt(p.endS));
        if (!p.audioHz) {
            next = std::max(next, end);
            continue;
        }
        const double step = *p.audioHz / kAudioRate;
        for (std::size_t i = first; i < end; ++i) {
            audio[i] = amplitude * std::sin(2.0 * std::numbers::pi * phase);
            phase += step;
            phase -= std::floor(phase);
        }
        next = std::max(next, end);
    }
    std::vector<std::int16_t> samples(length);
    GaussianNoise gauss(noise ? noise->seed : 0);
    for (std::size_t i = 0; i < length; ++i) {
        const double value = noise ? audio[i] + sigma * gauss.next() : audio[i];
        samples[i] = static_cast<std::int16_t>(std::clamp(std::round(value), -32767.0, 32767.0));
    }
    return samples;
}

}  // namespace jt4dds
