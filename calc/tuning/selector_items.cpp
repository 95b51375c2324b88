// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tuning/selector_items.h"

#include "calc/tuning/tone_plan.h"
#include "calc/tuning/tuning.h"

namespace jt4dds {
namespace {

constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameLabel(std::string_view label, std::string_view typed) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = typed.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return false;
    typed = typed.substr(first, typed.find_last_not_of(kBlanks) - first + 1);
    if (typed.size() != label.size()) return false;
    for (std::size_t i = 0; i < label.size(); ++i)
        if (lowerAscii(label[i]) != lowerAscii(typed[i])) return false;
    return true;
}

}  // namespace

int itemCount(Selector selector) noexcept {
    return selector == Selector::JTMode ? static_cast<int>(kSubmodes.size()) : static_cast<int>(kConfigLabels.size());
}

std::optional<SelectedItem> itemAt(Selector selector, int index) {
    if (index < 0 || index >= itemCount(selector)) return std::nullopt;
    const auto i = static_cast<std::size_t>(index);
    if (selector == Selector::JTMode)
        return SelectedItem{index, std::string(kSubmodes[i].label), kSubmodes[i].spacingNumber};
    return SelectedItem{index, std::string(kConfigLabels[i]), index};
}

std::optional<SelectedItem> itemLabelled(Selector selector, std::string_view text) {
    for (int index = 0; index < itemCount(selector); ++index) {
        auto item = itemAt(selector, index);
        if (item && sameLabel(item->label, text)) return item;
    }
    return std::nullopt;
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

}  // namespace jt4dds
