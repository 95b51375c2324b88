// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/plan_parts.h"

#include <algorithm>

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/tuning/multiplier_chain.h"
#include "calc/tuning/tuning.h"

namespace jt4dds::check_parts {
bool everyRowAccepted(const RunFigures& f, Trial t) {
    const auto carrier = ddsCarrierHz(f.foutHz, t.mult);
    if (!std::holds_alternative<double>(carrier)) return false;
    for (int row = 0; row < kToneCount; ++row) {
        const auto r = computeRow(row, f.plan, std::get<double>(carrier), t.mult, t.frefHz, f.config);
        const auto* result = std::get_if<RowResult>(&r);
        if (!result || result->limit != Limit::None || result->ddsHz <= 0.0 || result->word == 0) return false;
    }
    return true;
}

bool resolutionFits(const RunFigures& f, Trial t) {
    if (isPi4(f) || !everyRowAccepted(f, t)) return false;
    const auto carrier = std::get<double>(ddsCarrierHz(f.foutHz, t.mult));
    const auto aux = computeRow(kAuxTone, f.plan, carrier, t.mult, t.frefHz, f.config);
    const auto res = resolutionHz(t.mult, t.frefHz, f.config, std::get<RowResult>(aux).word);
    return std::holds_alternative<double>(res) && !resolutionTooLow(std::get<double>(res), f.spacingNumber);
}

double typedReferenceHz(double kilohertz) {
    return LeadingNumber(decimalText(kilohertz / 1000.0, 3)).value * kMegahertz;
}

std::optional<Extremes> ddsExtremes(const RunFigures& f) {
    const auto carrier = ddsCarrierHz(f.foutHz, f.mult);
    if (!std::holds_alternative<double>(carrier)) return std::nullopt;
    Extremes e{kInf, -kInf};
    for (int row = 0; row < kToneCount; ++row) {
        const auto r = computeRow(row, f.plan, std::get<double>(carrier), f.mult, f.frefHz, f.config);
        if (!std::holds_alternative<RowResult>(r)) return std::nullopt;
        e.lowestHz = std::min(e.lowestHz, std::get<RowResult>(r).ddsHz);
        e.highestHz = std::max(e.highestHz, std::get<RowResult>(r).ddsHz);
    }
    return e;
}

Extremes audioOffsets(const RunFigures& f) {
    Extremes e{kInf, -kInf};
    for (std::size_t row = 0; row < kToneCount; ++row) {
        const double offset = f.plan.hz[row] - f.plan.hz[kReferenceTone];
        e.lowestHz = std::min(e.lowestHz, offset);
        e.highestHz = std::max(e.highestHz, offset);
    }
    return e;
}

std::optional<MultiplicationRange> multiplicationRangeOf(const RunFigures& f) {
    const Trial typed{f.mult, f.frefHz};
    const auto works = [&](double m) {
        const Trial t{m, typed.frefHz};
        return isPi4(f) ? everyRowAccepted(f, t) : resolutionFits(f, t);
    };
    const Extremes offsets = audioOffsets(f);
    const double limit = kLimitFraction * f.frefHz;
    if (limit <= 0.0) return {};
    std::optional<double> low;
    std::optional<double> high;
    if (f.config == DdsConfig::Direct) {
        // (Fout + offset) / m <= 35 % of the reference for every row.
        low = settleMultiplication((f.foutHz + offsets.highestHz) / limit, true, works);
        if (!low) return {};
        if (!isPi4(f)) {
            // Mult × reference / 2^33 <= N / 4.
            high = settleMultiplication(f.spacingNumber / 4.0 * kTwoPow33 / f.frefHz, false, works);
            if (!high || *high < *low) return {};
        }
    } else {
        high = settleMultiplication((f.foutHz + offsets.lowestHz) * kLimitFraction / f.frefHz, false, works);
        if (!high) return {};
        // The aux tone's resolution, about (Fout + offset)² / (2^33 × reference × m), <= N / 4.
        const double aux = f.foutHz + (f.plan.hz[kAuxTone] - f.plan.hz[kReferenceTone]);
        const double estimate = isPi4(f) ? 1.0 : aux * aux / (kTwoPow33 * f.frefHz * (f.spacingNumber / 4.0));
        low = settleMultiplication(estimate, true, works);
        if (!low || *low > *high) return {};
    }
    return MultiplicationRange{*low, high};
}

std::string multiplicationRange(const RunFigures& f) {
    const auto range = multiplicationRangeOf(f);
    if (!range) return {};
    std::string lo = decimalText(range->low, 0);
    if (!range->high) return lo + " or more";
    if (*range->high == range->low) return lo;
    return "from " + lo + " to " + decimalText(*range->high, 0);
}

bool doublersAndTriplers(double mult) {
    const auto chain = chainOf(mult);
    return chain && chain->fives == 0;
}

double chainNear(double mult, const MultiplicationRange& range) {
    const double high = range.high.value_or(kInf);
    std::optional<double> best;
    for (double chain = 1.0; chain <= std::min(high, 2.0 * mult); chain *= 2.0) {
        for (double m = chain; m <= std::min(high, 2.0 * mult); m *= 3.0) {
            if (m < range.low || m < mult / 2.0) continue;
            if (!best || std::fabs(m - mult) < std::fabs(*best - mult) ||
                (std::fabs(m - mult) == std::fabs(*best - mult) && m < *best))
                best = m;
        }
    }
    return doublersAndTriplers(mult) ? mult : best.value_or(mult);
}

std::vector<FixEdits> planFixes(const RunFigures& f, std::optional<double> referenceKhz) {
    std::vector<FixEdits> fixes;
    if (referenceKhz) fixes.push_back({FieldEdit{Input::Reference, decimalText(*referenceKhz / 1000.0, 3)}});
    if (const auto range = multiplicationRangeOf(f)) {
        const double nearest = range->high && f.mult > *range->high ? *range->high : range->low;
        fixes.push_back({FieldEdit{Input::Multiplication, decimalText(chainNear(nearest, *range), 0)}});
    }
    return fixes;
}

std::optional<double> trialGridHz(const RunFigures& f, Trial t) {
    if (!everyRowAccepted(f, t)) return std::nullopt;
    const double carrier = std::get<double>(ddsCarrierHz(f.foutHz, t.mult));
    std::array<double, 4> hz{};
    std::array<TuningWord, 4> words{};
    for (std::size_t k = 0; k < 4; ++k) {
        const auto row =
            std::get<RowResult>(computeRow(static_cast<int>(k), f.plan, carrier, t.mult, t.frefHz, f.config));
        const auto realised = actualOutputHz(row.word, t.mult, t.frefHz, f.config);
        if (!realised) return std::nullopt;
        for (std::size_t j = 0; j < k; ++j)
            if (words[j] == row.word) return std::nullopt;
        words[k] = row.word;
        hz[k] = *realised;
    }
    return fitGrid(hz, nominalSpacing(f)).rmsHz;
}

GridFix gridFix(const RunFigures& f, double withinHz, std::optional<double> maxClockHz) {
    GridFix fix;
    if (!(f.frefHz > 0.0) || !(f.mult > 0.0)) return fix;
    const auto nearest = [&](double typed, int reach, double floorValue, auto trial, double ceiling) {
        const double start = std::round(typed);
        for (int k = 0; k <= reach; ++k) {
            for (const double candidate : {start - k, start + k}) {
                if (candidate < floorValue || candidate > ceiling || candidate == typed ||
                    (k == 0 && candidate != start))
                    continue;
                if (const auto gridHz = trial(candidate); gridHz && *gridHz <= withinHz)
                    return std::optional(std::pair(candidate, *gridHz));
            }
        }
        return std::optional<std::pair<double, double>>();
    };
    const double typedMHz = f.frefHz / kMegahertz;
    if (const auto r = nearest(
            typedMHz, 200, 1.0,
            [&](double mhz) {
                return trialGridHz(f, Trial{f.mult, typedReferenceHz(mhz * 1000.0)});
            },
            maxClockHz ? *maxClockHz / kMegahertz : kInf)) {
        fix.referenceMHz = r->first;
        fix.referenceGridHz = r->second;
    }
    const auto multTrial = [&](double mult) { return trialGridHz(f, Trial{mult, f.frefHz}); };
    // Doublers and triplers first, as a builder has them and Find settings
    // ranks them: those within a factor of two of the typed multiplication,
    // nearest first; then any whole multiplication near it.
    std::optional<std::pair<double, double>> m;
    if (f.mult <= 1e6) {
        std::vector<double> chains;
        for (double two = 1.0; two <= 2.0 * f.mult; two *= 2.0)
            for (double c = two; c <= 2.0 * f.mult; c *= 3.0)
                if (c >= f.mult / 2.0 && c != f.mult) chains.push_back(c);
        std::sort(chains.begin(), chains.end(), [&](double a, double b) {
            return std::fabs(a - f.mult) < std::fabs(b - f.mult) ||
                   (std::fabs(a - f.mult) == std::fabs(b - f.mult) && a < b);
        });
        for (const double c : chains) {
            if (const auto gridHz = multTrial(c); gridHz && *gridHz <= withinHz) {
                m = std::pair(c, *gridHz);
                break;
            }
        }
    }
    if (!m) m = nearest(f.mult, 64, 1.0, multTrial, kInf);
    if (m) {
        fix.mult = m->first;
        fix.multGridHz = m->second;
    }
    return fix;
}

std::pair<std::string, std::vector<FixEdits>> gridFixText(const RunFigures& f, const GridFix& fix) {
    std::string text;
    std::vector<FixEdits> edits;
    if (fix.referenceMHz) {
        text = "a Master Reference of " + decimalText(*fix.referenceMHz, 0) + " MHz (data tones " +
               hz(fix.referenceGridHz, 2) + " RMS off an even grid)";
        edits.push_back({FieldEdit{Input::Reference, decimalText(*fix.referenceMHz, 0)}});
    }
    if (fix.mult) {
        if (!text.empty()) text += ", or ";
        text += "an RF Multiplication of " + decimalText(*fix.mult, 0) + " with " + referenceText(f.frefHz) + " (" +
                hz(fix.multGridHz, 2) + " RMS)";
        edits.push_back({FieldEdit{Input::Multiplication, decimalText(*fix.mult, 0)}});
    }
    if (text.empty())
        text = "no nearby Master Reference or RF Multiplication alone mends it; Find settings searches both";
    return {text, edits};
}

}  // namespace jt4dds::check_parts
