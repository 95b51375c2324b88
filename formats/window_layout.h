// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "calc/tuning/beacon.h"

namespace jt4dds {

// The window's controls, where they stand and what they say: the one table
// both the Qt window and the web page are laid out from. Positions are in
// twips within the client area (15 to a pixel at 96 dots per inch).
enum class ControlKind {
    Caption,   // a right-aligned label naming the field after it (`buddy`)
    TextBox,   // a one-line field
    Selector,  // a drop-down list whose text area also takes typing
    CheckBox,
    Button,
    Warning,  // the red warning line, hidden at first
    Results,  // the multi-line results box
    Label,    // a plain right-aligned label, hidden at first
};

struct ControlPlace {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // what it shows; empty for fields
    int left;
    int top;
    int width;
    int height;
    std::string_view buddy;  // a caption's field
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 10890;
inline constexpr std::string_view kWindowTitle = "JT4 / PI4  - 32 bit DDS Design Utility     Arvok";

// The form's own controls, in the order they are created, top to bottom and
// left to right, in a client area of kClientWidthTwips by kFormHeightTwips.
inline constexpr int kFormHeightTwips = 5355;
inline constexpr std::array<ControlPlace, 24> kFormControls{{
    {"Label1", ControlKind::Caption, "Output Frequency  MHz", 360, 480, 1935, 255, "Fout"},
    {"Fout", ControlKind::TextBox, "", 2400, 480, 1575, 285, ""},
    {"Label2", ControlKind::Caption, "RF Multiplication", 360, 840, 1935, 255, "Mult"},
    {"Mult", ControlKind::TextBox, "", 2400, 840, 1575, 285, ""},
    {"Label3", ControlKind::Caption, "Master Reference  MHz", 360, 1200, 1935, 255, "Fref"},
    {"Fref", ControlKind::TextBox, "", 2400, 1200, 1575, 285, ""},
    {"Label4", ControlKind::Caption, "JT4 Submode or PI4", 360, 1560, 1935, 255, "JTMode"},
    {"JTMode", ControlKind::Selector, "", 2400, 1560, 1575, 315, ""},
    {"Ref800", ControlKind::CheckBox, "JT4G Reference Tone0 = 800Hz", 720, 2040, 3255, 255, ""},
    {"Label5", ControlKind::Caption, "Reference Tone   Hz", 360, 2400, 1935, 255, "RefTone"},
    {"RefTone", ControlKind::TextBox, "", 2400, 2400, 1575, 285, ""},
    {"Label6", ControlKind::Caption, "FSK CW  (key up) Tone", 360, 2760, 1935, 255, "UpTone"},
    {"UpTone", ControlKind::TextBox, "", 2400, 2760, 1575, 285, ""},
    {"Label7", ControlKind::Caption, "FSK CW (key down) Tone", 360, 3120, 1935, 255, "DownTone"},
    {"DownTone", ControlKind::TextBox, "", 2400, 3120, 1575, 285, ""},
    {"Label9", ControlKind::Caption, "Aux Tone  Hz", 360, 3480, 1935, 255, "SpTone"},
    {"SpTone", ControlKind::TextBox, "", 2400, 3480, 1575, 285, ""},
    {"Label8", ControlKind::Caption, "Configuration", 360, 3840, 1935, 255, "Config"},
    {"Config", ControlKind::Selector, "", 2400, 3840, 1575, 315, ""},
    {"Command1", ControlKind::Button, "Calculate", 2400, 4200, 1575, 495, ""},
    {"Warning", ControlKind::Warning, "Warning", 4920, 120, 4575, 495, ""},
    {"Text1", ControlKind::Results, "", 4440, 720, 6135, 3255, ""},
    {"Label10", ControlKind::Label, "SSB Carrier, Tuning Point", 5760, 4080, 1935, 255, "SSBCarrier"},
    {"SSBCarrier", ControlKind::TextBox, "", 7800, 4080, 1575, 285, ""},
}};

// The keyboard's Tab order through the form's controls.
inline constexpr std::array<std::string_view, 13> kFormFocusOrder{
    "Fout",     "Mult",  "Fref",   "RefTone", "UpTone",     "DownTone", "JTMode",
    "Command1", "Text1", "Config", "SpTone",  "SSBCarrier", "Ref800",
};

// An input the form has no control for: none in this program, but a build
// with one more input (the tests make one) gets a row for it below the form,
// its caption (named by the input's key) and its field, and a client area
// one row taller, so that an input is added in the input table alone. With
// none, the window is the form exactly.
constexpr bool formHasControl(std::string_view name) {
    for (const ControlPlace& place : kFormControls)
        if (place.name == name) return true;
    return false;
}
inline constexpr std::size_t kExtraInputCount = [] {
    std::size_t count = 0;
    for (const InputSpec& input : kInputs) count += formHasControl(input.control) ? 0 : 1;
    return count;
}();
inline constexpr int kExtraRowTwips = 360;
inline constexpr int kExtraRowsTopTwips = 4800;  // under Calculate

// Every control of the window: the form's, then the extra inputs' rows.
inline constexpr auto kWindowLayout = [] {
    std::array<ControlPlace, kFormControls.size() + 2 * kExtraInputCount> out{};
    std::size_t at = 0;
    for (const ControlPlace& place : kFormControls) out[at++] = place;
    int top = kExtraRowsTopTwips;
    for (const InputSpec& input : kInputs) {
        if (formHasControl(input.control)) continue;
        out[at++] = {input.key, ControlKind::Caption, input.label, 360, top, 1935, 255, input.control};
        out[at++] = {input.control, ControlKind::TextBox, "", 2400, top, 1575, 285, ""};
        top += kExtraRowTwips;
    }
    return out;
}();
inline constexpr int kClientHeightTwips = kFormHeightTwips + static_cast<int>(kExtraInputCount) * kExtraRowTwips;

// The keyboard's Tab order: the form's, then the extra inputs' fields.
inline constexpr auto kFocusOrder = [] {
    std::array<std::string_view, kFormFocusOrder.size() + kExtraInputCount> out{};
    std::size_t at = 0;
    for (const std::string_view name : kFormFocusOrder) out[at++] = name;
    for (const InputSpec& input : kInputs)
        if (!formHasControl(input.control)) out[at++] = input.control;
    return out;
}();

// The entry of the control called `name`; nothing for another name.
constexpr std::optional<ControlPlace> controlPlace(std::string_view name) {
    for (const ControlPlace& place : kWindowLayout)
        if (place.name == name) return place;
    return std::nullopt;
}

}  // namespace jt4dds
