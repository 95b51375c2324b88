// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/listing.h"

#include "calc/number_format.h"

namespace jt4dds {

std::string headerLine(std::string_view configLabel, std::string_view submodeLabel, double frefHz,
                       std::string_view separator) {
    std::string line = "FreqData                                ;";
    line += configLabel;
    line += "   JT4";
    line += submodeLabel;
    line += "   Ref ";
    line += formatNumber(frefHz / kMegahertz, NumberPattern::Megahertz, separator);
    return line;
}

std::string rowComment(int row, const RowResult& result, std::string_view separator) {
    std::string comment = "Tone";
    comment += formatToneNumber(row);
    comment += formatNumber(result.outputMHz, NumberPattern::OutputMegahertz, separator);
    return comment;
}

std::string rowLine(int row, const RowResult& result, std::string_view separator) {
    const std::string hex = hexWord(result.word);
    std::string line = "    de  0x";
    line.append(hex, 0, 2);
    for (std::size_t pair = 2; pair < 8; pair += 2) {
        line += ", 0x";
        line.append(hex, pair, 2);
    }
    line += "    ;  ";
    line += rowComment(row, result, separator);
    return line;
}

std::string resolutionLine(double resolutionHz, std::string_view separator) {
    return "Resolution  " + formatNumber(resolutionHz, NumberPattern::Hertz, separator);
}

std::string listingText(const RunFigures& f) {
    std::string text;
    if (f.configLabel.empty()) return text;
    text.reserve(640);
    text = headerLine(f.configLabel, f.submodeLabel, f.frefHz, f.separator);
    text += kListingLineEnd;
    for (int row = 0; row < f.rowsWritten; ++row) {
        text += rowLine(row, f.rows[static_cast<std::size_t>(row)], f.separator);
        text += kListingLineEnd;
    }
    if (f.resolutionHz) {
        text += kListingLineEnd;
        text += resolutionLine(*f.resolutionHz, f.separator);
    }
    return text;
}

std::string ssbCarrierText(const RunFigures& f) {
    if (!f.ssbCarrierMHz) return {};
    return formatNumber(*f.ssbCarrierMHz, NumberPattern::CarrierMegahertz, f.separator);
}

std::optional<std::string_view> warningShown(const RunFigures& f) {
    if (f.raisedCount == 0) return std::nullopt;
    return f.raised[f.raisedCount - 1].caption;
}

}  // namespace jt4dds
