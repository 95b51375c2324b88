// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calc/form_view.h"

namespace jt4dds {

// The window's controls held in memory: the same contents, reads and writes
// as the main window after it has loaded, without any window. Drive a
// calculation on it and read back exactly what the window would show.
class FormState final : public FormView {
public:
    // The window's initial contents after its load; the decimal separator is ".".
    FormState();

    std::string text(TextField field) const override;
    void setText(TextField field, std::string_view text) override;
    std::optional<SelectedItem> selectedItem(Selector selector) const override;
    std::string selectorText(Selector selector) const override;
    bool ref800Checked() const override;
    void setVisible(Shown control, bool visible) override;
    void setWarningCaption(std::string_view caption) override;
    std::string decimalSeparator() const override;

    // What the operator does to the controls the calculation only reads.
    // Selecting an index outside the selector's items leaves none selected.
    void select(Selector selector, int index);
    // Typing into a selector's text area leaves no item selected.
    void typeInto(Selector selector, std::string_view text);
    void setRef800(bool checked);
    void setDecimalSeparator(std::string separator);

    // What the calculation leaves for the operator to see.
    bool isVisible(Shown control) const;
    const std::string& warningCaption() const;

private:
    struct SelectorState {
        std::optional<int> index;
        std::string typed;
    };

    std::array<std::string, 9> texts_;
    std::array<SelectorState, 2> selectors_;
    std::array<bool, 3> visible_{};
    bool ref800_ = false;
    std::string warningCaption_ = "Warning";
    std::string separator_ = ".";
};

// What the operator has typed and chosen in `view` (the seven numeric fields,
// both selectors as selected or typed, the 800 Hz box, the separator), in a
// form of its own that a search or an export can press without the window.
FormState inputsOf(const FormView& view);

// The decimal separator of the operator's locale (from the environment), or
// "." when the environment names no usable locale.
std::string operatorDecimalSeparator();

}  // namespace jt4dds
