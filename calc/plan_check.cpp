// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/plan_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "calc/dds_chip.h"
#include "calc/leading_number.h"
#include "calc/minute.h"
#include "calc/multiplier_chain.h"
#include "calc/number_format.h"
#include "calc/simulation.h"
#include "calc/tone_plan.h"

namespace jt4dds {
namespace {

constexpr std::array<std::string_view, kToneCount> kToneNames{
    "data tone 0",    "data tone 1",        "data tone 2",          "data tone 3",
    "reference tone", "FSK CW key-up tone", "FSK CW key-down tone", "aux tone",
};
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::uint8_t bit(std::size_t row) { return static_cast<std::uint8_t>(1U << row); }
constexpr bool has(std::uint8_t mask, std::size_t row) { return (mask & bit(row)) != 0; }

// ---- The conditions. judgePlan and checkPlan both ask these, so a plan the
// ---- search calls clean is one the check has nothing against.

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

// Data tones (accepted, above zero) that share their word with another.
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

// The realised spacing of data tones `low` and `low + 1`, when both sound.
std::optional<double> realisedSpacingHz(const RunFigures& f, std::size_t low) {
    if (f.rows[low].word == f.rows[low + 1].word) return std::nullopt;
    const auto a = realisedHz(f, low);
    const auto b = realisedHz(f, low + 1);
    if (!a || !b) return std::nullopt;
    return *b - *a;
}

struct SpacingSurvey {
    std::uint8_t offTones = 0;  // tones of the pairs beyond the tolerance
    std::size_t worstLow = 0;   // the lower tone of the worst pair
    double worstErrorHz = 0.0;  // signed, realised − nominal
    bool measured = false;      // at least one pair could be measured
};

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

// How far the four data tones lie from their best even grid, when each has
// a word of its own inside the limit.
struct GridSurvey {
    bool measured = false;
    GridFit fit;
};

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

// On a PI4 receiver's dial (kPi4DialBelowHz below the nominal frequency),
// PI4 decoders look for data tone 0 within 150 Hz of 682.8 Hz.
constexpr double kPi4Tone0Hz = 682.8125;
constexpr double kPi4SearchHz = 150.0;

// Data tone 0 as a PI4 receiver hears it: the nominal frequency is the
// reference tone's.
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

// ---- Words for the operator.

std::string number(double value, int decimals) {
    if (value != 0.0 && (std::fabs(value) >= 1e15 || std::fabs(value) < 1e-6)) {
        // Too long to write out: a mantissa and a power of ten is enough to see it.
        const double exponent = std::floor(std::log10(std::fabs(value)));
        return decimalText(value / std::pow(10.0, exponent), 3) + "e" + decimalText(exponent, 0);
    }
    return decimalText(value, decimals);
}
std::string hz(double value, int decimals = 3) { return number(value, decimals) + " Hz"; }
std::string mhz(double valueHz, int decimals = 6) { return number(valueHz / kMegahertz, decimals) + " MHz"; }
std::string percent(double fraction) { return number(fraction * 100.0, 1) + " %"; }

std::string tonesText(std::uint8_t mask) {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < kToneCount; ++row)
        if (has(mask, row)) rows.push_back(row);
    if (rows.empty()) return "Tones";
    if (rows.size() == 1) return "Tone " + std::to_string(rows[0]);
    const bool run = rows.back() - rows.front() + 1 == rows.size();
    if (run && rows.size() > 2) return "Tones " + std::to_string(rows.front()) + " to " + std::to_string(rows.back());
    std::string text = "Tones ";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) text += i + 1 == rows.size() ? " and " : ", ";
        text += std::to_string(rows[i]);
    }
    return text;
}

