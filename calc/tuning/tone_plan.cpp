// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/tone_plan.h"

#include <cmath>

namespace jt4dds {

TonePlan dataTones(std::int32_t spacingNumber, bool option800) noexcept {
    const double centre = option800 ? kCentre800Hz : kCentreHz;
    TonePlan plan;
    if (spacingNumber > 0) {
        const double n = spacingNumber;
        plan.hz[kDataTone0] = centre - (n * 1.5) * kJt4StepHz;
        plan.hz[kDataTone1] = centre - (n * 0.5) * kJt4StepHz;
        plan.hz[kDataTone2] = centre + (n * 0.5) * kJt4StepHz;
        plan.hz[kDataTone3] = centre + (n * 1.5) * kJt4StepHz;
    } else {
        for (int i = 0; i < 4; ++i)
            plan.hz[static_cast<std::size_t>(i)] = centre + kPi4OffsetsHz[static_cast<std::size_t>(i)];
    }
    return plan;
}

bool toneZeroOffsetWrong(std::int32_t spacingNumber, bool option800) noexcept {
    return option800 && spacingNumber != kJt4gSpacingNumber;
}

double nominalSpacingHz(std::int32_t spacingNumber) {
    return isPi4(spacingNumber) ? kPi4SpacingHz : (spacingNumber * 1.0) * kJt4StepHz;
}

GridFit fitGrid(const std::array<double, 4>& toneHz, double spacingHz) {
    GridFit fit;
    std::array<double, 4> offset{};
    for (std::size_t k = 0; k < 4; ++k) offset[k] = toneHz[k] - static_cast<double>(k) * spacingHz;
    fit.originHz = (offset[0] + offset[1] + offset[2] + offset[3]) / 4.0;
    double squares = 0.0;
    for (std::size_t k = 0; k < 4; ++k) {
        fit.residualHz[k] = offset[k] - fit.originHz;
        squares += fit.residualHz[k] * fit.residualHz[k];
        if (std::fabs(fit.residualHz[k]) > fit.worstHz + 1e-12) {
            fit.worstHz = std::fabs(fit.residualHz[k]);
            fit.worstTone = static_cast<int>(k);
        }
    }
    fit.rmsHz = std::sqrt(squares / 4.0);
    return fit;
}

std::array<double, 4> gridLines(const GridFit& fit, std::int32_t spacingNumber) {
    std::array<double, 4> lines{};
    for (std::size_t k = 0; k < 4; ++k)
        lines[k] = fit.originHz + static_cast<double>(k) * nominalSpacingHz(spacingNumber);
    return lines;
}

}  // namespace jt4dds
