// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/tuning/run_figures.h"
#include "calc/tuning/tuning.h"

namespace jt4dds {

// The listing's lines, built from the numbers behind them. The results box,
// the assembler include and every other output use these very functions, so a
// firmware file and the listing can never disagree on a byte.

inline constexpr std::string_view kListingLineEnd = "\r\n";

// "FreqData" padded to 40 columns, ';', the configuration's label, "   JT4",
// the submode's label, "   Ref " and the reference in MHz by "##0.0##MHz".
// No line end.
std::string headerLine(std::string_view configLabel, std::string_view submodeLabel, double frefHz,
                       std::string_view separator);

// "    de  0xAA, 0xBB, 0xCC, 0xDD    ;  Tone i  " followed by the planned output
// frequency by "####00.0000000MHz". No line end.
std::string rowLine(int row, const RowResult& result, std::string_view separator);

// What a row line says after its semicolon and two blanks: "Tone 0  2320.0999414MHz".
std::string rowComment(int row, const RowResult& result, std::string_view separator);

// "Resolution  " and the resolution by "##0.0##Hz". No line end.
std::string resolutionLine(double resolutionHz, std::string_view separator);

// The results box's text for what a run computed, as far as it got: the header
// (once the configuration was read), each row written, and the resolution
// line; empty when the run ended before the header.
std::string listingText(const RunFigures& figures);

// The SSB carrier field's text, by "#####0.0#####"; empty when the run did not
// reach it.
std::string ssbCarrierText(const RunFigures& figures);

// The caption the warning label shows after the run, if it is visible.
std::optional<std::string_view> warningShown(const RunFigures& figures);

}  // namespace jt4dds