std::string_view unitOf(Input field) { return specOf(field).unit; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// A trailing unit that says what the field already means is no finding.
bool isOwnUnit(Input field, std::string_view ignored) {
    if (field == Input::Multiplication) return ignored == "x" || ignored == "X" || ignored == "\xC3\x97";  // ×
    return equalsIgnoringCase(ignored, unitOf(field));
}

// The factor a unit prefix typed after a number stands for in the field's own
// unit (GHz in a MHz field: 1000), or nothing when it is no such prefix.
std::optional<double> prefixFactor(Input field, std::string_view ignored) {
    if (field == Input::Multiplication || ignored.empty()) return std::nullopt;
    const bool megahertzField = unitOf(field) == "MHz";
    const std::string_view rest = ignored.substr(1);
    if (!rest.empty() && !equalsIgnoringCase(rest, "Hz")) return std::nullopt;
    switch (ignored[0]) {
        case 'G':
        case 'g':
            return megahertzField ? 1e3 : 1e9;
        case 'M':
            return megahertzField ? std::nullopt : std::optional<double>(1e6);
        case 'k':
        case 'K':
            return megahertzField ? 1e-3 : 1e3;
        default:
            return std::nullopt;
    }
}

std::string readsText(Input field, double value) {
    std::string text = "reads " + number(value, 9);
    if (!unitOf(field).empty()) (text += ' ') += unitOf(field);
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// `text` without blanks at either end: ignored text quoted as typed.
std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The number `text` holds when it is one whole number and nothing else (or
// the field's own unit after it): what a fix may tell the operator to type.
std::optional<std::string> wholeNumber(Input field, std::string_view text) {
    const NumberRead n = LeadingNumber(text);
    if (n.end == 0 || !n.inRange) return std::nullopt;
    const std::string rest = withoutDroppedBlanks(text.substr(n.end));
    if (!rest.empty() && !isOwnUnit(field, rest)) return std::nullopt;
    return withoutDroppedBlanks(text.substr(0, n.end));
}

// A comma after the number read: a decimal comma ("2320,1"), thousands
// grouped with commas ("10,368.9", "1,234,567"), or one group of three that
// could be either ("10,368"). Gives the message's explanation and, when the
// meaning is clear, what to type.
struct CommaReading {
    std::string explanation;
    std::optional<std::string> typeThis;
};

std::optional<CommaReading> readComma(Input field, std::string_view number, std::string_view ignored) {
    if (ignored.size() < 2 || ignored[0] != ',' || !isDigit(ignored[1])) return std::nullopt;
    // Thousands: one to three digits before, groups of exactly three after.
    const std::string_view digits = number.substr(number[0] == '-' || number[0] == '+' ? 1 : 0);
    std::size_t at = 0;
    std::string grouped(number);
    int groups = 0;
    while (digits.size() >= 1 && digits.size() <= 3 && std::all_of(digits.begin(), digits.end(), isDigit) &&
           at + 4 <= ignored.size() && ignored[at] == ',' && isDigit(ignored[at + 1]) && isDigit(ignored[at + 2]) &&
           isDigit(ignored[at + 3]) && (at + 4 == ignored.size() || !isDigit(ignored[at + 4]))) {
        grouped.append(ignored.substr(at + 1, 3));
        at += 4;
        ++groups;
    }
    const std::string_view after = ignored.substr(at);
    if (groups > 0 && (groups > 1 || (!after.empty() && after[0] == '.'))) {
        if (const auto typed = wholeNumber(field, grouped + std::string(after)))
            return CommaReading{"(',' groups thousands here; type the number without it)", *typed};
    }
    if (groups == 1 && (after.empty() || isOwnUnit(field, after)))
        return CommaReading{
            "(',' could group thousands or be a decimal comma: type the number without it, with '.' "
            "as the decimal point)",
            std::nullopt};
    // A decimal comma: the digits after it, and nothing else but the unit.
    std::size_t end = 1;
    while (end < ignored.size() && isDigit(ignored[end])) ++end;
    return CommaReading{"(the decimal point is '.')",
                        wholeNumber(field, std::string(number) + "." + std::string(ignored.substr(1, end - 1)) +
                                               std::string(ignored.substr(end)))};
}

void checkField(Input field, const FieldRead& read, std::vector<Finding>& out) {
    const std::string& text = read.text;
    const NumberRead& n = read.number;
    const auto add = [&](FindingKind kind, std::string message, std::optional<std::string> typeThis = {},
                         std::string fix = {}) {
        std::vector<FixEdits> fixes;
        if (typeThis) {
            fix = "type " + *typeThis;
            fixes.push_back({FieldEdit{field, *typeThis}});
        }
        out.push_back(Finding{.severity = Severity::Warning,
                              .kind = kind,
                              .field = field,
                              .message = std::move(message),
                              .fix = std::move(fix),
                              .fixes = std::move(fixes)});
    };
    const std::string typed = withoutDroppedBlanks(text);
    if (typed.empty()) {
        add(FindingKind::EmptyField, "is empty and reads 0");
        return;
    }
    if (n.end == 0) {
        std::string message = "'" + std::string(trimmed(text)) + "' holds no number and reads 0";
        std::optional<std::string> typeThis;
        if (typed.size() > 1 && typed[0] == ',' && isDigit(typed[1])) {
            message += " (the decimal point is '.')";
            typeThis = wholeNumber(field, "0." + typed.substr(1));
        } else if (typed.size() > 1 && typed[0] == '&') {
            message += " (a number is read in decimal only)";
        } else if (field == Input::Multiplication) {
            // A multiplication written as "x96" or "×96": the sign belongs after it, or nowhere.
            for (std::string_view sign : {"x", "X", "\xC3\x97"}) {
                if (!typed.starts_with(sign)) continue;
                typeThis = wholeNumber(field, std::string_view(typed).substr(sign.size()));
                if (typeThis) message += " (the number comes first, as in 96x)";
            }
        }
        add(FindingKind::NoNumber, std::move(message), std::move(typeThis));
        return;
    }
    if (!n.inRange) return;  // the run stopped at this field and says so itself

    const std::string_view consumed(text.data(), n.end);
    const std::string numberTyped = withoutDroppedBlanks(consumed);
    if (const std::size_t lineBreak = consumed.find_first_of("\r\n"); lineBreak != std::string_view::npos) {
        // A number wrapped at its point ("10368." and "9") is one number; two
        // numbers on two lines ("2320.1" and "24") cannot be told from one
        // wrapped between digits, so no number is offered then.
        const std::string before = withoutDroppedBlanks(consumed.substr(0, lineBreak));
        const std::string after = withoutDroppedBlanks(consumed.substr(lineBreak));
        const bool wrappedAtPoint = (!before.empty() && before.back() == '.') || (!after.empty() && after[0] == '.');
        std::string message = readsText(field, n.value) + ": the numbers on separate lines were read as one";
        if (wrappedAtPoint) {
            add(FindingKind::JoinedNumbers, std::move(message), wholeNumber(field, numberTyped));
        } else {
            add(FindingKind::JoinedNumbers, std::move(message), std::nullopt,
                "keep one number on one line: which one is meant cannot be told");
        }
    }

    const std::string ignored = withoutDroppedBlanks(std::string_view(text).substr(n.end));
    if (ignored.empty() || isOwnUnit(field, ignored)) return;
    std::string message = readsText(field, n.value) + "; '" + std::string(trimmed(text.substr(n.end))) + "' ignored";
    if (const auto comma = readComma(field, numberTyped, ignored)) {
        add(FindingKind::IgnoredText, message + " " + comma->explanation, comma->typeThis);
        return;
    }
    if (const auto factor = prefixFactor(field, ignored)) {
        const std::string unit = std::string(1, ignored[0]) + "Hz";
        add(FindingKind::IgnoredText, std::move(message), number(n.value * *factor, 9));
        out.back().fix.insert(0, "for " + number(n.value, 9) + " " + unit + " ");
        return;
    }
    add(FindingKind::IgnoredText, std::move(message));
}

// ---- Fixes, each proved by the very row arithmetic the listing uses.

struct Trial {
    double mult;
    double frefHz;
};

// Every row computed afresh for other values of RF Multiplication and Master
// Reference: true when each gets a word inside the limit.
bool everyRowAccepted(const RunFigures& f, Trial t) {
    const auto carrier = ddsCarrierHz(f.foutHz, t.mult);
    if (!std::holds_alternative<double>(carrier)) return false;
    for (int row = 0; row < kToneCount; ++row) {
        const auto r = computeRow(row, f.plan, std::get<double>(carrier), t.mult, t.frefHz, f.config);
        const auto* result = std::get_if<RowResult>(&r);
        if (!result || result->limit != Limit::None || result->ddsHz <= 0.0 || result->word == 0) return false;
    }
    return true;
}

// The resolution check passes (it cannot for PI4) with those values.
bool resolutionFits(const RunFigures& f, Trial t) {
    if (isPi4(f) || !everyRowAccepted(f, t)) return false;
    const auto carrier = std::get<double>(ddsCarrierHz(f.foutHz, t.mult));
    const auto aux = computeRow(kAuxTone, f.plan, carrier, t.mult, t.frefHz, f.config);
    const auto res = resolutionHz(t.mult, t.frefHz, f.config, std::get<RowResult>(aux).word);
    return std::holds_alternative<double>(res) && !resolutionTooLow(std::get<double>(res), f.spacingNumber);
}

// A reference as the operator would type it: whole kilohertz, read back as
// the field would read it.
double typedReferenceHz(double kilohertz) {
    return LeadingNumber(decimalText(kilohertz / 1000.0, 3)).value * kMegahertz;
}

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
std::optional<Extremes> ddsExtremes(const RunFigures& f) {
    const auto carrier = ddsCarrierHz(f.foutHz, f.mult);
    if (!std::holds_alternative<double>(carrier)) return std::nullopt;
    Extremes e{kInf, -kInf};
    for (int row = 0; row < kToneCount; ++row) {
        const auto r = computeRow(row, f.plan, std::get<double>(carrier), f.mult, f.frefHz, f.config);
        if (!std::holds_alternative<RowResult>(r)) return std::nullopt;
        e.lowestHz = std::min(e.lowestHz, std::get<RowResult>(r).ddsHz);
        e.highestHz = std::max(e.highestHz, std::get<RowResult>(r).ddsHz);
    }
    return e;
}

// RF offsets of the rows at the output: highest and lowest audio offset from
// the reference tone.
Extremes audioOffsets(const RunFigures& f) {
    Extremes e{kInf, -kInf};
    for (std::size_t row = 0; row < kToneCount; ++row) {
        const double offset = f.plan.hz[row] - f.plan.hz[kReferenceTone];
        e.lowestHz = std::min(e.lowestHz, offset);
        e.highestHz = std::max(e.highestHz, offset);
    }
    return e;
}

// "from 28 to 77", "28 or more", "1 to 9" for the integer multiplications
// that accept every row (and, for JT4, keep the resolution) with the typed
// reference; empty when none does.
// The multiplications that mend a plan with its reference kept: from `low`
// to `high` (none: no bound above).
struct MultiplicationRange {
    double low = 0.0;
    std::optional<double> high;
};

std::optional<MultiplicationRange> multiplicationRangeOf(const RunFigures& f) {
    const Trial typed{f.mult, f.frefHz};
    const auto works = [&](double m) {
        const Trial t{m, typed.frefHz};
        return isPi4(f) ? everyRowAccepted(f, t) : resolutionFits(f, t);
    };
    const Extremes offsets = audioOffsets(f);
    const double limit = kLimitFraction * f.frefHz;
    if (limit <= 0.0) return {};
    std::optional<double> low;
    std::optional<double> high;
    if (f.config == DdsConfig::Direct) {
        // (Fout + offset) / m <= 35 % of the reference for every row.
        low = settleMultiplication((f.foutHz + offsets.highestHz) / limit, true, works);
        if (!low) return {};
        if (!isPi4(f)) {
            // Mult × reference / 2^33 <= N / 4.
            high = settleMultiplication(f.spacingNumber / 4.0 * kTwoPow33 / f.frefHz, false, works);
            if (!high || *high < *low) return {};
        }
    } else {
        high = settleMultiplication((f.foutHz + offsets.lowestHz) * kLimitFraction / f.frefHz, false, works);
        if (!high) return {};
        // The aux tone's resolution, about (Fout + offset)² / (2^33 × reference × m), <= N / 4.
        const double aux = f.foutHz + (f.plan.hz[kAuxTone] - f.plan.hz[kReferenceTone]);
        const double estimate = isPi4(f) ? 1.0 : aux * aux / (kTwoPow33 * f.frefHz * (f.spacingNumber / 4.0));
        low = settleMultiplication(estimate, true, works);
        if (!low || *low > *high) return {};
    }
    return MultiplicationRange{*low, high};
}

// "from 27 to 77", "27 or more", "27"; empty when no multiplication mends it.
std::string multiplicationRange(const RunFigures& f) {
    const auto range = multiplicationRangeOf(f);
    if (!range) return {};
    std::string lo = decimalText(range->low, 0);
    if (!range->high) return lo + " or more";
    if (*range->high == range->low) return lo;
    return "from " + lo + " to " + decimalText(*range->high, 0);
}

// True for a multiplication doublers and triplers make: what a builder has
// on the bench, and what Find settings ranks first.
bool doublersAndTriplers(double mult) {
    const auto chain = chainOf(mult);
    return chain && chain->fives == 0;
}

// The multiplication in `range` nearest `mult` that doublers and triplers
// make, or `mult` itself when none lies within a factor of two of it.
double chainNear(double mult, const MultiplicationRange& range) {
    const double high = range.high.value_or(kInf);
    std::optional<double> best;
    for (double chain = 1.0; chain <= std::min(high, 2.0 * mult); chain *= 2.0) {
        for (double m = chain; m <= std::min(high, 2.0 * mult); m *= 3.0) {
            if (m < range.low || m < mult / 2.0) continue;
            if (!best || std::fabs(m - mult) < std::fabs(*best - mult) ||
                (std::fabs(m - mult) == std::fabs(*best - mult) && m < *best))
                best = m;
        }
    }
    return doublersAndTriplers(mult) ? mult : best.value_or(mult);
}

// The fixes the prose of a limit or resolution finding names: the reference
// it settled on, and the multiplication of the range nearest the typed one.
std::vector<FixEdits> planFixes(const RunFigures& f, std::optional<double> referenceKhz) {
    std::vector<FixEdits> fixes;
    if (referenceKhz) fixes.push_back({FieldEdit{Input::Reference, decimalText(*referenceKhz / 1000.0, 3)}});
    if (const auto range = multiplicationRangeOf(f)) {
        const double nearest = range->high && f.mult > *range->high ? *range->high : range->low;
        fixes.push_back({FieldEdit{Input::Multiplication, decimalText(chainNear(nearest, *range), 0)}});
    }
    return fixes;
}

std::string referenceText(double frefHz) { return mhz(frefHz, 3); }

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

// The data tones' deviation from their best even grid with other values of
// RF Multiplication and Master Reference, when every row gets a word inside
// the limit and the data tones words of their own: a plan the fix may offer.
std::optional<double> trialGridHz(const RunFigures& f, Trial t) {
    if (!everyRowAccepted(f, t)) return std::nullopt;
    const double carrier = std::get<double>(ddsCarrierHz(f.foutHz, t.mult));
    std::array<double, 4> hz{};
    std::array<TuningWord, 4> words{};
    for (std::size_t k = 0; k < 4; ++k) {
        const auto row =
            std::get<RowResult>(computeRow(static_cast<int>(k), f.plan, carrier, t.mult, t.frefHz, f.config));
        const auto realised = actualOutputHz(row.word, t.mult, t.frefHz, f.config);
        if (!realised) return std::nullopt;
        for (std::size_t j = 0; j < k; ++j)
            if (words[j] == row.word) return std::nullopt;
        words[k] = row.word;
        hz[k] = *realised;
    }
    return fitGrid(hz, nominalSpacing(f)).rmsHz;
}

// The nearest whole-megahertz Master Reference, and the nearest whole RF
// Multiplication with the typed reference, whose data tones lie within
// `withinHz` RMS of an even grid, each with how far they then lie.
struct GridFix {
    std::optional<double> referenceMHz;
    double referenceGridHz = 0.0;
    std::optional<double> mult;
    double multGridHz = 0.0;
};

GridFix gridFix(const RunFigures& f, double withinHz, std::optional<double> maxClockHz) {
    GridFix fix;
    if (!(f.frefHz > 0.0) || !(f.mult > 0.0)) return fix;
    const auto nearest = [&](double typed, int reach, double floorValue, auto trial, double ceiling) {
        const double start = std::round(typed);
        for (int k = 0; k <= reach; ++k) {
            for (const double candidate : {start - k, start + k}) {
                if (candidate < floorValue || candidate > ceiling || candidate == typed ||
                    (k == 0 && candidate != start))
                    continue;
                if (const auto gridHz = trial(candidate); gridHz && *gridHz <= withinHz)
                    return std::optional(std::pair(candidate, *gridHz));
            }
        }
        return std::optional<std::pair<double, double>>();
    };
    const double typedMHz = f.frefHz / kMegahertz;
    if (const auto r = nearest(
            typedMHz, 200, 1.0,
            [&](double mhz) {
                return trialGridHz(f, Trial{f.mult, typedReferenceHz(mhz * 1000.0)});
            },
            maxClockHz ? *maxClockHz / kMegahertz : kInf)) {
        fix.referenceMHz = r->first;
        fix.referenceGridHz = r->second;
    }
    const auto multTrial = [&](double mult) { return trialGridHz(f, Trial{mult, f.frefHz}); };
    // Doublers and triplers first, as a builder has them and Find settings ranks them.
    const auto chainTrial = [&](double mult) {
        return doublersAndTriplers(mult) ? multTrial(mult) : std::optional<double>();
    };
    auto m = nearest(f.mult, static_cast<int>(std::ceil(f.mult)), 1.0, chainTrial, 2.0 * f.mult);
    if (!m) m = nearest(f.mult, 64, 1.0, multTrial, kInf);
    if (m) {
        fix.mult = m->first;
        fix.multGridHz = m->second;
    }
    return fix;
}

// The fix's prose, "a Master Reference of 502 MHz (data tones 0.92 Hz RMS
// off an even grid), or …", and its edits.
std::pair<std::string, std::vector<FixEdits>> gridFixText(const RunFigures& f, const GridFix& fix) {
    std::string text;
    std::vector<FixEdits> edits;
    if (fix.referenceMHz) {
        text = "a Master Reference of " + decimalText(*fix.referenceMHz, 0) + " MHz (data tones " +
               hz(fix.referenceGridHz, 2) + " RMS off an even grid)";
        edits.push_back({FieldEdit{Input::Reference, decimalText(*fix.referenceMHz, 0)}});
    }
    if (fix.mult) {
        if (!text.empty()) text += ", or ";
        text += "an RF Multiplication of " + decimalText(*fix.mult, 0) + " with " + referenceText(f.frefHz) + " (" +
                hz(fix.multGridHz, 2) + " RMS)";
        edits.push_back({FieldEdit{Input::Multiplication, decimalText(*fix.mult, 0)}});
    }
    if (text.empty())
        text = "no nearby Master Reference or RF Multiplication alone mends it; Find settings searches both";
    return {text, edits};
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

// The beacon's minute: a message it cannot send, a minute longer than 60 s,
// and a PI4 CW identification off the carrier, where receivers expect it.
// A controller times each symbol as a whole number of its timer's counts, so
// a rounded period puts every symbol a little further off than the last: by
// the message's end, the number of symbols times the error. Measured with jt9
// at -22 dB in 2500 Hz on the program's own minutes (tests/decoder/
// measure_timing, docs/timer-tolerance.md): with the last symbol up to 0.41
// symbol off every seed decodes, at 0.62 nearly every one, at 1.03 fewer than
// half; the warning line is where the decodes cross 5 in 6, the note line
// half of it, short of any loss six seeds can show. PI4 is judged by the same
// share of a symbol.
constexpr double kTimerNoteSymbols = 0.35;
constexpr double kTimerWarningSymbols = 0.7;

void checkTimer(const Transmission& t, std::vector<Finding>& out) {
    const Minute& m = t.minute;
    const double timerHz = *t.timerHz;
    const auto symbols = static_cast<double>(t.message.symbols.size());
    // Rounding costs at most half a count a symbol: this rate or faster
    // keeps the last symbol inside the note line.
    const double slowestHz = std::ceil(0.5 * symbols / (kTimerNoteSymbols * m.symbolS));
    const std::string timer = "a timer of " + hz(timerHz, timerHz == std::floor(timerHz) ? 0 : 3);
    const std::string fix = "a timer of " + hz(slowestHz, 0) + " or faster";
    const auto symbol = timerCount(m.symbolS, timerHz);
    const auto dot = m.cw.empty() ? std::optional(TimerCount{1, 0.0}) : timerCount(m.dotS, timerHz);
    if (!symbol || !dot) {
        const std::string what = !symbol ? "the " + number(m.symbolS * 1000.0, 3) + " ms symbol"
                                         : "the CW dot of " + number(m.dotS * 1000.0, 3) + " ms";
        out.push_back(Finding{.severity = Severity::Error,
                              .kind = FindingKind::TimerDrift,
                              .sentField = TransmissionField::TimerHz,
                              .message = timer + " cannot count " + what + ": it rounds to 0 counts",
                              .fix = fix});
        return;
    }
    const double driftSymbols = symbols * symbol->errorPpm / 1e6;
    if (std::fabs(driftSymbols) <= kTimerNoteSymbols) return;
    const bool warning = std::fabs(driftSymbols) > kTimerWarningSymbols;
    out.push_back(Finding{
        .severity = warning ? Severity::Warning : Severity::Note,
        .kind = FindingKind::TimerDrift,
        .sentField = TransmissionField::TimerHz,
        .message = timer + " times each symbol as " + std::to_string(symbol->counts) + " counts, " +
                   number(std::fabs(symbol->errorPpm) / 1e4, 3) + " % " + (driftSymbols > 0 ? "long" : "short") +
                   ", so the last of the message's " + std::to_string(t.message.symbols.size()) + " symbols ends " +
                   number(std::fabs(driftSymbols) * m.symbolS * 1000.0, 1) + " ms (" +
                   number(std::fabs(driftSymbols), 2) + " symbol) " + (driftSymbols > 0 ? "late" : "early") +
                   (warning ? "; past " + number(kTimerWarningSymbols, 2) + " symbol jt9 loses decodes at -22 dB"
                            : "; past " + number(kTimerNoteSymbols, 2) + " symbol the margin at -22 dB starts to go"),
        .fix = fix});
}

void checkTransmission(const Press& press, std::vector<Finding>& out) {
    const Beacon& beacon = press.beacon;
    if (beacon.message.empty()) {
        if (!beacon.cwId.empty() || !beacon.timerHz.empty())
            out.push_back(
                Finding{.severity = Severity::Warning,
                        .kind = FindingKind::EmptyMessage,
                        .message = "a CW identification or a timer is typed, but no message: the minute sends nothing",
                        .fix = "type the beacon's message"});
        return;
    }
    const auto planned = planTransmission(beacon);
    if (const auto* refusal = std::get_if<Refusal>(&planned)) {
        out.push_back(Finding{.severity = Severity::Error,
                              .kind = FindingKind::MessageRefused,
                              .sentField = refusal->field,
                              .message = refusal->why});
        return;
    }
    const Transmission& t = std::get<Transmission>(planned);
    const Minute& m = t.minute;
    // A cut message sends something other than what was typed: the receiver
    // reads only its start.
    const bool freeText = !t.pi4 && t.message.kind == Jt4MessageKind::FreeText;
    const bool cut = !t.message.truncated.empty();
    if (freeText || cut) {
        std::string message = "goes out as " + std::string(freeText ? "free text, '" : "'") + t.message.sent + "'";
        if (!t.message.sentAsSpaces.empty()) message += "; sent as spaces: '" + t.message.sentAsSpaces + "'";
        if (cut) message += "; not sent: '" + t.message.truncated + "'";
        out.push_back(Finding{.severity = cut ? Severity::Warning : Severity::Note,
                              .kind = cut ? FindingKind::MessageCut : FindingKind::FreeTextMessage,
                              .message = std::move(message),
                              .fix = !cut ? std::string()
                                     : freeText
                                         ? "a message of at most 13 characters, or two calls with a locator or a report"
                                         : "two calls with a locator or a report, and nothing after them"});
    }
    if (!t.message.receivedAs.empty())
        out.push_back(Finding{.severity = Severity::Note,
                              .kind = FindingKind::ReceivedOtherwise,
                              .message = "goes out as '" + t.message.sent + "' and is received as '" +
                                         t.message.receivedAs +
                                         "': the protocol packs a call that begins with Q as one that begins with 3X"});
    if (!m.fits) {
        // The slowest CW speed at which the minute fits, if one does.
        Sequence faster{beacon.cwId, static_cast<int>(LeadingNumber(beacon.wpm).value), beacon.cw, beacon.carrier};
        while (faster.wpm < kMaxWpm && !planMinute(t.pi4, faster).fits) ++faster.wpm;
        const bool fits = planMinute(t.pi4, faster).fits;
        out.push_back(Finding{.severity = Severity::Warning,
                              .kind = FindingKind::MinuteOverrun,
                              .message = "the minute's last part ends at " + decimalText(m.endS, 3) +
                                         " s, past its 60 s: the next message would start late",
                              .fix = fits ? "a CW speed of " + std::to_string(faster.wpm) +
                                                " WPM or more, a shorter CW identification, or no CW"
                                          : "a shorter CW identification, or no CW"});
    }
    if (t.timerHz) checkTimer(t, out);
    const RunFigures& f = press.figures;
    const bool tonesRead = f.read(Input::KeyDownTone).has_value();
    const double offsetHz = f.plan.hz[kKeyDownTone] - f.plan.hz[kReferenceTone];
    if (t.pi4 && !m.cw.empty() && tonesRead && offsetHz != 0.0) {
        const std::string referenceText = asPressed(beacon, press).text(Input::ReferenceTone);
        out.push_back(
            Finding{.severity = Severity::Warning,
                    .kind = FindingKind::Pi4CwOffCarrier,
                    .field = Input::KeyDownTone,
                    .message = "PI4's standard minute keys the CW identification on the carrier; the key-down tone " +
                               hz(f.plan.hz[kKeyDownTone], 4) + " puts it " + hz(std::fabs(offsetHz), 4) +
                               (offsetHz < 0 ? " below" : " above") + " the nominal frequency",
                    .fix = "type " + referenceText + ", the Reference Tone",
                    .fixes = {{FieldEdit{Input::KeyDownTone, referenceText}}}});
    }
}

}  // namespace

std::string_view severityName(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            return "warning";
        case Severity::Note:
            break;
    }
    return "note";
}

std::string_view kindName(FindingKind kind) {
    switch (kind) {
        case FindingKind::IgnoredText:
            return "ignored-text";
        case FindingKind::JoinedNumbers:
            return "joined-numbers";
        case FindingKind::EmptyField:
            return "empty-field";
        case FindingKind::NoNumber:
            return "no-number";
        case FindingKind::ToneZeroOffset:
            return "tone0-offset";
        case FindingKind::LimitExceeded:
            return "limit-exceeded";
        case FindingKind::DdsAtOrBelowZero:
            return "dds-at-or-below-zero";
        case FindingKind::ReferenceAtOrBelowZero:
            return "reference-at-or-below-zero";
        case FindingKind::ReferenceAboveMaxClock:
            return "reference-above-max-clock";
        case FindingKind::SharedWord:
            return "shared-word";
        case FindingKind::SpacingOff:
            return "spacing-off";
        case FindingKind::ToneGrid:
            return "tone-grid";
        case FindingKind::Pi4OutsideSearch:
            return "pi4-outside-search";
        case FindingKind::Resolution:
            return "resolution";
        case FindingKind::RunEnded:
            return "run-ended";
        case FindingKind::MessageRefused:
            return "message-refused";
        case FindingKind::MinuteOverrun:
            return "minute-overrun";
        case FindingKind::Pi4CwOffCarrier:
            return "pi4-cw-off-carrier";
        case FindingKind::EmptyMessage:
            return "empty-message";
        case FindingKind::FreeTextMessage:
            return "free-text-message";
        case FindingKind::MessageCut:
            return "message-cut";
        case FindingKind::DdsClockAboveMax:
            return "dds-clock-above-max-clock";
        case FindingKind::TimerDrift:
            return "timer-drift";
        case FindingKind::ReceivedOtherwise:
            break;
    }
    return "received-otherwise";
}

std::string findingSubject(const Finding& finding, const FieldNamer& name) {
    if (finding.field) return std::string(fieldName(*finding.field));
    if (finding.sentField)
        return name ? name(*finding.sentField) : std::string(transmissionFieldName(*finding.sentField));
    if (finding.tones != 0) return tonesText(finding.tones);
    switch (finding.kind) {
        case FindingKind::ToneZeroOffset:
            return "JT4G Reference Tone0 = 800Hz";
        case FindingKind::Resolution:
            return "Resolution";
        case FindingKind::MessageRefused:
        case FindingKind::MinuteOverrun:
        case FindingKind::Pi4CwOffCarrier:
        case FindingKind::EmptyMessage:
        case FindingKind::FreeTextMessage:
        case FindingKind::MessageCut:
        case FindingKind::TimerDrift:
        case FindingKind::ReceivedOtherwise:
            return "Transmission";
        default:
            return "Calculation";
    }
}

bool isAboutTheMinute(const Finding& finding) {
    switch (finding.kind) {
        case FindingKind::MessageRefused:
        case FindingKind::MinuteOverrun:
        case FindingKind::Pi4CwOffCarrier:
        case FindingKind::EmptyMessage:
        case FindingKind::FreeTextMessage:
        case FindingKind::MessageCut:
        case FindingKind::TimerDrift:
        case FindingKind::ReceivedOtherwise:
            return true;
        default:
            return false;
    }
}

std::string fixCaption(const FixEdits& edits) {
    std::string caption;
    for (const FieldEdit& edit : edits) {
        if (!caption.empty()) caption += ", ";
        const InputSpec& entry = specOf(edit.input);
        caption.append(entry.label).append(1, ' ').append(edit.text);
        if (!entry.unit.empty()) caption.append(1, ' ').append(entry.unit);
    }
    return caption;
}

std::string findingLine(const Finding& finding, const FieldNamer& name) {
    std::string line(severityName(finding.severity));
    line += ": ";
    line += findingSubject(finding, name);
    line += ": ";
    line += finding.message;
    if (!finding.fix.empty()) line += ". Fix: " + finding.fix;
    return line;
}

std::string fieldNote(const std::vector<Finding>& findings, Input field) {
    std::string note;
    for (const Finding& f : findings) {
        if (f.field != field) continue;
        if (!note.empty()) note += '\n';
        note += f.message;
        if (!f.fix.empty()) note += "; " + f.fix;
    }
    return note;
}

bool anyOf(const std::vector<Finding>& findings, Severity severity) {
    return std::any_of(findings.begin(), findings.end(),
                       [severity](const Finding& f) { return f.severity == severity; });
}

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
        if (proved.empty()) finding.fix += "; Find settings searches for a plan with nothing against it";
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
