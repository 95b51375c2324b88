// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <cstdint>

#include "calc/tuning/tone_plan.h"

namespace jt4dds {

// The two drop-down selectors: the mode (the submodes and PI4) and how the
// DDS is wired (Direct Freq Gen, Reverse DDS).
enum class Selector { JTMode, Config };

// The item a selector has selected: its position, its label and the number it
// carries (the spacing number for JTMode, the position for Config).
struct SelectedItem {
    int index = 0;
    std::string label;
    std::int32_t number = 0;
};

// The numbers a beacon is planned from, top to bottom as the window shows them.
enum class Input {
    OutputFrequency,
    Multiplication,
    Reference,
    ReferenceTone,
    KeyUpTone,
    KeyDownTone,
    AuxTone,
#if defined(JT4DDS_TEST_EXTRA_INPUT)
    // A build of the tests adds one input to show that the table below is
    // the only place an input is listed.
    TestExtra,
#endif
};

// One input, as every surface knows it. The table is the one list of inputs:
// the CLI's options, beacon files, the JSON report, the window's and the
// page's bindings are all made from it.
struct InputSpec {
    Input input;
    std::string_view key;      // beacon files and the report ("ref_tone"); the CLI option is "--ref-tone"
    std::string_view label;    // the operator's name for it ("Reference Tone")
    std::string_view unit;     // "MHz", "Hz", or empty for a plain number
    std::string_view initial;  // the text the window starts with
    std::string_view control;  // the window's control and the page's element ("RefTone")
    std::string_view help;     // what the CLI's --help says of it
};

inline constexpr std::array kInputs {
    InputSpec{Input::OutputFrequency,
              "fout",
              "Output Frequency",
              "MHz",
              "2320.1",
              "Fout",
              "Output Frequency, MHz: where the reference tone lands at RF"},
        InputSpec{Input::Multiplication,
                  "mult",
                  "RF Multiplication",
                  "",
                  "24",
                  "Mult",
                  "RF Multiplication after the DDS (fractions allowed)"},
        InputSpec{Input::Reference,
                  "fref",
                  "Master Reference",
                  "MHz",
                  "250",
                  "Fref",
                  "Master Reference clock of the DDS, MHz"},
        InputSpec{Input::ReferenceTone,
                  "ref_tone",
                  "Reference Tone",
                  "Hz",
                  "1270",
                  "RefTone",
                  "Reference Tone, Hz (audio): lands on the output frequency"},
        InputSpec{Input::KeyUpTone,
                  "key_up",
                  "FSK CW (key up) Tone",
                  "Hz",
                  "400",
                  "UpTone",
                  "FSK CW key-up tone, Hz (audio)"},
        InputSpec{Input::KeyDownTone,
                  "key_down",
                  "FSK CW (key down) Tone",
                  "Hz",
                  "800",
                  "DownTone",
                  "FSK CW key-down tone, Hz (audio)"},
        InputSpec{Input::AuxTone, "aux", "Aux Tone", "Hz", "1000", "SpTone", "Aux tone, Hz (audio)"},
#if defined(JT4DDS_TEST_EXTRA_INPUT)
        InputSpec{Input::TestExtra, "test_extra", "Test Extra", "Hz", "7", "TestExtra", "An input only tests have"},
#endif
};
inline constexpr std::size_t kInputCount = kInputs.size();

// Every input, in the table's order.
inline constexpr std::array<Input, kInputCount> kAllInputs = [] {
    std::array<Input, kInputCount> out{};
    for (std::size_t i = 0; i < kInputCount; ++i) out[i] = kInputs[i].input;
    return out;
}();

constexpr const InputSpec& specOf(Input input) { return kInputs[static_cast<std::size_t>(input)]; }
// The command-line option of `input`: "--" and its key, '_' written '-' ("--ref-tone").
std::string optionName(Input input);

// A selector as the operator left it: an item picked, or text typed that
// picked none (which a press still takes when it names an item).
struct Pick {
    std::optional<int> index;
    std::string typed;

    static Pick item(int index) { return Pick{index, {}}; }
    static Pick text(std::string_view typed) { return Pick{std::nullopt, std::string(typed)}; }
    friend bool operator==(const Pick&, const Pick&) = default;
};

// Every input of one beacon, as typed: what a press, a beacon file, a search
// and "Copy command line" take. A default Beacon is the window's after it loads.
struct Beacon {
    std::array<std::string, kInputCount> texts = initialTexts();
    Pick mode = Pick::item(kInitialSubmodeIndex);
    Pick config = Pick::item(0);
    bool ref800 = false;
    // The decimal separator every number of the listing is written with.
    std::string separator = ".";
    // The beacon's name in its firmware files; empty for none.
    std::string name;
    // The transmission, as typed: the message (empty: none), the CW
    // identification, its speed in words a minute, whether the CW and the
    // carrier follow the message, and the controller's timer in Hz (empty:
    // none) that the firmware files count the minute in.
    std::string message;
    std::string cwId;
    std::string wpm = "12";
    bool cw = true;
    bool carrier = true;
    std::string timerHz;
    // The controller that keys the minute: the chip by name ("ATmega328P" or
    // "PIC16F628A"; empty: an ATmega328P), its clock in Hz and Timer1's
    // prescaler, as typed (empty: the chip's usual clock, the engine's first
    // prescaler). Given, they set the timer the plan counts in.
    std::string mcu;
    std::string mcuClockHz;
    std::string timerPrescale;
    // The DDS chip, by a preset's name (empty: none given), and the maximum
    // clock typed in MHz (empty: the chip's).
    std::string dds;
    std::string maxClockMHz;

    const std::string& text(Input input) const { return texts[static_cast<std::size_t>(input)]; }
    std::string& text(Input input) { return texts[static_cast<std::size_t>(input)]; }
    const Pick& pick(Selector selector) const { return selector == Selector::JTMode ? mode : config; }
    Pick& pick(Selector selector) { return selector == Selector::JTMode ? mode : config; }

    // Takes `other`'s message and minute (what a view without them keeps aside).
    void takeTransmission(const Beacon& other) {
        message = other.message;
        cwId = other.cwId;
        wpm = other.wpm;
        cw = other.cw;
        carrier = other.carrier;
        timerHz = other.timerHz;
        mcu = other.mcu;
        mcuClockHz = other.mcuClockHz;
        timerPrescale = other.timerPrescale;
    }
    // Takes `other`'s DDS chip and maximum clock (what a view without them keeps aside).
    void takeDds(const Beacon& other) {
        dds = other.dds;
        maxClockMHz = other.maxClockMHz;
    }

    friend bool operator==(const Beacon&, const Beacon&) = default;

private:
    static std::array<std::string, kInputCount> initialTexts() {
        std::array<std::string, kInputCount> out;
        for (std::size_t i = 0; i < kInputCount; ++i) out[i] = kInputs[i].initial;
        return out;
    }
};

}  // namespace jt4dds
