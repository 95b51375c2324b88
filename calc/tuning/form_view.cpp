// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/form_view.h"

namespace jt4dds {

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
