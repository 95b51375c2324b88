// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/plan_check.h"

#include "calc/check/plan_parts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "calc/hearing/simulation.h"
#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/dds_chip.h"
#include "calc/tuning/multiplier_chain.h"
#include "calc/tuning/tone_plan.h"

namespace jt4dds {
using namespace check_parts;
namespace {

void explainLimit(const RunFigures& f, std::uint8_t mask, std::string_view caption, std::optional<double> maxClockHz,
                  std::vector<Finding>& out) {
    const bool direct = f.config == DdsConfig::Direct;
    double worst = direct ? -kInf : kInf;
    for (std::size_t row = 0; row < kToneCount; ++row)
        if (has(mask, row)) worst = direct ? std::max(worst, f.rows[row].ddsHz) : std::min(worst, f.rows[row].ddsHz);
    const double limitHz = kLimitFraction * f.frefHz;
    std::string message;
    if (direct) {
        message = "the DDS frequency, up to " + mhz(worst) + ", is above 35 % of the " + referenceText(f.frefHz) +
                  " Master Reference (" + mhz(limitHz) + ")";
    } else {
        message = "the " + referenceText(f.frefHz) + " Master Reference is above 35 % of the DDS frequency, down to " +
                  mhz(worst) + " (" + mhz(kLimitFraction * worst) + ")";
    }
    message += ", so their words are 0x00000000 and the DDS sends nothing there";

    std::string fix;
    const auto extremes = ddsExtremes(f);
    std::optional<double> khz;
    if (extremes && extremes->lowestHz > 0.0) {
        const auto acceptsAll = [&](double frefHz) { return everyRowAccepted(f, Trial{f.mult, frefHz}); };
        if (direct) {
            khz = settleReference(std::ceil(extremes->highestHz / kLimitFraction / 1000.0), 1.0, acceptsAll);
            // A reference the DDS cannot take is no fix; the multiplication may be.
            if (khz && maxClockHz && *khz * 1000.0 > *maxClockHz) khz.reset();
            if (khz) fix = "a Master Reference of at least " + decimalText(*khz / 1000.0, 3) + " MHz";
        } else {
            khz = settleReference(std::floor(extremes->lowestHz * kLimitFraction / 1000.0), -1.0, acceptsAll);
            if (khz) fix = "a Master Reference of at most " + decimalText(*khz / 1000.0, 3) + " MHz";
        }
        if (const std::string range = multiplicationRange(f); !range.empty()) {
            if (!fix.empty()) fix += ", or ";
            fix += "an RF Multiplication " + range + " with " + referenceText(f.frefHz);
        }
    }
    std::vector<FixEdits> fixes;
    if (extremes && extremes->lowestHz > 0.0) fixes = planFixes(f, khz);
    out.push_back(Finding{.severity = Severity::Error,
                          .kind = FindingKind::LimitExceeded,
                          .tones = mask,
                          .caption = caption,
                          .message = std::move(message),
                          .fix = std::move(fix),
                          .fixes = std::move(fixes)});
}

std::string signCauses(const RunFigures& f) {
    std::string causes;
    const auto note = [&](Input field, double value) {
        if (value >= 0.0) return;
        if (!causes.empty()) causes += ", ";
        causes += std::string(fieldName(field)) + " " + readsText(field, value);
    };
    note(Input::OutputFrequency, f.foutHz / kMegahertz);
    note(Input::Multiplication, f.mult);
    note(Input::Reference, f.frefHz / kMegahertz);
    return causes.empty() ? "the tones lie further below the Reference Tone than the output frequency allows" : causes;
}

void explainAtOrBelowZero(const RunFigures& f, std::uint8_t mask, std::vector<Finding>& out) {
    std::size_t shown = kReferenceTone;
    if (!has(mask, shown))
        for (std::size_t row = 0; row < kToneCount; ++row)
            if (has(mask, row)) {
                shown = row;
                break;
            }
    const RowResult& r = f.rows[shown];
    std::string message =
        "the DDS frequency of tone " + std::to_string(shown) + " is " + mhz(r.ddsHz) + " (" + signCauses(f) + ")";
    if (accepted(f, shown) && f.config == DdsConfig::Direct && r.word != 0) {
        const auto unsignedWord = static_cast<double>(static_cast<std::uint32_t>(r.word));
        message += "; a DDS takes the word 0x" + hexWord(r.word) + " as " + decimalText(unsignedWord, 0) +
                   " of 2^32, that is " + mhz(unsignedWord / kTwoPow32 * f.frefHz) +
                   ", above half its clock: it sends only the alias at " + mhz(std::fabs(r.ddsHz)) +
                   " and the tones come out mirrored";
    } else if (accepted(f, shown) && r.word == 0) {
        message += "; its word 0x00000000 makes the DDS send nothing";
    } else {
        message += "; a DDS cannot generate it";
    }
    out.push_back(Finding{.severity = Severity::Error,
                          .kind = FindingKind::DdsAtOrBelowZero,
                          .tones = mask,
                          .message = std::move(message),
                          .fix = "make Output Frequency and RF Multiplication positive"});
}

// The step one word unit makes at the output for `row`'s word.
double outputStepHz(const RunFigures& f, std::size_t row) {
    const TuningWord w = f.rows[row].word;
    const TuningWord next = w == INT32_MAX ? w - 1 : w + 1;
    const auto a = actualOutputHz(w, f.mult, f.frefHz, f.config);
    const auto b = actualOutputHz(next, f.mult, f.frefHz, f.config);
    return a && b ? std::fabs(*b - *a) : 0.0;
}

std::string stepAdvice(const RunFigures& f, std::size_t row, double tolerance) {
    return "the DDS steps " + hz(outputStepHz(f, row)) + " at the output; a step of at most " +
           hz(tolerance * nominalSpacing(f)) + " keeps the spacing within " + percent(tolerance) +
           " (Find settings lists references and multiplications that do)";
}

void explainGrid(const RunFigures& f, const GridSurvey& grid, Severity severity, std::optional<double> maxClockHz,
                 std::vector<Finding>& out) {
    const GridTolerance limits = gridTolerance(f.spacingNumber);
    std::string message = "the data tones lie " + hz(grid.fit.rmsHz, 2) + " RMS off an even grid (" +
                          signedText(grid.fit.residualHz[0], 2) + ", " + signedText(grid.fit.residualHz[1], 2) + ", " +
                          signedText(grid.fit.residualHz[2], 2) + ", " + signedText(grid.fit.residualHz[3], 2) +
                          " Hz); ";
    // Each line quotes the SNR it was measured at: JT4's with jt9, PI4's from a PI4 decoder's figures.
    const std::string measured = isPi4(f) ? "-15 dB" : "-22 dB";
    if (severity == Severity::Warning) {
        message += "beyond " + hz(limits.warningHz, 1) + " a " + modeName(f) +
                   " decoder near its threshold loses the beacon (measured: fewer decodes at " + measured +
                   "), so it would be copied less often than a sound one";
    } else {
        message += "beyond " + hz(limits.noteHz, 1) + " a " + modeName(f) +
                   " decoder near its threshold begins to lose a little margin (it fails beyond " +
                   hz(limits.warningHz, 1) + ", measured at " + measured + ")";
    }
    auto [fix, edits] = gridFixText(f, gridFix(f, limits.noteHz, maxClockHz));
    out.push_back(Finding{.severity = severity,
                          .kind = FindingKind::ToneGrid,
                          .tones = 0x0F,
                          .message = std::move(message),
                          .fix = std::move(fix),
                          .fixes = std::move(edits)});
}

// "the 180 MHz the AD9851 is specified for (its maximum clock)", or "the
// 140 MHz maximum clock given for the DDS": the bound a clock is judged by.
std::string maxClockText(const Beacon& beacon, double maxClockHz) {
    const DdsChip* chip = beacon.maxClockMHz.empty() ? ddsChip(beacon.dds) : nullptr;
    return "the " + mhz(maxClockHz, 3) +
           (chip ? " the " + std::string(chip->name) + " is specified for (its maximum clock)"
                 : " maximum clock given for the DDS");
}

// A reference faster than the DDS takes. The fixes: the fastest whole-MHz
// reference at or under the maximum that gives every row a word and the data
// tones an even grid within the note line; else, with the maximum clock as
// the reference, the nearest whole multiplication that does. Each proved row
// by row.
void explainMaxClock(const RunFigures& f, const Beacon& beacon, double maxClockHz, std::vector<Finding>& out) {
    const double ceilingMHz = std::floor(maxClockHz / kMegahertz);
    const double noteHz = gridTolerance(f.spacingNumber).noteHz;
    const auto within = [&](double mult, double mhz) {
        const auto gridHz = trialGridHz(f, Trial{mult, typedReferenceHz(mhz * 1000.0)});
        return gridHz && *gridHz <= noteHz ? gridHz : std::nullopt;
    };
    std::string message = referenceText(f.frefHz) + " is faster than " + maxClockText(beacon, maxClockHz);
    std::string fix;
    std::vector<FixEdits> edits;
    for (double mhz = ceilingMHz; mhz >= 1.0 && mhz > ceilingMHz - 200.0; mhz -= 1.0) {
        if (const auto gridHz = within(f.mult, mhz)) {
            fix = "a Master Reference of " + decimalText(mhz, 0) + " MHz (data tones " + hz(*gridHz, 2) +
                  " RMS off an even grid)";
            edits.push_back({FieldEdit{Input::Reference, decimalText(mhz, 0)}});
            break;
        }
    }
    // Doublers and triplers first: a multiplication a chain of them makes is
    // one the builder can buy or build.
    const auto doublersAndTriplers = [](double mult) {
        const auto chain = chainOf(mult);
        return chain && chain->fives == 0;
    };
    for (const bool chainsOnly : {true, false}) {
        if (!edits.empty() || ceilingMHz < 1.0) break;
        const double start = std::round(f.mult);
        for (double k = 0; k <= 64.0 && edits.empty(); k += 1.0) {
            for (const double mult : {start + k, start - k}) {
                if (mult < 1.0 || (chainsOnly && !doublersAndTriplers(mult))) continue;
                if (const auto gridHz = within(mult, ceilingMHz)) {
                    fix = "an RF Multiplication of " + decimalText(mult, 0) + " with a Master Reference of " +
                          decimalText(ceilingMHz, 0) + " MHz (data tones " + hz(*gridHz, 2) + " RMS off an even grid)";
                    edits.push_back({FieldEdit{Input::Multiplication, decimalText(mult, 0)},
                                     FieldEdit{Input::Reference, decimalText(ceilingMHz, 0)}});
                    break;
                }
            }
        }
    }
    if (edits.empty())
        fix = "no Master Reference at most " + mhz(maxClockHz, 3) + " works with RF Multiplication " +
              decimalText(f.mult, 6) + " or one near it; Find settings searches both";
    out.push_back(Finding{.severity = Severity::Error,
                          .kind = FindingKind::ReferenceAboveMaxClock,
                          .field = Input::Reference,
                          .message = std::move(message),
                          .fix = std::move(fix),
                          .fixes = std::move(edits)});
}

// In Reverse the rows' frequencies clock the DDS: the fastest of them.
double reverseClockHz(const RunFigures& f) {
    double highest = 0.0;
    for (std::size_t row = 0; row < rowsWritten(f); ++row) highest = std::max(highest, f.rows[row].ddsHz);
    return highest;
}

// Reverse DDS clocked faster than its chip takes. The fix: the nearest larger
// RF Multiplication (doublers and triplers first) that brings every row
// under the clock, proved clean by a press of its own.
void explainReverseClock(const RunFigures& f, const Beacon& beacon, double maxClockHz, std::vector<Finding>& out) {
    const double clockHz = reverseClockHz(f);
    std::string message = "in Reverse DDS the rows' frequencies clock the DDS, up to " + mhz(clockHz, 6) +
                          ", faster than " + maxClockText(beacon, maxClockHz);
    std::string fix;
    std::vector<FixEdits> edits;
    const double least = std::ceil(f.mult * clockHz / maxClockHz);
    for (const bool chainsOnly : {true, false}) {
        for (double mult = least; edits.empty() && mult <= least * 4.0 + 64.0; mult += 1.0) {
            const auto chain = chainOf(mult);
            if (chainsOnly && !(chain && chain->fives == 0)) continue;
            Beacon trial = beacon;
            trial.text(Input::Multiplication) = decimalText(mult, 0);
            if (!judgePlan(calculate(trial)).clean) continue;
            fix = "an RF Multiplication of " + decimalText(mult, 0) + ", which clocks the DDS at up to " +
                  mhz(clockHz * f.mult / mult, 3);
            edits.push_back({FieldEdit{Input::Multiplication, decimalText(mult, 0)}});
        }
    }
    if (edits.empty())
        fix = "no RF Multiplication alone brings the DDS under its clock with " + referenceText(f.frefHz) +
              "; Find settings searches multiplications and references together";
    out.push_back(Finding{.severity = Severity::Error,
                          .kind = FindingKind::DdsClockAboveMax,
                          .field = Input::Multiplication,
                          .message = std::move(message),
                          .fix = std::move(fix),
                          .fixes = std::move(edits)});
}

// ": they lie within 0.48 Hz of an even grid, inside the 3 Hz …": the tone
// grid's verdict, for the resolution's note; nothing when it was not measured.
std::string gridClause(const RunFigures& f, const GridSurvey& grid) {
    if (!grid.measured) return {};
    const GridTolerance limits = gridTolerance(f.spacingNumber);
    return ": they lie " + hz(grid.fit.rmsHz, 2) + " RMS off an even grid, " +
           (grid.fit.rmsHz <= limits.noteHz
                ? "inside the " + hz(limits.noteHz, 1) + " a " + modeName(f) + " decoder takes without loss"
                : "beyond the " + hz(limits.noteHz, 1) + " a " + modeName(f) +
                      " decoder takes without loss (see the tone grid's finding)");
}

// The resolution caption, explained: a note, since the window shows it by a
// rule of thumb and the tone grid's finding judges what it is about.
void explainResolution(const RunFigures& f, const GridSurvey& grid, std::vector<Finding>& out) {
    const double res = *f.resolutionHz;
    if (isPi4(f)) {
        std::string message = "PI4 has spacing number 0, so the resolution " + hz(res) +
                              " is compared with 0 Hz and this caption shows for every PI4 plan; what counts is how "
                              "evenly the rounded words place the data tones" +
                              gridClause(f, grid);
        out.push_back(Finding{.severity = Severity::Note,
                              .kind = FindingKind::Resolution,
                              .caption = kResolutionMessage,
                              .message = std::move(message)});
        return;
    }
    const double limit = f.spacingNumber / 4.0;
    std::string message = "the resolution " + hz(res) + " is coarser than " + hz(limit) + ", a quarter of " +
                          modeName(f) + "'s spacing number " + std::to_string(f.spacingNumber) +
                          " in hertz; what counts is how evenly the rounded words place the data tones" +
                          gridClause(f, grid);
    std::string fix;
    const auto fits = [&](double frefHz) { return resolutionFits(f, Trial{f.mult, frefHz}); };
    std::optional<double> khz;
    if (f.config == DdsConfig::Direct) {
        khz = settleReference(std::floor(limit * kTwoPow33 / f.mult / 1000.0), -1.0, fits);
        if (khz) fix = "a Master Reference of at most " + decimalText(*khz / 1000.0, 3) + " MHz";
    } else if (f.mult > 0.0) {
        const double aux = f.foutHz + (f.plan.hz[kAuxTone] - f.plan.hz[kReferenceTone]);
        khz = settleReference(std::ceil(aux * aux / (kTwoPow33 * f.mult * limit) / 1000.0), 1.0, fits);
        if (khz) fix = "a Master Reference of at least " + decimalText(*khz / 1000.0, 3) + " MHz";
    }
    if (const std::string range = multiplicationRange(f); !range.empty()) {
        if (!fix.empty()) fix += ", or ";
        fix += "an RF Multiplication " + range + " with " + referenceText(f.frefHz);
    }
    if (fix.empty()) fix = "no other Master Reference or RF Multiplication alone mends it; Find settings searches both";
    out.push_back(Finding{.severity = Severity::Note,
                          .kind = FindingKind::Resolution,
                          .caption = kResolutionMessage,
                          .message = std::move(message),
                          .fix = std::move(fix),
                          .fixes = planFixes(f, khz)});
}

// ---- The rules a press is judged by, in the order the check reports them.
// Each says whether it applies (with the severity of its finding) and
// explains itself; the check asks every rule for both, a settings search
// only whether any applies as an error or warning.

struct Judging {
    const RunFigures& f;
    const SpacingSurvey& spacing;
    const GridSurvey& grid;
    const PlanCheckOptions& options;
    const Beacon& beacon;
    std::optional<double> maxClockHz;  // the fastest reference the beacon's DDS takes
};

struct PlanRule {
    FindingKind kind;
    std::optional<Severity> (*applies)(const Judging&);
    void (*explain)(const Judging&, std::vector<Finding>&);
};

std::optional<Severity> when(bool applies, Severity severity) {
    return applies ? std::optional(severity) : std::nullopt;
}

constexpr std::array kPlanRules{
    PlanRule{FindingKind::ReferenceAtOrBelowZero,
             [](const Judging& j) { return when(referenceAtOrBelowZero(j.f), Severity::Error); },
             [](const Judging& j, std::vector<Finding>& out) {
                 const RunFigures& f = j.f;
                 out.push_back(Finding{
                     .severity = Severity::Error,
                     .kind = FindingKind::ReferenceAtOrBelowZero,
                     .field = Input::Reference,
                     .message = readsText(Input::Reference, f.frefHz / kMegahertz) + ": a clock must be above 0 Hz"});
             }},
    PlanRule{FindingKind::ReferenceAboveMaxClock,
             [](const Judging& j) {
                 // In Reverse the DDS generates the reference: the next rule judges its clock.
                 return when(j.f.config == DdsConfig::Direct && referenceRead(j.f) && j.maxClockHz &&
                                 j.f.frefHz > *j.maxClockHz,
                             Severity::Error);
             },
             [](const Judging& j, std::vector<Finding>& out) { explainMaxClock(j.f, j.beacon, *j.maxClockHz, out); }},
    PlanRule{
        FindingKind::DdsClockAboveMax,
        [](const Judging& j) {
            return when(j.f.config == DdsConfig::Reverse && j.maxClockHz && reverseClockHz(j.f) > *j.maxClockHz,
                        Severity::Error);
        },
        [](const Judging& j, std::vector<Finding>& out) { explainReverseClock(j.f, j.beacon, *j.maxClockHz, out); }},
    PlanRule{FindingKind::ToneZeroOffset, [](const Judging& j) { return when(toneZeroOffset(j.f), Severity::Warning); },
             [](const Judging& j, std::vector<Finding>& out) {
                 const RunFigures& f = j.f;
                 // The option is read just before the data tones are placed, so they are known here.
                 const double tone0 = f.plan.hz[kDataTone0];
                 std::string message =
                     "the 800 Hz option puts tone 0 on the 800 Hz Reference Tone only for JT4G; with " + modeName(f) +
                     " tone 0 is at " + hz(tone0, 4) + ", " + hz(std::fabs(tone0 - 800.0), 4) + " from it";
                 out.push_back(Finding{.severity = Severity::Warning,
                                       .kind = FindingKind::ToneZeroOffset,
                                       .caption = kToneZeroOffsetMessage,
                                       .message = std::move(message),
                                       .fix = "select G, or clear JT4G Reference Tone0 = 800Hz"});
             }},
    PlanRule{
        FindingKind::LimitExceeded, [](const Judging& j) { return when(rowsOverLimit(j.f) != 0, Severity::Error); },
        [](const Judging& j, std::vector<Finding>& out) {
            const RunFigures& f = j.f;
            const std::uint8_t over = rowsOverLimit(f);
            const std::string_view caption = f.config == DdsConfig::Direct ? kDirectLimitMessage : kReverseLimitMessage;
            explainLimit(f, over, caption, j.maxClockHz, out);
        }},
    PlanRule{
        FindingKind::DdsAtOrBelowZero,
        [](const Judging& j) { return when(rowsAtOrBelowZero(j.f) != 0, Severity::Error); },
        [](const Judging& j, std::vector<Finding>& out) { explainAtOrBelowZero(j.f, rowsAtOrBelowZero(j.f), out); }},
    PlanRule{FindingKind::SharedWord, [](const Judging& j) { return when(sharedWordTones(j.f) != 0, Severity::Error); },
             [](const Judging& j, std::vector<Finding>& out) {
                 const RunFigures& f = j.f;
                 const std::uint8_t shared = sharedWordTones(f);
                 // One clause per word that several data tones share.
                 std::string groups;
                 std::uint8_t told = 0;
                 std::size_t first = kToneCount;
                 for (std::size_t a = 0; a < 4; ++a) {
                     if (!has(shared, a) || has(told, a)) continue;
                     std::uint8_t group = 0;
                     for (std::size_t b = a; b < 4; ++b)
                         if (has(shared, b) && f.rows[b].word == f.rows[a].word)
                             group = static_cast<std::uint8_t>(group | bit(b));
                     told = static_cast<std::uint8_t>(told | group);
                     if (first == kToneCount) first = a;
                     if (!groups.empty()) groups += "; ";
                     groups += tonesText(group) + " share the word 0x" + hexWord(f.rows[a].word);
                 }
                 auto [fix, edits] = gridFixText(f, gridFix(f, gridTolerance(f.spacingNumber).noteHz, j.maxClockHz));
                 out.push_back(Finding{.severity = Severity::Error,
                                       .kind = FindingKind::SharedWord,
                                       .tones = shared,
                                       .message = groups + ": they go out on one frequency, so " + modeName(f) +
                                                  " cannot be decoded; the DDS steps " + hz(outputStepHz(f, first)) +
                                                  " at the output",
                                       .fix = std::move(fix),
                                       .fixes = std::move(edits)});
             }},
    PlanRule{FindingKind::SpacingOff, [](const Judging& j) { return when(j.spacing.offTones != 0, Severity::Warning); },
             [](const Judging& j, std::vector<Finding>& out) {
                 const RunFigures& f = j.f;
                 const SpacingSurvey& spacing = j.spacing;
                 const PlanCheckOptions& options = j.options;
                 const double nominal = nominalSpacing(f);
                 const auto realised = realisedSpacingHz(f, spacing.worstLow);
                 out.push_back(Finding{.severity = Severity::Warning,
                                       .kind = FindingKind::SpacingOff,
                                       .tones = spacing.offTones,
                                       .message = "the worst pair, tones " + std::to_string(spacing.worstLow) +
                                                  " and " + std::to_string(spacing.worstLow + 1) + ", comes out " +
                                                  hz(*realised) + " apart, " + hz(std::fabs(spacing.worstErrorHz)) +
                                                  " (" + percent(std::fabs(spacing.worstErrorHz) / nominal) +
                                                  ") off the nominal " + hz(nominal) + "; the tolerance set is " +
                                                  percent(*options.spacingTolerance),
                                       .fix = stepAdvice(f, spacing.worstLow, *options.spacingTolerance)});
             }},
    PlanRule{FindingKind::ToneGrid, [](const Judging& j) { return gridSeverity(j.f, j.grid); },
             [](const Judging& j, std::vector<Finding>& out) {
                 explainGrid(j.f, j.grid, *gridSeverity(j.f, j.grid), j.maxClockHz, out);
             }},
    PlanRule{FindingKind::Pi4OutsideSearch,
             [](const Judging& j) { return when(pi4OutsideSearch(j.f), Severity::Warning); },
             [](const Judging& j, std::vector<Finding>& out) {
                 const RunFigures& f = j.f;
                 // The reference tone on the data tones' centre puts tone 0 where PI4 has it.
                 const std::string centre = decimalText(f.plan.hz[kDataTone0] - kPi4OffsetsHz[0], 2);
                 out.push_back(
                     Finding{.severity = Severity::Warning,
                             .kind = FindingKind::Pi4OutsideSearch,
                             .field = Input::ReferenceTone,
                             .message = "on a PI4 receiver, tuned 800 Hz below the nominal frequency (the reference "
                                        "tone's), data tone 0 is heard at " +
                                        hz(*pi4HeardTone0Hz(f), 1) +
                                        "; PI4 decoders look for it within 150 Hz of 682.8 Hz and would not find "
                                        "this beacon",
                             .fix = "type " + centre + ", the data tones' centre, as the Reference Tone",
                             .fixes = {{FieldEdit{Input::ReferenceTone, centre}}}});
             }},
    // The caption's rule of thumb blocks nothing: the tone grid judges.
    PlanRule{FindingKind::Resolution, [](const Judging& j) { return when(resolutionWarned(j.f), Severity::Note); },
             [](const Judging& j, std::vector<Finding>& out) { explainResolution(j.f, j.grid, out); }},
};

}  // namespace

GridTolerance gridTolerance(std::int32_t spacingNumber) {
    // Measured with jt9 (tests/decoder/measure_tolerance, the README's
    // table): the warning line is where the decodes at -22 dB, over four
    // shapes of error and six noise seeds, fall below 5 in 6; the note line
    // three quarters of it. PI4, which jt9 does not decode, from a PI4
    // decoder's figures: a stretch of 3.4 Hz RMS decodes, one of 5.2 Hz does not.
    struct Line {
        std::int32_t spacingNumber;
        GridTolerance limits;
    };
    constexpr Line kLines[] = {
        {0, {3.0, 4.0}}, {1, {1.1, 1.4}},  {2, {1.2, 1.6}},  {4, {1.4, 1.9}},
        {9, {1.6, 2.2}}, {18, {1.3, 1.8}}, {36, {1.1, 1.5}}, {72, {1.1, 1.5}},
    };
    for (const Line& line : kLines)
        if (line.spacingNumber == std::max(spacingNumber, 0)) return line.limits;
    return kLines[0].limits;
}

std::vector<ToneDetail> toneDetails(const RunFigures& f) {
    std::vector<ToneDetail> table;
    for (std::size_t row = 0; row < rowsWritten(f); ++row) {
        ToneDetail d;
        d.tone = static_cast<int>(row);
        d.name = kToneNames[row];
        d.audioHz = f.plan.hz[row];
        d.ddsHz = f.rows[row].ddsHz;
        d.word = f.rows[row].word;
        d.limit = f.rows[row].limit;
        d.plannedHz = f.mult * f.rows[row].ddsHz;
        d.realisedHz = realisedHz(f, row);
        if (d.realisedHz) d.errorHz = *d.realisedHz - d.plannedHz;
        table.push_back(d);
    }
    return table;
}

namespace {

// Every finding of a press, each fix as its rule computed it, unproved.
std::vector<Finding> findingsOf(const Press& outcome, const PlanCheckOptions& options) {
    const RunFigures& f = outcome.figures;
    std::vector<Finding> out;
    for (Input field : kAllInputs)
        if (const auto& read = f.read(field)) checkField(field, *read, out);

    const SpacingSurvey spacing = surveySpacing(f, options.spacingTolerance);
    const GridSurvey grid = surveyGrid(f);
    const Judging judging{f, spacing, grid, options, outcome.beacon, maxClockHz(outcome.beacon)};
    for (const PlanRule& rule : kPlanRules)
        if (rule.applies(judging)) rule.explain(judging, out);

    checkTransmission(outcome, out);
    if (outcome.ended) {
        out.push_back(
            Finding{.severity = Severity::Error, .kind = FindingKind::RunEnded, .message = outcome.ended->message});
    }
    return out;
}

bool sameFinding(const Finding& a, const Finding& b) {
    return a.kind == b.kind && a.severity == b.severity && a.field == b.field && a.sentField == b.sentField &&
           a.tones == b.tones && a.message == b.message;
}

bool matters(const Finding& finding) { return finding.severity != Severity::Note; }

// What applying a fix leads into: the errors and warnings of `after` that
// `before` did not hold as they stand. A finding the fix leaves exactly as it
// was and that no edit can mend (the 800 Hz option, an empty field) is the
// operator's other business, shown with its own advice; one that an edit
// mends is not, so the fix must take it along.
std::vector<const Finding*> ledInto(const std::vector<Finding>& before, const Finding& mended,
                                    const std::vector<Finding>& after) {
    std::vector<const Finding*> led;
    for (const Finding& finding : after) {
        const bool unchanged =
            std::any_of(before.begin(), before.end(), [&](const Finding& was) { return sameFinding(was, finding); });
        if (sameFinding(finding, mended) || (matters(finding) && !(unchanged && finding.fixes.empty())))
            led.push_back(&finding);
    }
    return led;
}

// `edits` and then `more`; none when `more` would retype a field `edits` types.
std::optional<FixEdits> together(FixEdits edits, const FixEdits& more) {
    for (const FieldEdit& edit : more) {
        if (std::any_of(edits.begin(), edits.end(), [&](const FieldEdit& e) { return e.input == edit.input; }))
            return std::nullopt;
        edits.push_back(edit);
    }
    return edits;
}

// A fix that types what the operator meant into a field read otherwise: it
// stays offered when no single further edit clears what the plan then
// meets, for that plan's findings say what to do next.
bool readsWhatWasMeant(const Finding& finding) {
    return finding.kind == FindingKind::IgnoredText || finding.kind == FindingKind::JoinedNumbers ||
           finding.kind == FindingKind::NoNumber || finding.kind == FindingKind::EmptyField;
}

// "a tone-grid warning": what a finding is, in a clause.
std::string aFinding(const Finding& finding) {
    return "a " + std::string(kindName(finding.kind)) + " " + std::string(severityName(finding.severity));
}

// Each fix is tried on the beacon as the press left it before it is offered:
// one that leads into a new error or warning is offered with the edit that
// mends that too, when one does, or not at all, and the prose says which.
void proveFixes(const Press& outcome, const PlanCheckOptions& options, std::vector<Finding>& findings) {
    const Beacon pressed = asPressed(outcome.beacon, outcome);
    const auto trial = [&](const FixEdits& edits) {
        Beacon beacon = pressed;
        for (const FieldEdit& edit : edits) beacon.text(edit.input) = edit.text;
        return findingsOf(calculate(beacon), options);
    };
    for (Finding& finding : findings) {
        if (finding.fixes.empty()) continue;
        std::vector<FixEdits> proved;
        for (const FixEdits& edits : finding.fixes) {
            const std::vector<Finding> after = trial(edits);
            const std::vector<const Finding*> led = ledInto(findings, finding, after);
            if (led.empty()) {
                proved.push_back(edits);
                continue;
            }
            std::optional<FixEdits> mended;
            std::string also;
            for (const Finding* next : led) {
                for (const FixEdits& more : next->fixes) {
                    auto both = together(edits, more);
                    if (both && ledInto(findings, finding, trial(*both)).empty()) {
                        mended = std::move(both);
                        also = fixCaption(more);
                        break;
                    }
                }
                if (mended) break;
            }
            if (mended) {
                finding.fix +=
                    "; " + fixCaption(edits) + " alone leads into " + aFinding(*led.front()) + ", so with " + also;
                if (std::find(proved.begin(), proved.end(), *mended) == proved.end()) proved.push_back(*mended);
            } else if (readsWhatWasMeant(finding)) {
                finding.fix += "; with it the plan meets " + aFinding(*led.front()) + ": see its fix";
                proved.push_back(edits);
            } else {
                finding.fix += "; " + fixCaption(edits) + " alone leads into " + aFinding(*led.front()) +
                               " that no single change mends";
            }
        }
        if (proved.empty()) {
            finding.fix += "; " + std::string(kNoSingleEdit);
            finding.wantsSearch = true;
        }
        finding.fixes = std::move(proved);
    }
}

}  // namespace

std::vector<Finding> checkPlan(const Press& outcome, const PlanCheckOptions& options) {
    std::vector<Finding> out = findingsOf(outcome, options);
    proveFixes(outcome, options, out);
    return out;
}

PlanVerdict judgePlan(const Press& outcome, const PlanCheckOptions& options) {
    const RunFigures& f = outcome.figures;
    PlanVerdict v;
    const SpacingSurvey spacing = surveySpacing(f, options.spacingTolerance);
    v.worstSpacingErrorHz = std::fabs(spacing.worstErrorHz);
    double lowest = kInf;
    double highest = -kInf;
    for (std::size_t row = 0; row < rowsWritten(f); ++row) {
        lowest = std::min(lowest, f.rows[row].ddsHz);
        highest = std::max(highest, f.rows[row].ddsHz);
        if (const auto realised = realisedHz(f, row))
            v.worstToneErrorHz = std::max(v.worstToneErrorHz, std::fabs(*realised - f.mult * f.rows[row].ddsHz));
    }
    v.ddsShare = f.config == DdsConfig::Direct ? highest / f.frefHz : f.frefHz / lowest;
    v.sharedWord = sharedWordTones(f) != 0;
    const GridSurvey grid = surveyGrid(f);
    // Unmeasured (a data tone silent or sharing a word) ranks last.
    v.gridRmsHz = grid.measured ? grid.fit.rmsHz : std::numeric_limits<double>::max();
    const Judging judging{f, spacing, grid, options, outcome.beacon, maxClockHz(outcome.beacon)};
    const auto* failing = std::find_if(kPlanRules.begin(), kPlanRules.end(), [&](const PlanRule& rule) {
        const auto severity = rule.applies(judging);
        return severity && *severity != Severity::Note;
    });
    if (failing != kPlanRules.end())
        v.failedBy = failing->kind;
    else if (!outcome.completed())
        v.failedBy = FindingKind::RunEnded;
    v.clean = !v.failedBy;
    return v;
}

std::string modeName(const RunFigures& f) { return isPi4(f) ? std::string("PI4") : "JT4" + f.submodeLabel; }

}  // namespace jt4dds
