// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/tuning/beacon.h"

namespace jt4dds {

// The fixed items of the two selectors: JTMode holds the submodes with their
// spacing numbers, Config the two DDS arrangements numbered by position.
int itemCount(Selector selector) noexcept;

// The item at `index`, or nothing outside the selector's items.
std::optional<SelectedItem> itemAt(Selector selector, int index);

// The item whose label is `text`, ignoring case and surrounding blanks; for a
// selector whose text area was typed into rather than picked from.
std::optional<SelectedItem> itemLabelled(Selector selector, std::string_view text);

// The item `pick` selects: the picked one, or the one whose label was typed.
std::optional<SelectedItem> resolvePick(Selector selector, const Pick& pick);
// What the selector's text area shows for `pick`.
std::string pickText(Selector selector, const Pick& pick);

}  // namespace jt4dds
