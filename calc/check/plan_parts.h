// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The plan check's own vocabulary, shared by its parts (the conditions, the
// field readings, the fixes, the minute): not for use outside the check.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/check/finding.h"
#include "calc/hearing/simulation.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/tone_plan.h"

namespace jt4dds::check_parts {

constexpr std::array<std::string_view, kToneCount> kToneNames{
    "data tone 0",    "data tone 1",        "data tone 2",          "data tone 3",
    "reference tone", "FSK CW key-up tone", "FSK CW key-down tone", "aux tone",
};
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::uint8_t bit(std::size_t row) { return static_cast<std::uint8_t>(1U << row); }
constexpr bool has(std::uint8_t mask, std::size_t row) { return (mask & bit(row)) != 0; }

// ---- The conditions. judgePlan and checkPlan both ask these, so a plan the
// ---- search calls clean is one the check has nothing against.

std::size_t rowsWritten(const RunFigures& f);

bool accepted(const RunFigures& f, std::size_t row);

std::uint8_t rowsOverLimit(const RunFigures& f);

std::uint8_t rowsAtOrBelowZero(const RunFigures& f);

bool referenceRead(const RunFigures& f);

bool referenceAtOrBelowZero(const RunFigures& f);

// Data tones (accepted, above zero) that share their word with another.
std::uint8_t sharedWordTones(const RunFigures& f);

std::optional<double> realisedHz(const RunFigures& f, std::size_t row);

double nominalSpacing(const RunFigures& f);

bool isPi4(const RunFigures& f);

// The realised spacing of data tones `low` and `low + 1`, when both sound.
std::optional<double> realisedSpacingHz(const RunFigures& f, std::size_t low);

struct SpacingSurvey {
    std::uint8_t offTones = 0;  // tones of the pairs beyond the tolerance
    std::size_t worstLow = 0;   // the lower tone of the worst pair
    double worstErrorHz = 0.0;  // signed, realised − nominal
    bool measured = false;      // at least one pair could be measured
};

SpacingSurvey surveySpacing(const RunFigures& f, std::optional<double> tolerance);

// How far the four data tones lie from their best even grid, when each has
// a word of its own inside the limit.
struct GridSurvey {
    bool measured = false;
    GridFit fit;
};

GridSurvey surveyGrid(const RunFigures& f);

std::optional<Severity> gridSeverity(const RunFigures& f, const GridSurvey& grid);

// On a PI4 receiver's dial (kPi4DialBelowHz below the nominal frequency),
// PI4 decoders look for data tone 0 within 150 Hz of 682.8 Hz.
constexpr double kPi4Tone0Hz = 682.8125;
constexpr double kPi4SearchHz = 150.0;

// Data tone 0 as a PI4 receiver hears it: the nominal frequency is the
// reference tone's.
std::optional<double> pi4HeardTone0Hz(const RunFigures& f);

bool pi4OutsideSearch(const RunFigures& f);

bool toneZeroOffset(const RunFigures& f);

bool resolutionWarned(const RunFigures& f);

// ---- Words for the operator.

std::string number(double value, int decimals);
std::string hz(double value, int decimals = 3);
std::string mhz(double valueHz, int decimals = 6);
std::string percent(double fraction);

std::string_view unitOf(Input field);

std::string referenceText(double frefHz);

// ---- The fields as read.

// "reads 2320 MHz": a field's value as the press read it, with its unit.
std::string readsText(Input field, double value);

// What a field's reading tells: ignored text, numbers joined over lines, an
// empty field, a text with no number.
void checkField(Input field, const FieldRead& read, std::vector<Finding>& out);

// ---- Fixes, each proved by the very row arithmetic the listing uses.

struct Trial {
    double mult;
    double frefHz;
};

// Every row computed afresh for other values of RF Multiplication and Master
// Reference: true when each gets a word inside the limit.
bool everyRowAccepted(const RunFigures& f, Trial t);

// The resolution check passes (it cannot for PI4) with those values.
bool resolutionFits(const RunFigures& f, Trial t);

// A reference as the operator would type it: whole kilohertz, read back as
// the field would read it.
double typedReferenceHz(double kilohertz);

// From `start` (in kHz) step by `step` kHz until `ok`; nothing after a few
// steps (the estimate is then not near an answer).
template <class Ok>
std::optional<double> settleReference(double startKhz, double stepKhz, Ok ok) {
    for (int i = 0; i < 16; ++i, startKhz += stepKhz) {
        if (startKhz <= 0.0) return std::nullopt;
        if (ok(typedReferenceHz(startKhz))) return startKhz;
    }
    return std::nullopt;
}

// The integer multiplications near `estimate` where `ok` changes; walks up
// while !ok (for a lower bound) or down while !ok (for an upper bound).
template <class Ok>
std::optional<double> settleMultiplication(double estimate, bool lowerBound, Ok ok) {
    if (!std::isfinite(estimate)) return std::nullopt;
    double m = std::max(1.0, lowerBound ? std::ceil(estimate) : std::floor(estimate));
    if (m > 1e6) return std::nullopt;
    for (int i = 0; i < 16 && m >= 1.0; ++i) {
        if (ok(m)) {
            // Step back over the boundary while the neighbour still works.
            const double towards = lowerBound ? -1.0 : 1.0;
            while (m + towards >= 1.0 && ok(m + towards)) m += towards;
            return m;
        }
        m += lowerBound ? 1.0 : -1.0;
    }
    return std::nullopt;
}

// Highest and lowest DDS frequency over all eight rows, computed afresh.
struct Extremes {
    double lowestHz;
    double highestHz;
};
std::optional<Extremes> ddsExtremes(const RunFigures& f);

// RF offsets of the rows at the output: highest and lowest audio offset from
// the reference tone.
Extremes audioOffsets(const RunFigures& f);

// "from 28 to 77", "28 or more", "1 to 9" for the integer multiplications
// that accept every row (and, for JT4, keep the resolution) with the typed
// reference; empty when none does.
// The multiplications that mend a plan with its reference kept: from `low`
// to `high` (none: no bound above).
struct MultiplicationRange {
    double low = 0.0;
    std::optional<double> high;
};

std::optional<MultiplicationRange> multiplicationRangeOf(const RunFigures& f);

// "from 27 to 77", "27 or more", "27"; empty when no multiplication mends it.
std::string multiplicationRange(const RunFigures& f);

// True for a multiplication doublers and triplers make: what a builder has
// on the bench, and what Find settings ranks first.
bool doublersAndTriplers(double mult);

// The multiplication in `range` nearest `mult` that doublers and triplers
// make, or `mult` itself when none lies within a factor of two of it.
double chainNear(double mult, const MultiplicationRange& range);

// The fixes the prose of a limit or resolution finding names: the reference
// it settled on, and the multiplication of the range nearest the typed one.
std::vector<FixEdits> planFixes(const RunFigures& f, std::optional<double> referenceKhz);

// The data tones' deviation from their best even grid with other values of
// RF Multiplication and Master Reference, when every row gets a word inside
// the limit and the data tones words of their own: a plan the fix may offer.
std::optional<double> trialGridHz(const RunFigures& f, Trial t);

// The nearest whole-megahertz Master Reference, and the nearest whole RF
// Multiplication with the typed reference, whose data tones lie within
// `withinHz` RMS of an even grid, each with how far they then lie.
struct GridFix {
    std::optional<double> referenceMHz;
    double referenceGridHz = 0.0;
    std::optional<double> mult;
    double multGridHz = 0.0;
};

GridFix gridFix(const RunFigures& f, double withinHz, std::optional<double> maxClockHz);

// The fix's prose, "a Master Reference of 502 MHz (data tones 0.92 Hz RMS
// off an even grid), or …", and its edits.
std::pair<std::string, std::vector<FixEdits>> gridFixText(const RunFigures& f, const GridFix& fix);

// ---- The minute.

// The beacon's minute: a message it cannot send, a minute longer than 60 s, a
// cut message, a timer that cannot time it, and a PI4 CW identification off
// the carrier, where receivers expect it.
void checkTransmission(const Press& press, std::vector<Finding>& out);

}  // namespace jt4dds::check_parts
