// SPDX-License-Identifier: GPL-3.0-or-later
// The whole calculation on a FormState built from arbitrary field texts,
// submode, arrangement and check box. Never crashes; a completed run leaves a
// listing of the right shape whose every row carries the word its own numbers
// give; a run that ends early leaves exactly what the steps before it wrote.
//
// Input: byte 0 the submode (8: typed text naming none), byte 1 the
// arrangement (2: typed text naming none), byte 2 flags (bit 0 the 800 Hz box,
// bit 1 a comma as decimal separator), then the seven field texts separated
// by 0x1F in the order Fout, Mult, Fref, RefTone, UpTone, DownTone, SpTone.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/check/plan_check.h"
#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/selector_items.h"
#include "calc/tuning/tone_plan.h"
#include "fuzz/expect.h"
#include "tests/form_state.h"

using namespace jt4dds;
using fuzzing::expect;

namespace {

constexpr std::string_view kPrevious = "the previous listing";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Consumes `[-]digits{minInt,}SEPdigits{minDec,maxDec}` from the front of `s`.
bool takeNumber(std::string_view& s, std::string_view sep, std::size_t minInt, std::size_t minDec, std::size_t maxDec) {
    if (!s.empty() && s.front() == '-') s.remove_prefix(1);
    std::size_t n = 0;
    while (n < s.size() && isDigit(s[n])) ++n;
    if (n < minInt || !s.substr(n).starts_with(sep)) return false;
    s.remove_prefix(n + sep.size());
    n = 0;
    while (n < s.size() && isDigit(s[n])) ++n;
    if (n < minDec || n > maxDec) return false;
    s.remove_prefix(n);
    return true;
}

bool take(std::string_view& s, std::string_view prefix) {
    if (!s.starts_with(prefix)) return false;
    s.remove_prefix(prefix.size());
    return true;
}

// The word a row's own numbers give, worked out here step by step apart from
// the calculation; nothing when the row is over its limit or has no word.
struct ExpectedRow {
    bool defined = true;
    std::int64_t word = 0;
};

ExpectedRow expectedRow(double toneHz, double refHz, double mult, double carrier, double frefHz, bool reverse) {
    const double f = carrier + (toneHz - refHz) / mult;
    double unrounded = 0.0;
    if (!reverse) {
        if (f > 0.35 * frefHz) return {};
        unrounded = f / frefHz * 4294967296.0;
    } else {
        if (frefHz > 0.35 * f) return {};
        unrounded = 4294967296.0 * frefHz / f;
    }
    const double rounded = std::floor(unrounded + 0.5);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) return {false, 0};
    return {true, static_cast<std::int64_t>(rounded)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int submode = data[0] % 9;
    const int config = data[1] % 3;
    const bool ref800 = (data[2] & 1) != 0;
    const std::string sep = (data[2] & 2) != 0 ? "," : ".";
    std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);

    constexpr std::array<Input, 7> kFields{Input::OutputFrequency, Input::Multiplication, Input::Reference,
                                           Input::ReferenceTone,   Input::KeyUpTone,      Input::KeyDownTone,
                                           Input::AuxTone};
    FormState form;
    for (Input field : kFields) {
        const std::size_t cut = rest.find('\x1F');
        form.setText(field, rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
    if (submode == 8) {
        form.typeInto(Selector::JTMode, "JT9");
    } else {
        form.select(Selector::JTMode, submode);
    }
    if (config == 2) {
        form.typeInto(Selector::Config, "Sideways");
    } else {
        form.select(Selector::Config, config);
    }
    form.setRef800(ref800);
    form.setDecimalSeparator(sep);
    form.setListing(kPrevious);
    const std::string refToneBefore = form.text(Input::ReferenceTone);

    const Press outcome = pressOn(form);
    // The plan check explains any press without failing; a stopped run is
    // always among its errors.
    const std::vector<Finding> findings = checkPlan(outcome);
    expect(outcome.completed() || anyOf(findings, Severity::Error), "a stopped run has an error finding");
    for (const Finding& f : findings) expect(!f.message.empty(), "every finding says something");
    const std::string text1 = form.listing();
    const RunStep reached = outcome.ended ? outcome.ended->step : RunStep::ShowSsbCarrier;

    expect(form.isVisible(Shown::SsbCarrier) == outcome.completed(), "SSB carrier shown only by a completed run");
    expect(form.isVisible(Shown::SsbCaption) == outcome.completed(), "Label10 shown only by a completed run");
    expect(!outcome.ended || !outcome.ended->message.empty(), "an early end names its cause");
    const bool optionApplied = ref800 && reached >= RunStep::ApplyOption800;
    expect(form.text(Input::ReferenceTone) == (optionApplied ? std::string(kRef800Text) : refToneBefore),
           "RefTone holds 800 exactly when the option was applied");
    if (reached <= RunStep::WriteHeader && outcome.ended) {
        expect(text1 == kPrevious, "a run ended before its header leaves the listing alone");
        return 0;
    }

    // The fields as the run read them, for the rows' own numbers.
    const double mult = LeadingNumber(form.text(Input::Multiplication)).value;
    const double carrier = LeadingNumber(form.text(Input::OutputFrequency)).value * 1e6 / mult;
    const double frefHz = LeadingNumber(form.text(Input::Reference)).value * 1e6;
    const auto submodeItem = itemAt(Selector::JTMode, submode);
    TonePlan plan = dataTones(submodeItem->number, ref800);
    for (int row = 4; row < 8; ++row)
        plan.hz[static_cast<std::size_t>(row)] =
            LeadingNumber(form.text(kFields[static_cast<std::size_t>(row - 1)])).value;

    std::string_view s = text1;
    expect(take(s, "FreqData                                ;") &&
               take(s, config == 1 ? "Reverse DDS" : "Direct Freq Gen") && take(s, "   JT4") &&
               take(s, submodeItem->label) && take(s, "   Ref ") && takeNumber(s, sep, 1, 1, 3) && take(s, "MHz\r\n"),
           "header line");
    int rows = 0;
    for (; rows < kToneCount && s.starts_with("    de  0x"); ++rows) {
        std::string bytes;
        expect(take(s, "    de  0x"), "row start");
        for (int b = 0; b < 4; ++b) {
            expect(s.size() >= 2, "row bytes");
            bytes.append(s.substr(0, 2));
            s.remove_prefix(2);
            expect(take(s, b < 3 ? ", 0x" : "    ;  Tone"), "row byte separators");
        }
        expect(take(s, formatToneNumber(rows)) && takeNumber(s, sep, 2, 7, 7) && take(s, "MHz\r\n"), "row tail");
        const auto i = static_cast<std::size_t>(rows);
        const ExpectedRow want = expectedRow(plan.hz[i], plan.hz[kReferenceTone], mult, carrier, frefHz, config == 1);
        expect(want.defined, "a row with no defined word was listed");
        expect(bytes == hexWord(static_cast<std::int32_t>(want.word)), "row bytes differ from the row's own word");
    }
    if (reached == RunStep::WriteRows) {
        expect(rows < kToneCount && s.empty(), "an end in the rows leaves the rows before it and nothing more");
        return 0;
    }
    expect(rows == kToneCount, "eight rows");
    if (reached == RunStep::WriteResolution) {
        expect(s.empty(), "no resolution line after an end at the resolution");
        return 0;
    }
    expect(take(s, "\r\nResolution  ") && takeNumber(s, sep, 1, 1, 3) && take(s, "Hz") && s.empty(),
           "resolution line ends the listing");
    return 0;
}
