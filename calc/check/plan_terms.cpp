// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/plan_parts.h"

#include "calc/check/plan_check.h"

#include "calc/numbers/number_format.h"

namespace jt4dds::check_parts {
std::size_t rowsWritten(const RunFigures& f) { return static_cast<std::size_t>(f.rowsWritten); }

bool accepted(const RunFigures& f, std::size_t row) { return row < rowsWritten(f) && f.rows[row].limit == Limit::None; }

std::uint8_t rowsOverLimit(const RunFigures& f) {
    std::uint8_t mask = 0;
    for (std::size_t row = 0; row < rowsWritten(f); ++row)
        if (f.rows[row].limit != Limit::None) mask |= bit(row);
    return mask;
}

std::uint8_t rowsAtOrBelowZero(const RunFigures& f) {
    std::uint8_t mask = 0;
    for (std::size_t row = 0; row < rowsWritten(f); ++row)
        if (f.rows[row].ddsHz <= 0.0 || (accepted(f, row) && f.rows[row].word == 0)) mask |= bit(row);
    return mask;
}

bool referenceRead(const RunFigures& f) {
    const auto& read = f.read(Input::Reference);
    return read && read->number.inRange && f.submodeLabel.size() > 0;
}

bool referenceAtOrBelowZero(const RunFigures& f) { return referenceRead(f) && f.frefHz <= 0.0; }

std::uint8_t sharedWordTones(const RunFigures& f) {
    std::uint8_t mask = 0;
    for (std::size_t a = 0; a < 4; ++a)
        for (std::size_t b = a + 1; b < 4; ++b)
            if (accepted(f, a) && accepted(f, b) && f.rows[a].word == f.rows[b].word)
                mask = static_cast<std::uint8_t>(mask | bit(a) | bit(b));
    return mask;
}

std::optional<double> realisedHz(const RunFigures& f, std::size_t row) {
    if (!accepted(f, row)) return std::nullopt;
    return actualOutputHz(f.rows[row].word, f.mult, f.frefHz, f.config);
}

double nominalSpacing(const RunFigures& f) { return nominalSpacingHz(f.spacingNumber); }

bool isPi4(const RunFigures& f) { return jt4dds::isPi4(f.spacingNumber); }

std::optional<double> realisedSpacingHz(const RunFigures& f, std::size_t low) {
    if (f.rows[low].word == f.rows[low + 1].word) return std::nullopt;
    const auto a = realisedHz(f, low);
    const auto b = realisedHz(f, low + 1);
    if (!a || !b) return std::nullopt;
    return *b - *a;
}

SpacingSurvey surveySpacing(const RunFigures& f, std::optional<double> tolerance) {
    SpacingSurvey s;
    const double nominal = nominalSpacing(f);
    for (std::size_t low = 0; low < 3; ++low) {
        const auto spacing = realisedSpacingHz(f, low);
        if (!spacing) continue;
        const double error = *spacing - nominal;
        if (!s.measured || std::fabs(error) > std::fabs(s.worstErrorHz)) {
            s.worstErrorHz = error;
            s.worstLow = low;
        }
        s.measured = true;
        if (tolerance && std::fabs(error) > *tolerance * nominal)
            s.offTones = static_cast<std::uint8_t>(s.offTones | bit(low) | bit(low + 1));
    }
    return s;
}

GridSurvey surveyGrid(const RunFigures& f) {
    if (sharedWordTones(f) != 0) return {};
    std::array<double, 4> hz{};
    for (std::size_t k = 0; k < 4; ++k) {
        const auto realised = realisedHz(f, k);
        if (!realised) return {};
        hz[k] = *realised;
    }
    return GridSurvey{true, fitGrid(hz, nominalSpacing(f))};
}

std::optional<Severity> gridSeverity(const RunFigures& f, const GridSurvey& grid) {
    if (!grid.measured) return std::nullopt;
    const GridTolerance limits = gridTolerance(f.spacingNumber);
    if (grid.fit.rmsHz > limits.warningHz) return Severity::Warning;
    if (grid.fit.rmsHz > limits.noteHz) return Severity::Note;
    return std::nullopt;
}

std::optional<double> pi4HeardTone0Hz(const RunFigures& f) {
    if (!isPi4(f) || !f.read(Input::ReferenceTone) || rowsWritten(f) == 0) return std::nullopt;
    return kPi4DialBelowHz + f.plan.hz[kDataTone0] - f.plan.hz[kReferenceTone];
}

bool pi4OutsideSearch(const RunFigures& f) {
    const auto heard = pi4HeardTone0Hz(f);
    return heard && std::fabs(*heard - kPi4Tone0Hz) > kPi4SearchHz;
}

bool toneZeroOffset(const RunFigures& f) { return f.option800 && toneZeroOffsetWrong(f.spacingNumber, true); }

bool resolutionWarned(const RunFigures& f) {
    return f.resolutionHz && resolutionTooLow(*f.resolutionHz, f.spacingNumber);
}

std::string number(double value, int decimals) {
    if (value != 0.0 && (std::fabs(value) >= 1e15 || std::fabs(value) < 1e-6)) {
        // Too long to write out: a mantissa and a power of ten is enough to see it.
        const double exponent = std::floor(std::log10(std::fabs(value)));
        return decimalText(value / std::pow(10.0, exponent), 3) + "e" + decimalText(exponent, 0);
    }
    return decimalText(value, decimals);
}
std::string hz(double value, int decimals) { return number(value, decimals) + " Hz"; }
std::string mhz(double valueHz, int decimals) { return number(valueHz / kMegahertz, decimals) + " MHz"; }
std::string percent(double fraction) { return number(fraction * 100.0, 1) + " %"; }

std::string_view unitOf(Input field) { return specOf(field).unit; }

std::string referenceText(double frefHz) { return mhz(frefHz, 3); }

}  // namespace jt4dds::check_parts
