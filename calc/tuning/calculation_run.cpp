// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/calculation_run.h"

#include <array>
#include <cmath>
#include <string_view>

#include "calc/numbers/exact_chars.h"
#include "calc/numbers/leading_number.h"
#include "calc/tuning/listing.h"
#include "calc/tuning/selector_items.h"
#include "calc/tuning/tone_plan.h"
#include "calc/tuning/tuning.h"

namespace jt4dds {

namespace {

std::string integerText(double whole) {
    std::string text = whole < 0 ? "-" : "";
    text += exact::fixed(std::fabs(whole), 0);
    return text;
}

std::string toneName(int row) { return "Tone " + std::to_string(row); }

// The operator's words for arithmetic that has no result; `where` names what
// was being calculated.
std::string explain(const Fault& fault, std::string_view where) {
    switch (fault.kind) {
        case Undefined::MultiplicationZero:
            return "RF Multiplication reads 0: the DDS frequency is the output frequency divided by it, "
                   "so nothing can be calculated.";
        case Undefined::ReferenceZero:
            return std::string(where) +
                   ": Master Reference reads 0 and the tuning word divides by it (Direct Freq Gen).";
        case Undefined::DdsFrequencyZero:
            return std::string(where) + ": the DDS frequency is 0 Hz and the tuning word divides by it (Reverse DDS).";
        case Undefined::WordOutOfRange:
            return std::string(where) + ": the tuning word " + integerText(fault.value) +
                   " lies outside the 32-bit range -2147483648 to 2147483647; check the signs of the values.";
        case Undefined::ReverseResolutionWordZero:
            return "The resolution cannot be calculated: Tone 7 (aux) exceeds the Reverse DDS limit, "
                   "so its tuning word is 0.";
        case Undefined::NotFinite:
            break;
    }
    return std::string(where) + ": the result is too large to calculate with; check the values.";
}

// One press of "Calculate". Each step returns false when the run ends there.
class CalculationRun {
public:
    explicit CalculationRun(const Beacon& beacon) : beacon_(beacon) { fig_.separator = beacon.separator; }

    void hideWarning() {
        step_ = RunStep::HideWarning;
        press_.warningCaption = {};
    }

    bool readFrequencyPlan() {
        step_ = RunStep::ReadFrequencyPlan;
        double mult = 0.0;
        double foutMHz = 0.0;
        double frefMHz = 0.0;
        if (!readField(Input::Multiplication, mult) || !readField(Input::OutputFrequency, foutMHz)) return false;
        fig_.mult = mult;
        double& foutHz = fig_.foutHz;
        if (!take(megahertzToHertz(foutMHz), foutHz, "Output Frequency in Hz")) return false;
        if (!take(ddsCarrierHz(foutHz, mult), fig_.carrierHz,
                  "The DDS frequency (Output Frequency / RF Multiplication)"))
            return false;
        if (!readField(Input::Reference, frefMHz)) return false;
        if (!take(megahertzToHertz(frefMHz), fig_.frefHz, "Master Reference in Hz")) return false;

        auto submode = resolveSelection(Selector::JTMode);
        if (!submode) {
            return end(
                "No JT4 submode or PI4 is selected: pick one from the list "
                "(A to G, or PI4).");
        }
        fig_.spacingNumber = submode->number;
        fig_.submodeLabel = std::move(submode->label);
        return true;
    }

    void applyOption800() {
        step_ = RunStep::ApplyOption800;
        fig_.option800 = beacon_.ref800;
        if (!fig_.option800) return;
        press_.typedRef800 = true;
        if (toneZeroOffsetWrong(fig_.spacingNumber, fig_.option800)) raise(kToneZeroOffsetMessage);
    }

    bool buildTonePlan() {
        step_ = RunStep::BuildTonePlan;
        fig_.plan = dataTones(fig_.spacingNumber, fig_.option800);
        constexpr std::array<std::pair<ToneRow, Input>, 4> kToneFields{{
            {kReferenceTone, Input::ReferenceTone},
            {kKeyUpTone, Input::KeyUpTone},
            {kKeyDownTone, Input::KeyDownTone},
            {kAuxTone, Input::AuxTone},
        }};
        for (const auto& [row, field] : kToneFields)
            if (!readField(field, fig_.plan.hz[row])) return false;
        return true;
    }

    bool writeHeader() {
        step_ = RunStep::WriteHeader;
        auto config = resolveSelection(Selector::Config);
        if (!config) {
            return end(
                "No configuration is selected: pick \"Direct Freq Gen\" or "
                "\"Reverse DDS\" from the list.");
        }
        fig_.config = config->index == 1 ? DdsConfig::Reverse : DdsConfig::Direct;
        fig_.configLabel = std::move(config->label);
        return true;
    }

    bool writeRows() {
        step_ = RunStep::WriteRows;
        const std::optional<Fault> fault = jt4dds::writeRows(fig_);
        for (int row = 0; row < fig_.rowsWritten; ++row) {
            const Limit limit = fig_.rows[static_cast<std::size_t>(row)].limit;
            if (limit == Limit::Direct) raise(kDirectLimitMessage, row);
            if (limit == Limit::Reverse) raise(kReverseLimitMessage, row);
        }
        return !fault || end(explain(*fault, toneName(fig_.rowsWritten)));
    }

