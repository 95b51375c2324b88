// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jt4dds {

// Text boxes the calculation reads or writes.
enum class TextField { Fout, Mult, Fref, RefTone, UpTone, DownTone, SpTone, Text1, SSBCarrier };
// The two editable drop-down selectors.
enum class Selector { JTMode, Config };
// Controls the calculation shows or hides.
enum class Shown { Warning, SSBCarrier, Label10 };

// The item a selector has selected: its position, its label and the number it
// carries (the spacing number for JTMode, the position for Config).
struct SelectedItem {
    int index = 0;
    std::string label;
    std::int32_t number = 0;
};

// The window's controls as the calculation sees them, by control name. All
// text is UTF-8. Implemented by the main window over its widgets and by
// FormState in memory; an implementation only gets and sets control state
// and decides nothing.
class FormView {
public:
    virtual ~FormView() = default;

    virtual std::string text(TextField field) const = 0;
    virtual void setText(TextField field, std::string_view text) = 0;

    // Nothing when the operator's typing has left the selector with no item selected.
    virtual std::optional<SelectedItem> selectedItem(Selector selector) const = 0;
    // What the selector's text area shows, typed or selected.
    virtual std::string selectorText(Selector selector) const = 0;

    virtual bool ref800Checked() const = 0;

    virtual void setVisible(Shown control, bool visible) = 0;
    virtual void setWarningCaption(std::string_view caption) = 0;

    // The decimal separator of the operator's locale, used in every number written.
    virtual std::string decimalSeparator() const = 0;
};

}  // namespace jt4dds
