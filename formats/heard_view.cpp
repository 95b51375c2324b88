// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/heard_view.h"

#include <algorithm>
#include <cmath>

#include "calc/number_format.h"

namespace jt4dds {

WaterfallBins waterfallBins(double lowHz, double highHz) {
    constexpr double kBinHz = static_cast<double>(kAudioRate) / kWaterfallFrame;
    constexpr int kTop = kWaterfallFrame / 2;
    const int first = std::clamp(static_cast<int>(std::floor(lowHz / kBinHz)), 0, kTop - 1);
    const int last = std::clamp(static_cast<int>(std::ceil(highHz / kBinHz)), first + 1, kTop);
    return {first, last, first * kBinHz, last * kBinHz};
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
