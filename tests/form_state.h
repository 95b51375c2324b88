// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/form_view.h"
#include "calc/tuning/selector_items.h"

namespace jt4dds {

// The window's controls in memory: the same contents, reads and writes as the
// main window after it has loaded, without any window. Press on it and read
// back exactly what the window would show.
class FormState final : public FormView {
public:
    std::string text(Input input) const override { return inputs_.text(input); }
    void setText(Input input, std::string_view text) override { inputs_.text(input) = text; }
    std::optional<SelectedItem> selectedItem(Selector selector) const override {
        const Pick& pick = inputs_.pick(selector);
        return pick.index ? itemAt(selector, *pick.index) : std::nullopt;
    }
    std::string selectorText(Selector selector) const override { return pickText(selector, inputs_.pick(selector)); }
    bool ref800Checked() const override { return inputs_.ref800; }
    void setListing(std::string_view listing) override { listing_ = listing; }
    void setSsbCarrier(std::string_view text) override { ssbCarrier_ = text; }
    void setVisible(Shown control, bool visible) override { visible_[static_cast<std::size_t>(control)] = visible; }
    void setWarningCaption(std::string_view caption) override { warningCaption_ = caption; }
    std::string decimalSeparator() const override { return inputs_.separator; }

    // What the operator does to the controls a press only reads. Selecting an
    // index outside the selector's items leaves none selected.
    void select(Selector selector, int index) {
        inputs_.pick(selector) = itemAt(selector, index) ? Pick::item(index) : Pick::text({});
    }
    // Typing into a selector's text area leaves no item selected.
    void typeInto(Selector selector, std::string_view text) { inputs_.pick(selector) = Pick::text(text); }
    void setRef800(bool checked) { inputs_.ref800 = checked; }
    void setDecimalSeparator(std::string separator) { inputs_.separator = std::move(separator); }

    // What a press leaves for the operator to see.
    const std::string& listing() const { return listing_; }
    const std::string& ssbCarrier() const { return ssbCarrier_; }
    bool isVisible(Shown control) const { return visible_[static_cast<std::size_t>(control)]; }
    const std::string& warningCaption() const { return warningCaption_; }

private:
    Beacon inputs_;
    std::string listing_;
    std::string ssbCarrier_;
    std::array<bool, 3> visible_{};
    std::string warningCaption_ = "Warning";
};

// One press of "Calculate" on `view`, shown in it as the window shows it.
inline Press pressOn(FormView& view) {
    Press press = calculate(beaconOf(view));
    present(press, view);
    return press;
}

}  // namespace jt4dds
