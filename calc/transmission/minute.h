// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/transmission/message.h"
#include "calc/tuning/beacon.h"

namespace jt4dds {

// The word a part of the minute keys.
enum class Keyed {
    Symbols,    // the data tones, one channel symbol after another
    CwKeying,   // FSK CW: the key-down word for a mark, the key-up word between marks
    Reference,  // the carrier on the reference tone's word
};
// "symbols", "cw", "reference": stable names for the JSON and the C header.
std::string_view keyedName(Keyed keyed);
// What a part keys, in the tone table's words: "data tones 0 to 3", …
std::string_view keyedWords(Keyed keyed);

// One timed part of the minute, from the start of the UTC minute.
struct Segment {
    std::string_view name;  // "JT4 message", "PI4 message", "CW identification", "carrier"
    Keyed keyed;
    double startS = 0.0;
    double lengthS = 0.0;
    double endS() const { return startS + lengthS; }
};
// "PI4 message from 0.000 s to 24.333 s: data tones 0 to 3": one part of the
// minute as the views describe it.
std::string segmentDescription(const Segment& segment);

// A run of FSK CW: key down (a mark) or up (a gap), for a number of dots.
struct CwElement {
    bool keyDown = false;
    int dots = 0;
    friend bool operator==(const CwElement&, const CwElement&) = default;
};

// What the operator asks of the minute besides the message.
struct Sequence {
    std::string cwText = {};  // the CW identification ("OZ7IGY JO55"); empty for none
    int wpm = 12;             // CW speed: a dot is 1.2 s / wpm
    bool cw = true;           // send the CW identification
    bool carrier = true;      // send the carrier after it
};
inline constexpr int kMinWpm = 5;
inline constexpr int kMaxWpm = 60;

// The timed minute of a beacon: the message (JT4 from 1.0 s for 206 symbols
// of 2520/11025 s, PI4 from 0.0 s for 146 of 1/6 s), then, from the next
// whole second, the CW identification on the key-up and key-down words, a
// pause of 0.5 s, and the carrier on the reference word until 0.5 s before
// the minute ends: the standard PI4 minute, and JT4's the same shape after
// its message. A part switched off, or a CW identification without text, is
// left out. The minute may not fit in 60 s: `fits` says so.
struct Minute {
    std::vector<Segment> segments;
    int symbolCount = 0;
    double symbolS = 0.0;  // one symbol
    double dotS = 0.0;     // one CW dot
    std::vector<CwElement> cw;
    double endS = 0.0;  // where the last part ends
    bool fits = true;   // the last part ends within the minute
};
inline constexpr double kMinuteS = 60.0;
inline constexpr double kCarrierGapS = 0.5;

// The minute of a PI4 (`pi4`) or JT4 message with `sequence`; characters
// Morse has no code for are left out of the CW (morseRefusal names them).
Minute planMinute(bool pi4, const Sequence& sequence);

// CW elements of `text` (upper-cased): dots and dashes with a one-dot gap,
// three dots between letters, seven between words; no gap at either end.
std::vector<CwElement> morseElements(std::string_view text);
// The characters of `text` that Morse cannot send, each once, in order ("#@");
// empty when it can send all of them.
std::string unsendableInMorse(std::string_view text);

// A period in counts of a timer of `timerHz`, rounded to the nearest count,
// and how far that count is off, in parts per million of the period.
struct TimerCount {
    std::uint64_t counts = 0;
    double errorPpm = 0.0;
};
std::optional<TimerCount> timerCount(double seconds, double timerHz);

// Everything a controller needs to send the beacon's minute: the message's
// channel symbols, the timed parts, and the timer the firmware counts in.
struct Transmission {
    bool pi4 = false;
    EncodedMessage message;
    Minute minute;
    std::optional<double> timerHz;
};

// The transmission's fields, which Input (the numbers) does not name.
enum class TransmissionField { Message, CwId, Wpm, TimerHz };
// As the window and the page label them: "Message", "CW identification",
// "CW speed", "Timer".
std::string_view transmissionFieldName(TransmissionField field);

// Why a minute cannot be planned: the field to blame, if one, and why in
// words that leave the naming of the field to whoever shows it ("takes a
// whole number of words a minute from 5 to 60; '4' is not one").
struct Refusal {
    std::optional<TransmissionField> field;
    std::string why;
};
// "Message: PI4 sends …", naming the field as `name` does; `why` alone when
// no field is to blame.
// How a front end names the transmission's fields: the window and the page
// by their labels (empty: transmissionFieldName), the command line by its
// options, or a beacon file's keys.
using FieldNamer = std::function<std::string(TransmissionField)>;
std::string refusalText(const Refusal& refusal, const FieldNamer& name = {});

// The transmission of `beacon`: its message in the mode it selects, with its
// CW identification, speed, switches and timer; else why not. A beacon
// without a message has no minute (an empty `why`, no field). Never throws
// but std::bad_alloc.
std::variant<Transmission, Refusal> planTransmission(const Beacon& beacon);

// Four symbols to a byte, the first in the most significant pair (bits 7-6),
// the last byte padded with symbol 0.
std::vector<std::uint8_t> packedSymbols(const std::vector<std::uint8_t>& symbols);

}  // namespace jt4dds
