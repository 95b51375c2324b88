// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "calc/beacon.h"
#include "calc/settings_search.h"
#include "formats/outputs.h"

namespace jt4dds {

// The jt4dds-cli invocation that reproduces the inputs of `beacon`: every
// field as typed, the submode and arrangement, the 800 Hz box. Values are quoted for
// a POSIX shell where they need it, and a value starting with '-' is joined
// to its option with '=' ("--fout=-10").
std::string cliCommand(const Beacon& beacon);

// The firmware file of `format` (asm or C) for `beacon` as a press left it:
// named by its name (may be empty), with the jt4dds-cli command that writes
// the same file again.
FirmwareFile firmwareFile(const Beacon& beacon, OutputFormat format);

// A candidate's table cells: multiplication, reference, the reference
// tone's DDS frequency and its share of the limit's clock, resolution, worst
// spacing and tone errors, SSB carrier. The CLI table and the window's
// dialog both show these.
inline constexpr std::array<std::string_view, 8> kCandidateHeadings{
    "Mult", "Reference MHz", "DDS MHz", "Share", "Resolution Hz", "Grid RMS Hz", "Tone error Hz", "SSB carrier MHz",
};
std::array<std::string, 8> candidateCells(const Candidate& candidate);

// A search's answer for people: a heading, then per candidate a table line
// (multiplication, reference, the reference tone's DDS frequency and its share
// of the limit's clock, resolution, worst spacing and tone errors, SSB
// carrier) and the command that reproduces it; or the reason there is none.
std::string searchTable(const SearchResult& result, const Beacon& beacon);

// The same as JSON: {"candidates": [...], "judged": n, "rejected": n} and,
// with no candidate, "reason" and "nearest".
std::string searchJson(const SearchResult& result, const Beacon& beacon);

}  // namespace jt4dds
