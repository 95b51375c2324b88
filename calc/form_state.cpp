// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/form_state.h"

#if !defined(__EMSCRIPTEN__)
#include <locale>
#endif
#include <stdexcept>

#include "calc/selector_items.h"
#include "calc/tone_plan.h"

namespace jt4dds {
namespace {

template <class Enum>
std::size_t slot(Enum e) {
    return static_cast<std::size_t>(e);
}

}  // namespace

FormState::FormState() {
    texts_[slot(TextField::Fout)] = "2320.1";
    texts_[slot(TextField::Mult)] = "24";
    texts_[slot(TextField::Fref)] = "250";
    texts_[slot(TextField::RefTone)] = "1270";
    texts_[slot(TextField::UpTone)] = "400";
    texts_[slot(TextField::DownTone)] = "800";
    texts_[slot(TextField::SpTone)] = "1000";
    select(Selector::JTMode, kInitialSubmodeIndex);
    select(Selector::Config, 0);
}

std::string FormState::text(TextField field) const { return texts_[slot(field)]; }

void FormState::setText(TextField field, std::string_view text) { texts_[slot(field)] = text; }

std::optional<SelectedItem> FormState::selectedItem(Selector selector) const {
    const auto& state = selectors_[slot(selector)];
    return state.index ? itemAt(selector, *state.index) : std::nullopt;
}

std::string FormState::selectorText(Selector selector) const {
    const auto item = selectedItem(selector);
    return item ? item->label : selectors_[slot(selector)].typed;
}

bool FormState::ref800Checked() const { return ref800_; }

void FormState::setVisible(Shown control, bool visible) { visible_[slot(control)] = visible; }

void FormState::setWarningCaption(std::string_view caption) { warningCaption_ = caption; }

std::string FormState::decimalSeparator() const { return separator_; }

void FormState::select(Selector selector, int index) {
    auto& state = selectors_[slot(selector)];
    if (itemAt(selector, index)) {
        state.index = index;
    } else {
        state.index.reset();
    }
    state.typed.clear();
}

void FormState::typeInto(Selector selector, std::string_view text) {
    auto& state = selectors_[slot(selector)];
    state.index.reset();
    state.typed = text;
}

void FormState::setRef800(bool checked) { ref800_ = checked; }

void FormState::setDecimalSeparator(std::string separator) { separator_ = std::move(separator); }

bool FormState::isVisible(Shown control) const { return visible_[slot(control)]; }

const std::string& FormState::warningCaption() const { return warningCaption_; }

FormState inputsOf(const FormView& view) {
    FormState form;
    for (TextField field : {TextField::Fout, TextField::Mult, TextField::Fref, TextField::RefTone, TextField::UpTone,
                            TextField::DownTone, TextField::SpTone})
        form.setText(field, view.text(field));
    for (Selector selector : {Selector::JTMode, Selector::Config}) {
        if (const auto item = view.selectedItem(selector)) {
            form.select(selector, item->index);
        } else {
            form.typeInto(selector, view.selectorText(selector));
        }
    }
    form.setRef800(view.ref800Checked());
    form.setDecimalSeparator(view.decimalSeparator());
    return form;
}

std::string operatorDecimalSeparator() {
#if defined(__EMSCRIPTEN__)
    // The page asks the browser for its separator itself.
    return ".";
#else
    try {
        const std::locale operatorLocale("");
        return std::string(1, std::use_facet<std::numpunct<char> >(operatorLocale).decimal_point());
    } catch (const std::runtime_error&) {
        return ".";
    }
#endif
}

}  // namespace jt4dds
