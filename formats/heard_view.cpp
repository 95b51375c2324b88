// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/heard_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "calc/hearing/spectrum.h"
#include "calc/numbers/number_format.h"

namespace jt4dds {

WaterfallBins waterfallBins(double lowHz, double highHz) {
    constexpr double kBinHz = static_cast<double>(kAudioRate) / kWaterfallFrame;
    constexpr int kTop = kWaterfallFrame / 2;
    const int first = std::clamp(static_cast<int>(std::floor(lowHz / kBinHz)), 0, kTop - 1);
    const int last = std::clamp(static_cast<int>(std::ceil(highHz / kBinHz)), first + 1, kTop);
    return {first, last, first * kBinHz, last * kBinHz};
}

WaterfallPicture waterfallPicture(const std::vector<std::int16_t>& samples, double lowHz, double highHz) {
    constexpr auto kFrame = static_cast<std::size_t>(kWaterfallFrame);
    WaterfallPicture out;
    out.bins = waterfallBins(lowHz, highHz);
    out.description = waterfallDescription(out.bins);
    out.width = out.bins.last - out.bins.first;
    out.rows = static_cast<int>(kMinuteS / kWaterfallRowS);
    const auto width = static_cast<std::size_t>(out.width);
    const auto first = static_cast<std::size_t>(out.bins.first);
    const auto hop = static_cast<long>(kWaterfallRowS * kAudioRate);
    std::vector<double> power(static_cast<std::size_t>(out.rows) * width, 0.0);

    PowerSpectrum transform(kFrame);
    std::vector<double> hann(kFrame);
    for (std::size_t i = 0; i < kFrame; ++i)
        hann[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(kFrame));
    std::array<std::vector<double>, 2> frames{std::vector<double>(kFrame), std::vector<double>(kFrame)};
    for (std::size_t row = 0; row < static_cast<std::size_t>(out.rows); ++row) {
        double* cells = power.data() + static_cast<long>(row * width);
        // Two frames a quarter row either side of the row's time, their power
        // averaged: the noise's speckle halves, a steady tone stays.
        for (std::size_t f = 0; f < frames.size(); ++f) {
            const long offset = f == 0 ? -hop / 4 : hop / 4;
            const long start = static_cast<long>(row) * hop + hop / 2 + offset - static_cast<long>(kFrame / 2);
            // Plain pointers: the page's size-optimised build calls a
            // vector's accessors rather than inlining them.
            const std::int16_t* heard = samples.data();
            const auto count = static_cast<long>(samples.size());
            const double* window = hann.data();
            double* into = frames[f].data();
            for (long i = 0; i < static_cast<long>(kFrame); ++i) {
                const long at = start + i;
                into[i] = at >= 0 && at < count ? heard[at] * window[i] : 0.0;
            }
        }
        const std::vector<double>& spectrum = transform.meanOf(frames[0], frames[1]);
        std::copy_n(spectrum.begin() + static_cast<long>(first), width, cells);
    }

    // The scale: from the noise floor (the median cell) to the top cells.
    const auto toDb = [](double p) { return 10.0 * std::log10(std::max(p, 1e-12)); };
    std::vector<double> sorted = power;
    const auto at = [&](double share) {
        const auto n = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(n), sorted.end());
        return toDb(sorted[n]);
    };
    const double loudestDb = power.empty() ? 0.0 : toDb(*std::max_element(power.begin(), power.end()));
    const double medianDb = power.empty() ? 0.0 : at(0.5);
    const double topDb = power.empty() ? 0.0 : at(0.999);
    const double darkDb = std::max(loudestDb - kWaterfallRangeDb, medianDb - kWaterfallFloorDb);
    const double brightDb = std::max(topDb, darkDb + kWaterfallSpanDb);
    out.rgba.resize(power.size() * 4);
    out.level.resize(power.size());
    for (std::size_t i = 0; i < power.size(); ++i) {
        const double level = std::clamp((toDb(power[i]) - darkDb) / (brightDb - darkDb), 0.0, 1.0);
        out.level[i] = static_cast<float>(level);
        const auto [r, g, b] = waterfallColour(level);
        out.rgba[4 * i] = static_cast<std::uint8_t>(r);
        out.rgba[4 * i + 1] = static_cast<std::uint8_t>(g);
        out.rgba[4 * i + 2] = static_cast<std::uint8_t>(b);
        out.rgba[4 * i + 3] = 255;
    }
    return out;
}

std::array<int, 3> waterfallColour(double level) {
    const double x = std::clamp(level, 0.0, 1.0) * static_cast<double>(kWaterfallStops.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(x), kWaterfallStops.size() - 2);
    const double t = x - static_cast<double>(i);
    std::array<int, 3> rgb{};
    for (std::size_t c = 0; c < 3; ++c)
        rgb[c] =
            static_cast<int>(std::lround(255.0 * (kWaterfallStops[i][c] * (1 - t) + kWaterfallStops[i + 1][c] * t)));
    return rgb;
}

double frequencyStepHz(double spanHz) { return spanHz > 2000.0 ? 500.0 : spanHz > 800.0 ? 200.0 : 100.0; }

std::string waterfallDescription(const WaterfallBins& bins) {
    return "The minute's waterfall, " + decimalText(std::round(bins.lowHz), 0) + " to " +
           decimalText(std::round(bins.highHz), 0) + " Hz, time down";
}

double toneGridReachHz(const GridFit& fit, double warningHz) {
    return std::max({warningHz * 1.5, fit.worstHz * 1.1, 1.0});
}

std::string toneGridScaleText(double hz) { return signedText(hz, 1) + " Hz"; }

std::string toneGridDescription(const std::optional<GridFit>& fit, double noteHz, double warningHz) {
    if (!fit) return "The data tones cannot be measured against a grid.";
    std::string text = "Data tones off their best even grid: " + decimalText(fit->rmsHz, 2) + " Hz RMS (note beyond " +
                       decimalText(noteHz, 1) + " Hz, warning beyond " + decimalText(warningHz, 1) + " Hz); ";
    for (std::size_t k = 0; k < fit->residualHz.size(); ++k) {
        text += k > 0 ? ", tone " : "tone ";
        ((text += std::to_string(k)) += ' ') += decimalText(fit->residualHz[k], 2);
        text += " Hz";
    }
    return text;
}

}  // namespace jt4dds
