// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/beacon.h"

#include "calc/form_view.h"
#include "calc/selector_items.h"

namespace jt4dds {

std::string optionName(Input input) {
    std::string name = "--";
    for (char c : specOf(input).key) name += c == '_' ? '-' : c;
    return name;
}

std::optional<SelectedItem> resolvePick(Selector selector, const Pick& pick) {
    if (pick.index) return itemAt(selector, *pick.index);
    return itemLabelled(selector, pick.typed);
}

std::string pickText(Selector selector, const Pick& pick) {
    if (pick.index) {
        if (const auto item = itemAt(selector, *pick.index)) return item->label;
    }
    return pick.typed;
}

Beacon beaconOf(const FormView& view) {
    Beacon beacon;
    for (const InputSpec& entry : kInputs) beacon.text(entry.input) = view.text(entry.input);
    for (Selector selector : {Selector::JTMode, Selector::Config}) {
        const auto item = view.selectedItem(selector);
        beacon.pick(selector) = item ? Pick::item(item->index) : Pick::text(view.selectorText(selector));
    }
    beacon.ref800 = view.ref800Checked();
    beacon.separator = view.decimalSeparator();
    return beacon;
}

}  // namespace jt4dds
