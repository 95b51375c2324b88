// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

#include "calc/beacon.h"

namespace jt4dds {

// The fixed items of the two selectors: JTMode holds the submodes with their
// spacing numbers, Config the two DDS arrangements numbered by position.
int itemCount(Selector selector) noexcept;

// The item at `index`, or nothing outside the selector's items.
std::optional<SelectedItem> itemAt(Selector selector, int index);

// The item whose label is `text`, ignoring case and surrounding blanks; for a
// selector whose text area was typed into rather than picked from.
std::optional<SelectedItem> itemLabelled(Selector selector, std::string_view text);

}  // namespace jt4dds
