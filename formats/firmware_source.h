// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "calc/transmission/controller.h"
#include "calc/tuning/calculation_run.h"
#include "formats/outputs.h"

namespace jt4dds {

// The controller's default wiring, one row a signal: what the firmware
// files' comments say and the README's wiring picture draws.
struct ControllerPin {
    std::string_view signal;   // "DDS W_CLK"
    std::string_view avr;      // "PD2"
    std::string_view arduino;  // "D2"
    std::string_view pic;      // "RA0"
    int picPin;                // its pin on the 18-pin package
    std::string_view define;   // the engines' #define that moves it; empty: fixed
    std::string_view note;     // what else to know, or empty
};
inline constexpr ControllerPin kControllerPins[] = {
    {"DDS W_CLK", "PD2", "D2", "RA0", 17, "DDS_W_CLK", ""},
    {"DDS FQ_UD", "PD3", "D3", "RA1", 18, "DDS_FQ_UD", ""},
    {"DDS DATA (D7)", "PD4", "D4", "RA2", 1, "DDS_DATA", "the DDS board holds D0, D1 high and D2 low"},
    {"minute pulse", "PB0 ICP1", "D8", "RB3 CCP1", 9, "",
     "rising at each UTC minute: a GPS 1PPS divided to minutes, or a push button"},
};

// The engine every ATmega328P beacon runs, as the project keeps it
// (formats/engines/avr_engine.c): it reads the tables a firmware file puts
// before it.
std::string_view avrEngineText();

// A whole beacon controller for an ATmega328P in one C file: a comment with
// the plan, the wiring, the fuses and the lines that build and program it;
// the clock and prescaler the counts were planned for (an #error when F_CPU
// disagrees); this beacon's tables in flash (the eight words from the
// listing's rows, the packed symbols, the CW runs, each part's start and
// end in counts); then the engine. Needs a completed run and a transmission
// whose timer is the controller's (`file.transmission->timerHz` equal to
// `controller.timerHz()`); the caller sees to both.
std::string avrFirmware(const Press& outcome, const FirmwareFile& file, const Controller& controller);

// The engine every PIC16F628A beacon runs (formats/engines/pic_engine.asm).
std::string_view picEngineText();

// The same controller for a PIC16F628A in one gpasm source: a comment with
// the plan, the wiring and the lines that build and program it; the
// configuration word for its crystal; the counts as equ lines; the engine;
// the symbols, CW runs and parts as retlw tables; and at the data EEPROM's
// origin the listing's FreqData and de lines as they are. The same needs as
// avrFirmware.
std::string picFirmware(const Press& outcome, const FirmwareFile& file, const Controller& controller);

}  // namespace jt4dds
