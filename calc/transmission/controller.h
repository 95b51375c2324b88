// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/transmission/minute.h"
#include "calc/tuning/beacon.h"

namespace jt4dds {

// The microcontroller that keys the minute into the DDS.
enum class Mcu {
    Atmega328p,  // Timer1 counts the CPU clock divided by its prescaler
    Pic16f628a,  // Timer1 counts the instruction clock (a quarter of the CPU's) divided by its prescaler
};
// "ATmega328P", "PIC16F628A".
std::string_view mcuName(Mcu mcu);
// The chip of that exact name; nothing for any other.
std::optional<Mcu> mcuNamed(std::string_view name);

// The prescalers the chip's Timer1 offers that the engine keys on time: on
// the AVR those whose count lasts at least 32 CPU cycles, so that waking and
// latching the frame stays within one count (1 and 8 are left out); on the
// PIC 1:1 only, where a simulated minute keeps exact time.
std::span<const int> enginePrescales(Mcu mcu);

// The controller's clock and the timer rate it makes of it.
struct Controller {
    Mcu mcu = Mcu::Atmega328p;
    double clockHz = 0.0;  // the CPU's clock (the crystal's for the PIC)
    int prescale = 1;
    // Counts a second: clock / prescale on the AVR, clock / 4 / prescale on the PIC.
    double timerHz() const;
    // CPU cycles a count: the prescale on the AVR, four times it on the PIC.
    int cyclesPerCount() const;
};

// The program memory a PIC16F628A firmware of `transmission` takes, in
// words: the engine's, one retlw a channel symbol and a CW run, nine a part
// of the minute (an empty table keeps one).
int picProgramWords(const Transmission& transmission);
inline constexpr int kPicProgramMemoryWords = 2048;

// The chips' usual clocks: 16 MHz for an Arduino-class ATmega328P, 4 MHz for
// the PIC16F628A.
double defaultClockHz(Mcu mcu);

// The controller of `mcu` for what the operator gave: a clock (else the
// chip's usual one), a prescaler (else the first of enginePrescales), and
// the timer rate the plan counts in (else the one these make). Refused, with
// the rates the chip can make at that clock, when the rate given is none of
// them or the prescaler is not one the engine keys on time with. Never
// throws but std::bad_alloc.
std::variant<Controller, std::string> controllerFor(Mcu mcu, std::optional<double> clockHz, std::optional<int> prescale,
                                                    std::optional<double> timerHz);

// The controller `beacon` names: its chip (else an ATmega328P), its clock
// and Timer1 prescaler as typed (else the chip's usual ones), and its timer
// as typed; or why not, in words that name the controller's fields. Never
// throws but std::bad_alloc.
std::variant<Controller, std::string> controllerOf(const Beacon& beacon);

// A time from the minute's pulse in whole counts of a timer of `timerHz`,
// rounded to the nearest; 0 at or before the pulse.
std::uint64_t countsAt(double seconds, double timerHz);

// One 40-bit frame the controller latches into the DDS, `counts` timer counts
// after the minute's pulse: the word of `tone` (a row of the tone plan: the
// data tones 0 to 3, kReferenceTone, kKeyUpTone, kKeyDownTone), or the
// power-down frame.
struct Frame {
    std::uint64_t counts = 0;
    int tone = 0;
    bool powerDown = false;
    friend bool operator==(const Frame&, const Frame&) = default;
};

// A part of the minute in counts from the pulse, as the firmware plays it:
// it starts at its second rounded to the nearest count; the message ends
// after its symbols' whole periods, the CW after its runs' whole dots, the
// carrier at its end's second rounded. Empty without a timer rate.
struct PartCounts {
    Keyed keyed = Keyed::Symbols;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};
std::vector<PartCounts> partCounts(const Transmission& transmission);

// The minute as a controller plays it, frame by frame: each channel symbol
// at the message's start plus k whole symbol periods; each CW run where the
// runs before it end, in whole dots; the carrier at its start; and the
// power-down frame where a part ends (partCounts), unless the next begins
// there. Empty without a timer rate.
std::vector<Frame> minuteFrames(const Transmission& transmission);

// Where the message part ends in counts as the firmware plays it: its start
// plus the symbol count times the symbol's counts (not its length in seconds
// rounded, which can differ by a count or more).
std::optional<std::uint64_t> messageEndCounts(const Transmission& transmission);

}  // namespace jt4dds
