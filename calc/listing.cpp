// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/listing.h"

#include <cstdint>

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

namespace {

// The listing is built by appending in place: a press writes ten lines and
// each temporary string would cost an allocation.
void appendRowComment(std::string& out, int row, const RowResult& result, std::string_view separator) {
    out += "Tone ";
    out += static_cast<char>('0' + row);
    out += "  ";
    out += formatNumber(result.outputMHz, NumberPattern::OutputMegahertz, separator);
}

void appendRowLine(std::string& out, int row, const RowResult& result, std::string_view separator) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(result.word);
    out += "    de  ";
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += shift == 24 ? "0x" : ", 0x";
        out += kDigits[(bits >> (shift + 4)) & 0xFU];
        out += kDigits[(bits >> shift) & 0xFU];
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
