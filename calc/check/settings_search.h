// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/multiplier_chain.h"

namespace jt4dds {

// One value a candidate list offers, as it would be typed into its field and
// as that field would read it.
struct CandidateValue {
    std::string text;  // "24", "10.5"
    double value = 0.0;
};

// Reads a candidate list: values and ranges separated by commas, blanks
// anywhere. A range "lo-hi" counts up in steps of 1, "lo-hi/step" in steps
// of step; both ends are included when the steps reach them. Numbers are plain
// decimals above 0 with at most 6 decimals ("24", "0.5", "10-1000/0.5",
// "24,27,32,36,48,96", "1-192"). The values come back sorted, each once, at
// most kMaxCandidateValues of them. Returns what is wrong, naming the piece,
// when the text is no such list; never throws except std::bad_alloc.
inline constexpr std::size_t kMaxCandidateValues = 1'000'000;
std::variant<std::vector<CandidateValue>, std::string> parseCandidateList(std::string_view text);

// The lists a search takes when the operator gives none: every
// multiplication a chain of doublers and triplers makes, up to x1152 (a
// 24 GHz beacon from a DDS near 20 MHz); and references from 10 MHz to
// 1 GHz in half-megahertz steps, which covers crystal oscillators, PLL
// outputs and DDS evaluation modules. Quintuplers are left out: few
// builders have one, and each x5 would add a third as many pairs again; a
// typed list may hold them, and their chains are named too.
inline constexpr std::string_view kDefaultMultiplications =
    "1,2,3,4,6,8,9,12,16,18,24,27,32,36,48,54,64,72,81,96,108,128,144,162,192,216,243,256,288,324,384,432,486,"
    "512,576,648,729,768,864,972,1024,1152";
inline constexpr std::string_view kDefaultReferencesMHz = "10-1000/0.5";
// The default references for `beacon`: those up to its DDS's maximum clock
// when it has one ("10-180/0.5" for 180 MHz), else kDefaultReferencesMHz.
std::string defaultReferences(const Beacon& beacon);

// A search judges at most this many pairs (a few seconds of work).
inline constexpr std::size_t kMaxCandidatePairs = 20'000'000;

// A DDS at most this share of its clock leaves its filter room: the image
// at the clock less the output lies at least 2.3 times the output away.
inline constexpr double kComfortableShare = 0.30;

struct SearchOptions {
    std::size_t top = 10;
    PlanCheckOptions check;
};

// One pair of RF multiplication and master reference, as a press with those
// two fields typed would find it.
struct Candidate {
    CandidateValue mult;
    CandidateValue frefMHz;
    PlanVerdict verdict;
    double referenceDdsHz = 0.0;  // the reference tone's DDS frequency
    double resolutionHz = 0.0;
    double ssbCarrierHz = 0.0;
};

struct SearchResult {
    std::vector<Candidate> best;  // clean candidates, best first
    std::size_t judged = 0;
    std::size_t rejected = 0;
    // Every rejected pair, counted once under the first rule it fails in the
    // check's order; the counts add up to `rejected`.
    std::map<FindingKind, std::size_t> rejectedBy;
    // With no clean candidate: the one that came closest, and why it fails
    // (its first error or warning finding, as checkPlan words it).
    std::optional<Candidate> nearest;
    std::string reason;
    bool cancelled = false;
};

// Every (multiplication, reference) pair of the lists, judged by the row
// arithmetic and plan check of a press of the beacon `typed` with RF Multiplication and
// Master Reference replaced. A pair with any error or warning is out; the rest
// rank by how well the beacon decodes (data tones within the note line of an
// even grid before those in the note band), then by the margin to the 35 %
// limit (a DDS at most kComfortableShare of its clock before one nearer the
// limit, whose reconstruction filter is harder), then by the chain (doublers
// and triplers before chains with a quintupler, before multiplications no
// chain makes; fewer stages first), then by the grid's RMS, the worst tone
// error, the share, and the smaller multiplication and
// reference. When the typed beacon itself has an error or warning that no
// multiplication or reference can mend (a field read wrongly, the 800 Hz
// option on the wrong mode, a stopped run before the rows), nothing is judged
// and `reason` says so. `cancel`, when set from another thread, stops the
// search early. Never throws except std::bad_alloc.
SearchResult findSettings(const Beacon& typed, const std::vector<CandidateValue>& mults,
                          const std::vector<CandidateValue>& refsMHz, const SearchOptions& options = {},
                          const std::atomic<bool>* cancel = nullptr);

}  // namespace jt4dds
