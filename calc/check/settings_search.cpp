// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/check/settings_search.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/tuning/dds_chip.h"

namespace jt4dds {
namespace {

constexpr int kMaxDecimals = 6;
// At most 12 digits: scaled by up to 10^6 to a range's common decimals, a
// value and its sum with a step stay far inside 64 bits.
constexpr std::int64_t kMaxScaled = 999'999'999'999;

// A plain decimal as an integer count of 10^-decimals.
struct Decimal {
    std::int64_t scaled = 0;
    int decimals = 0;
};

std::int64_t pow10(int n) {
    std::int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

std::optional<Decimal> readDecimal(std::string_view text) {
    Decimal d;
    bool point = false;
    bool digit = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digit = true;
            if (point && ++d.decimals > kMaxDecimals) return std::nullopt;
            d.scaled = d.scaled * 10 + (c - '0');
            if (d.scaled > kMaxScaled) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    return d;
}

// `scaled` / 10^decimals as it would be typed: "24", "10.5".
std::string decimalWritten(std::int64_t scaled, int decimals) {
    std::string digits = std::to_string(scaled);
    if (decimals == 0) return digits;
    if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
    return digits;
}

// ---- Judging one pair.

// A candidate while searching: indices into the lists and what ranks it.
struct Judged {
    std::uint32_t mult = 0;
    std::uint32_t ref = 0;
    PlanVerdict verdict;
    double referenceDdsHz = 0.0;
    double resolutionHz = 0.0;
    double ssbCarrierHz = 0.0;
    double closeness = 0.0;   // for a rejected pair: lower is nearer to working
    bool inNoteBand = false;  // data tones past the note line, short of the warning
    bool thinMargin = false;  // the DDS above kComfortableShare of its clock
    int chainRank = 0;        // fewer is simpler; see chainRank()
};

// The data tones' distance from their grid as the ranking compares it: no
// finer than a decoder can tell (a hundredth of a hertz), so that a
// difference of 1e-8 Hz never outranks a clock margin or a tone error.
constexpr double kGridRankStepHz = 0.01;

// True when `a` ranks before `b`: clear of the note line, then a comfortable
// clock margin, then the simplest chain; within those, more margin to the
// clock limit, then the tones nearest their grid, then the smallest tone error.
bool better(const Judged& a, const Judged& b) {
    const auto key = [](const Judged& j) {
        return std::make_tuple(j.inNoteBand, j.thinMargin, j.chainRank, j.verdict.ddsShare,
                               std::round(j.verdict.gridRmsHz / kGridRankStepHz), j.verdict.worstToneErrorHz, j.mult,
                               j.ref);
    };
    return key(a) < key(b);
}

// The beacon with RF Multiplication and Master Reference replaced, pressed
// as a whole: the check a candidate must pass.
Press pressWith(Beacon beacon, std::string_view mult, std::string_view frefMHz) {
    beacon.text(Input::Multiplication) = mult;
    beacon.text(Input::Reference) = frefMHz;
    return calculate(beacon);
}

// Findings of the typed beacon that no multiplication or reference mends.
const Finding* blocker(const std::vector<Finding>& findings) {
    for (const Finding& f : findings) {
        if (f.severity == Severity::Note) continue;
        const bool ownField = f.field && *f.field != Input::Multiplication && *f.field != Input::Reference;
        if (ownField || f.kind == FindingKind::ToneZeroOffset) return &f;
    }
    return nullptr;
}

}  // namespace

std::variant<std::vector<CandidateValue>, std::string> parseCandidateList(std::string_view text) {
    const std::string list = withoutDroppedBlanks(text);
    if (list.empty()) return std::string("the list is empty");
    std::vector<CandidateValue> values;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view item = std::string_view(list).substr(start, comma - start);
        std::string quoted(1, '\'');
        quoted.append(item).append(1, '\'');
        if (item.empty()) return std::string("an empty item between commas");
        const std::size_t dash = item.find('-');
        const std::size_t slash = item.find('/');
        const auto lo = readDecimal(item.substr(0, std::min(dash, slash)));
        if (!lo) return quoted + " is not a plain decimal number (such as 24 or 10.5: at most 12 digits, 6 decimals)";
        Decimal hi = *lo;
        Decimal step{1, 0};
        if (dash != std::string_view::npos) {
            const auto h =
                readDecimal(item.substr(dash + 1, slash == std::string_view::npos ? slash : slash - dash - 1));
            if (!h || slash < dash) return quoted + " is not a range such as 10-1000 or 10-1000/0.5";
            hi = *h;
            if (slash != std::string_view::npos) {
                const auto s = readDecimal(item.substr(slash + 1));
                if (!s) return quoted + " has no step after '/' (such as 10-1000/0.5)";
                step = *s;
            }
        } else if (slash != std::string_view::npos) {
            return quoted + ": a step belongs to a range (such as 10-1000/0.5)";
        }
        const int decimals = std::max({lo->decimals, hi.decimals, step.decimals});
        const std::int64_t first = lo->scaled * pow10(decimals - lo->decimals);
        const std::int64_t last = hi.scaled * pow10(decimals - hi.decimals);
        const std::int64_t by = step.scaled * pow10(decimals - step.decimals);
        // Every value must read back as it is written: at most 12 digits at
        // the range's common decimals.
        if (first > kMaxScaled || last > kMaxScaled || by > kMaxScaled)
            return quoted + ": at " + std::to_string(decimals) +
                   " decimals its values would have more than 12 digits (such as 10-1000/0.5)";
        if (first <= 0) return quoted + ": values must be above 0";
        if (last < first) return quoted + ": a range runs from the smaller value to the larger";
        if (by <= 0) return quoted + ": the step must be above 0";
        if (static_cast<std::uint64_t>((last - first) / by) + 1 + values.size() > kMaxCandidateValues)
            return "more than " + std::to_string(kMaxCandidateValues) + " values: use a larger step";
        for (std::int64_t v = first; v <= last; v += by) {
            std::string written = decimalWritten(v, decimals);
            const double value = LeadingNumber(written).value;
            values.push_back(CandidateValue{std::move(written), value});
        }
        start = comma + 1;
    }
    std::stable_sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.value < b.value; });
    values.erase(
        std::unique(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.value == b.value; }),
        values.end());
    return values;
}

