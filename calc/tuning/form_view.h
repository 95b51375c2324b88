// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/tuning/beacon.h"

namespace jt4dds {

// Controls a press shows or hides: the warning label, the SSB carrier's text
// and its caption.
enum class Shown { Warning, SsbCarrier, SsbCaption };

// The calculation's window as a press sees it: the inputs it reads and the
// results it writes. All text is UTF-8. Implemented by the main window over
// its widgets, by the page over its elements, and in memory by tests; an
// implementation only gets and sets control state and decides nothing.
class FormView {
public:
    virtual ~FormView() = default;

    virtual std::string text(Input input) const = 0;
    virtual void setText(Input input, std::string_view text) = 0;

    // Nothing when the operator's typing has left the selector with no item selected.
    virtual std::optional<SelectedItem> selectedItem(Selector selector) const = 0;
    // What the selector's text area shows, typed or selected.
    virtual std::string selectorText(Selector selector) const = 0;

    virtual bool ref800Checked() const = 0;

    // The results box's listing, and the SSB carrier's text.
    virtual void setListing(std::string_view listing) = 0;
    virtual void setSsbCarrier(std::string_view text) = 0;
    virtual void setVisible(Shown control, bool visible) = 0;
    virtual void setWarningCaption(std::string_view caption) = 0;

    // The decimal separator of the operator's locale, used in every number written.
    virtual std::string decimalSeparator() const = 0;
};

// What the operator has typed and chosen in `view`; the name is left empty.
Beacon beaconOf(const FormView& view);

}  // namespace jt4dds
