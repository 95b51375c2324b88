// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tone_plan.h"

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

}  // namespace jt4dds