    bool writeResolution() {
        step_ = RunStep::WriteResolution;
        double resolution = 0.0;
        const TuningWord auxWord = fig_.rows[kAuxTone].word;
        if (!take(resolutionHz(fig_.mult, fig_.frefHz, fig_.config, auxWord), resolution, "The resolution"))
            return false;
        fig_.resolutionHz = resolution;
        return true;
    }

    void checkResolution() {
        step_ = RunStep::CheckResolution;
        if (resolutionTooLow(*fig_.resolutionHz, fig_.spacingNumber)) raise(kResolutionMessage);
    }

    bool showSsbCarrier() {
        step_ = RunStep::ShowSsbCarrier;
        double dialHz = 0.0;
        if (!take(ssbCarrierHz(fig_.carrierHz, fig_.mult, fig_.plan.hz[kReferenceTone]), dialHz, "The SSB carrier"))
            return false;
        fig_.ssbCarrierHz = dialHz;
        fig_.ssbCarrierMHz = std::get<double>(ssbCarrierMHz(fig_.carrierHz, fig_.mult, fig_.plan.hz[kReferenceTone]));
        press_.ssbCarrier = ssbCarrierText(fig_);
        return true;
    }

    // The listing as far as the run got; none when it ended before the header.
    void publishListing() {
        if (!fig_.configLabel.empty()) press_.listing = listingText(fig_);
    }

    Press press() && {
        press_.beacon = beacon_;
        press_.ended = std::move(ended_);
        press_.figures = std::move(fig_);
        return std::move(press_);
    }

private:
    bool readField(Input field, double& value) {
        auto& slot = fig_.reads[static_cast<std::size_t>(field)];
        // The option has typed "800" into the reference tone by the time it is read.
        slot = FieldRead{
            field == Input::ReferenceTone && press_.typedRef800 ? std::string(kRef800Text) : beacon_.text(field), {}};
        const NumberRead read = slot->number = LeadingNumber(slot->text);
        if (!read.inRange) {
            return end(std::string(fieldName(field)) +
                       " reads a number beyond the range of the calculation (about ±1.8e308).");
        }
        value = read.value;
        return true;
    }

    template <class T>
    bool take(Checked<T> checked, T& value, std::string_view where) {
        if (const auto* fault = std::get_if<Fault>(&checked)) return end(explain(*fault, where));
        value = std::get<T>(std::move(checked));
        return true;
    }

    // A selector's item: the picked one or, when typing left none picked,
    // the one whose label was typed.
    std::optional<SelectedItem> resolveSelection(Selector selector) const {
        return resolvePick(selector, beacon_.pick(selector));
    }

    void raise(std::string_view message, std::optional<int> row = std::nullopt) {
        if (fig_.raisedCount < fig_.raised.size()) fig_.raised[fig_.raisedCount++] = RaisedWarning{message, row};
        press_.warningCaption = message;
    }

    bool end(std::string message) {
        ended_ = RunEnd{step_, std::move(message)};
        return false;
    }

    const Beacon& beacon_;
    Press press_;
    RunStep step_ = RunStep::HideWarning;
    std::optional<RunEnd> ended_;

    RunFigures fig_;
};

}  // namespace

std::optional<Fault> writeRows(RunFigures& f) noexcept {
    f.rowsWritten = 0;
    for (int row = 0; row < kToneCount; ++row) {
        auto result = computeRow(row, f.plan, f.carrierHz, f.mult, f.frefHz, f.config);
        if (const auto* fault = std::get_if<Fault>(&result)) return *fault;
        f.rows[static_cast<std::size_t>(row)] = std::get<RowResult>(result);
        f.rowsWritten = row + 1;
    }
    return std::nullopt;
}

Press calculate(const Beacon& beacon) {
    CalculationRun run(beacon);
    run.hideWarning();
    bool reachedResolution = false;
    if (run.readFrequencyPlan()) {
        run.applyOption800();
        reachedResolution = run.buildTonePlan() && run.writeHeader() && run.writeRows() && run.writeResolution();
    }
    // A run that ended early leaves the header and rows it wrote.
    run.publishListing();
    if (reachedResolution) {
        run.checkResolution();
        run.showSsbCarrier();
    }
    return std::move(run).press();
}

Beacon asPressed(Beacon beacon, const Press& press) {
    if (press.typedRef800) beacon.text(Input::ReferenceTone) = kRef800Text;
    return beacon;
}

void present(const Press& press, FormView& view) {
    view.setVisible(Shown::Warning, false);
    if (press.typedRef800) view.setText(Input::ReferenceTone, kRef800Text);
    if (!press.warningCaption.empty()) {
        view.setVisible(Shown::Warning, true);
        view.setWarningCaption(press.warningCaption);
    }
    if (press.listing) view.setListing(*press.listing);
    if (press.ssbCarrier) {
        view.setVisible(Shown::SsbCarrier, true);
        view.setSsbCarrier(*press.ssbCarrier);
        view.setVisible(Shown::SsbCaption, true);
    }
}

}  // namespace jt4dds