std::string defaultReferences(const Beacon& beacon) {
    const auto ceiling = maxClockHz(beacon);
    if (!ceiling || *ceiling >= 1000e6) return std::string(kDefaultReferencesMHz);
    // Half-megahertz steps up to the clock, from 10 MHz (or 0.5 MHz under it).
    const double top = std::floor(*ceiling / 0.5e6) * 0.5;
    if (top < 0.5) return "0.000001";
    return (top >= 10.0 ? std::string("10-") : std::string("0.5-")) + decimalText(top, 1) + "/0.5";
}

SearchResult findSettings(const Beacon& typed, const std::vector<CandidateValue>& mults,
                          const std::vector<CandidateValue>& refsMHz, const SearchOptions& options,
                          const std::atomic<bool>* cancel) {
    SearchResult result;
    if (mults.empty() || refsMHz.empty()) {
        result.reason = "no candidates: a list is empty";
        return result;
    }
    if (mults.size() * refsMHz.size() > kMaxCandidatePairs) {
        result.reason = std::to_string(mults.size() * refsMHz.size()) + " pairs are more than the " +
                        std::to_string(kMaxCandidatePairs) + " a search judges: narrow a list or take larger steps";
        return result;
    }
    // The rest of the beacon as typed, pressed once with a multiplication and
    // reference that cannot stop the run early, for its tone plan and labels.
    Press work = pressWith(typed, mults.front().text, refsMHz.front().text);
    {
        const std::vector<Finding> findings = checkPlan(work, options.check);
        if (const Finding* f = blocker(findings)) {
            result.reason = "no multiplication or reference mends this: " + findingLine(*f);
            return result;
        }
        if (work.ended && work.ended->step < RunStep::WriteRows) {
            result.reason = "the beacon cannot be calculated: " + work.ended->message;
            return result;
        }
    }
    RunFigures& f = work.figures;
    const std::optional<RunEnd> stopped = RunEnd{RunStep::WriteRows, {}};

    const double noteHz = gridTolerance(f.spacingNumber).noteHz;
    std::vector<Judged> kept;  // a heap whose front is the worst kept
    kept.reserve(options.top + 1);
    std::optional<Judged> nearest;
    for (std::uint32_t mi = 0; mi < mults.size(); ++mi) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            result.cancelled = true;
            break;
        }
        const double mult = mults[mi].value;
        const int rankOfChain = chainRank(mult);
        const auto carrier = ddsCarrierHz(f.foutHz, mult);
        for (std::uint32_t ri = 0; ri < refsMHz.size(); ++ri) {
            ++result.judged;
            Judged j;
            j.mult = mi;
            j.ref = ri;
            const auto fref = megahertzToHertz(refsMHz[ri].value);
            bool computed = std::holds_alternative<double>(carrier) && std::holds_alternative<double>(fref);
            // The rows as far as a press would write them, so that a pair is
            // judged, and its rejection counted, by what its press reports.
            f.rowsWritten = 0;
            f.resolutionHz.reset();
            f.mult = mult;
            if (std::holds_alternative<double>(fref)) f.frefHz = std::get<double>(fref);
            if (computed) {
                f.carrierHz = std::get<double>(carrier);
                computed = !writeRows(f).has_value();
            }
            if (computed) {
                const auto res = resolutionHz(f.mult, f.frefHz, f.config, f.rows[kAuxTone].word);
                computed = std::holds_alternative<double>(res);
                if (computed) f.resolutionHz = std::get<double>(res);
            }
            work.ended = computed ? std::nullopt : stopped;
            j.verdict = judgePlan(work, options.check);
            if (computed) {
                j.referenceDdsHz = f.rows[kReferenceTone].ddsHz;
                j.resolutionHz = *f.resolutionHz;
                const auto dial = ssbCarrierHz(f.carrierHz, f.mult, f.plan.hz[kReferenceTone]);
                j.ssbCarrierHz = std::holds_alternative<double>(dial) ? std::get<double>(dial) : 0.0;
            }
            if (j.verdict.clean) {
                j.inNoteBand = j.verdict.gridRmsHz > noteHz;
                j.thinMargin = j.verdict.ddsShare > kComfortableShare;
                j.chainRank = rankOfChain;
                if (kept.size() < options.top || better(j, kept.front())) {
                    kept.push_back(j);
                    std::push_heap(kept.begin(), kept.end(), better);
                    if (kept.size() > options.top) {
                        std::pop_heap(kept.begin(), kept.end(), better);
                        kept.pop_back();
                    }
                }
                continue;
            }
            ++result.rejected;
            ++result.rejectedBy[j.verdict.failedBy.value_or(FindingKind::RunEnded)];
            // Nearest to working: every row a word inside the limit, then the
            // data tones nearest an even grid; otherwise the least beyond the limit.
            const bool rowsSound = computed && std::isfinite(j.verdict.ddsShare) && j.verdict.ddsShare > 0.0 &&
                                   j.verdict.ddsShare <= kLimitFraction;
            j.closeness = rowsSound ? std::min(j.verdict.gridRmsHz / nominalSpacingHz(f.spacingNumber), 0.5) +
                                          (j.verdict.sharedWord ? 0.5 : 0.0)
                                    : 1.0 + (computed && std::isfinite(j.verdict.ddsShare)
                                                 ? std::fabs(j.verdict.ddsShare - kLimitFraction)
                                                 : std::numeric_limits<double>::max() / 4);
            if (!nearest || j.closeness < nearest->closeness) nearest = j;
        }
    }

    std::sort_heap(kept.begin(), kept.end(), better);
    const auto candidate = [&](const Judged& j) {
        return Candidate{mults[j.mult], refsMHz[j.ref], j.verdict, j.referenceDdsHz, j.resolutionHz, j.ssbCarrierHz};
    };
    for (const Judged& j : kept) result.best.push_back(candidate(j));
    if (result.best.empty() && nearest) {
        result.nearest = candidate(*nearest);
        const Press pressed = pressWith(typed, result.nearest->mult.text, result.nearest->frefMHz.text);
        for (const Finding& finding : checkPlan(pressed, options.check)) {
            if (finding.severity == Severity::Note) continue;
            result.reason = "no candidate makes a clean beacon; the nearest, RF Multiplication " +
                            result.nearest->mult.text + " with " + result.nearest->frefMHz.text +
                            " MHz, fails: " + findingLine(finding);
            break;
        }
    }
    return result;
}

}  // namespace jt4dds
