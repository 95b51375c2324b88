// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/listing.h"

#include "calc/numbers/number_format.h"

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

namespace {

// The listing is built by appending in place: a press writes ten lines and
// each temporary string would cost an allocation.
void appendRowComment(std::string& out, int row, const RowResult& result, std::string_view separator) {
    out += "Tone";
    out += formatToneNumber(row);  // short enough to stay in the string's own buffer
    out += formatNumber(result.outputMHz, NumberPattern::OutputMegahertz, separator);
}

void appendRowLine(std::string& out, int row, const RowResult& result, std::string_view separator) {
    const std::string hex = hexWord(result.word);  // eight digits: no allocation
    out += "    de  ";
    for (std::size_t pair = 0; pair < 8; pair += 2) {
        out += pair == 0 ? "0x" : ", 0x";
        out.append(hex, pair, 2);
    }
    out += "    ;  ";
    appendRowComment(out, row, result, separator);
}

}  // namespace

std::string rowComment(int row, const RowResult& result, std::string_view separator) {
    std::string comment;
    appendRowComment(comment, row, result, separator);
    return comment;
}

std::string rowLine(int row, const RowResult& result, std::string_view separator) {
    std::string line;
    appendRowLine(line, row, result, separator);
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
        appendRowLine(text, row, f.rows[static_cast<std::size_t>(row)], f.separator);
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
