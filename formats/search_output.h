// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "calc/check/settings_search.h"
#include "calc/tuning/beacon.h"
#include "formats/outputs.h"

namespace jt4dds {

// The jt4dds-cli invocation that reproduces the inputs of `beacon`: every
// field as typed, the submode and arrangement, the 800 Hz box. Values are quoted for
// a POSIX shell where they need it, and a value starting with '-' is joined
// to its option with '=' ("--fout=-10").
std::string cliCommand(const Beacon& beacon);

// What downloads of `beacon` are named, before their extension: its name;
// else the first word of its message that holds a digit (the call,
// "K1ABC"); else "beacon_" and its output frequency ("beacon_2320.1MHz").
// Only letters, digits, '_', '-' and '.' ('/' becomes '-').
std::string downloadStem(const Beacon& beacon);

// The firmware file of `format` (asm or C) for `beacon` as a press left it:
// named by its name (may be empty), with the jt4dds-cli command that writes
// the same file again.
FirmwareFile firmwareFile(const Beacon& beacon, OutputFormat format);

// A candidate's table cells: multiplication and the chain that makes it ("-"
// for none), reference, the reference tone's DDS frequency, its share of the
// limit's clock and the margin to the 35 % limit, resolution, the data tones'
// distance from an even grid, the worst tone error, SSB carrier. The CLI
// table, the window's dialog and the page show these.
inline constexpr std::size_t kCandidateColumns = 10;
inline constexpr std::array<std::string_view, kCandidateColumns> kCandidateHeadings{
    "Mult",   "Chain",         "Reference MHz", "DDS MHz",       "Share",
    "Margin", "Resolution Hz", "Grid RMS Hz",   "Tone error Hz", "SSB carrier MHz",
};
std::array<std::string, kCandidateColumns> candidateCells(const Candidate& candidate);
// What each cell sorts by, smaller first: its number, the chain by its
// rank in the search (doublers and triplers by their stages, then
// quintuplers, then no chain).
std::array<double, kCandidateColumns> candidateSortKeys(const Candidate& candidate);

// "limit-exceeded 2, tone-grid 40": the rejected pairs by the first rule each
// fails, kind by kind.
std::string rejectedByText(const SearchResult& result);

// What the Find settings views say. The lists as typed, each read or why not
// ("Master references: '10-5': a range runs …").
struct CandidateLists {
    std::vector<CandidateValue> mults;
    std::vector<CandidateValue> refs;
};
std::variant<CandidateLists, std::string> readCandidateLists(std::string_view mults, std::string_view refs);
// How a row of candidates is used: double-clicked, or on a touch screen
// tapped and then used with the button.
enum class RowGesture { DoubleClick, TapThenUse };
// The counts and what to do next ("14322 candidates judged, 9226 rejected.
// Best first; …" in the gesture's words), or why nothing fits.
std::string searchStatus(const SearchResult& result, RowGesture gesture = RowGesture::DoubleClick);
// The rejected pairs, "6447 by limit-exceeded" a line; empty when none.
std::string rejectedLines(const SearchResult& result);

// A search's answer for people: a heading, then per candidate a table line
// (multiplication, reference, the reference tone's DDS frequency and its share
// of the limit's clock, resolution, worst spacing and tone errors, SSB
// carrier) and the command that reproduces it; or the reason there is none.
std::string searchTable(const SearchResult& result, const Beacon& beacon);

// The same as JSON: {"candidates": [...], "judged": n, "rejected": n,
// "rejected_by": {"<kind>": n, ...}} and, with no candidate, "reason" and
// "nearest". Each candidate has its "chain" (null for none) and "dds_margin".
std::string searchJson(const SearchResult& result, const Beacon& beacon);

}  // namespace jt4dds
