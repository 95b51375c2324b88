// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/transmission/minute.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/transmission/message.h"
#include "calc/tuning/selector_items.h"

namespace jt4dds {
namespace {

// International Morse: letters, digits and the signs a beacon identification uses.
constexpr std::pair<char, std::string_view> kMorse[] = {
    {'A', ".-"},    {'B', "-..."},  {'C', "-.-."},   {'D', "-.."},    {'E', "."},      {'F', "..-."},  {'G', "--."},
    {'H', "...."},  {'I', ".."},    {'J', ".---"},   {'K', "-.-"},    {'L', ".-.."},   {'M', "--"},    {'N', "-."},
    {'O', "---"},   {'P', ".--."},  {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},    {'T', "-"},     {'U', "..-"},
    {'V', "...-"},  {'W', ".--"},   {'X', "-..-"},   {'Y', "-.--"},   {'Z', "--.."},   {'0', "-----"}, {'1', ".----"},
    {'2', "..---"}, {'3', "...--"}, {'4', "....-"},  {'5', "....."},  {'6', "-...."},  {'7', "--..."}, {'8', "---.."},
    {'9', "----."}, {'/', "-..-."}, {'?', "..--.."}, {'.', ".-.-.-"}, {',', "--..--"}, {'=', "-...-"}, {'-', "-....-"},
    {'+', ".-.-."},
};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view codeOf(char c) {
    for (const auto& [letter, code] : kMorse)
        if (letter == upper(c)) return code;
    return {};
}

// JT4: 2520/11025 s a symbol; PI4: 2000 samples at 12 kHz.
constexpr double kJt4SymbolS = 2520.0 / 11025.0;
constexpr double kPi4SymbolS = 2000.0 / 12000.0;
constexpr double kJt4StartS = 1.0;

}  // namespace

std::string_view keyedName(Keyed keyed) {
    switch (keyed) {
        case Keyed::Symbols:
            return "symbols";
        case Keyed::CwKeying:
            return "cw";
        case Keyed::Reference:
            break;
    }
    return "reference";
}

std::string_view keyedWords(Keyed keyed) {
    switch (keyed) {
        case Keyed::Symbols:
            return "data tones 0 to 3";
        case Keyed::CwKeying:
            return "key-down and key-up tones";
        case Keyed::Reference:
            break;
    }
    return "reference tone";
}

std::string segmentDescription(const Segment& segment) {
    std::string text(segment.name);
    text.append(" from ").append(fixedText(segment.startS, 3)).append(" s to ");
    text.append(fixedText(segment.endS(), 3)).append(" s: ").append(keyedWords(segment.keyed));
    return text;
}

std::vector<CwElement> morseElements(std::string_view text) {
    std::vector<CwElement> out;
    const auto add = [&out](bool down, int dots) {
        if (!out.empty() && out.back().keyDown == down && !down) {
            out.back().dots = std::max(out.back().dots, dots);  // gaps do not add up: the widest counts
        } else {
            out.push_back(CwElement{down, dots});
        }
    };
    bool wordGap = false;
    for (char c : text) {
        if (isBlank(c)) {
            wordGap = !out.empty();
            continue;
        }
        const std::string_view code = codeOf(c);
        if (code.empty()) continue;
        if (!out.empty()) add(false, wordGap ? 7 : 3);
        wordGap = false;
        for (std::size_t i = 0; i < code.size(); ++i) {
            if (i > 0) add(false, 1);
            add(true, code[i] == '.' ? 1 : 3);
        }
    }
    return out;
}

std::string unsendableInMorse(std::string_view text) {
    std::string out;
    for (char c : text)
        if (!isBlank(c) && codeOf(c).empty() && out.find(c) == std::string::npos) out += c;
    return out;
}

Minute planMinute(bool pi4, const Sequence& sequence) {
    Minute m;
    m.symbolCount = static_cast<int>(pi4 ? kPi4SymbolCount : kJt4SymbolCount);
    m.symbolS = pi4 ? kPi4SymbolS : kJt4SymbolS;
    const double start = pi4 ? 0.0 : kJt4StartS;
    m.segments.push_back(
        Segment{pi4 ? "PI4 message" : "JT4 message", Keyed::Symbols, start, m.symbolCount * m.symbolS});
    double at = std::ceil(m.segments.back().endS());
    const int wpm = std::clamp(sequence.wpm, kMinWpm, kMaxWpm);
    m.dotS = 1.2 / wpm;
    if (sequence.cw) m.cw = morseElements(sequence.cwText);
    if (!m.cw.empty()) {
        int dots = 0;
        for (const CwElement& e : m.cw) dots += e.dots;
        m.segments.push_back(Segment{"CW identification", Keyed::CwKeying, at, dots * m.dotS});
        at = m.segments.back().endS() + kCarrierGapS;
    }
    if (sequence.carrier && at < kMinuteS - kCarrierGapS)
        m.segments.push_back(Segment{"carrier", Keyed::Reference, at, kMinuteS - kCarrierGapS - at});
    m.endS = m.segments.back().endS();
    m.fits = m.endS <= kMinuteS;
    return m;
}

std::string_view transmissionFieldName(TransmissionField field) {
    switch (field) {
        case TransmissionField::Message:
            return "Message";
        case TransmissionField::CwId:
            return "CW identification";
        case TransmissionField::Wpm:
            return "CW speed";
        case TransmissionField::TimerHz:
            break;
    }
    return "Timer";
}

std::string refusalText(const Refusal& refusal, const FieldNamer& name) {
    if (!refusal.field) return refusal.why;
    return (name ? name(*refusal.field) : std::string(transmissionFieldName(*refusal.field))) + ": " + refusal.why;
}

std::variant<Transmission, Refusal> planTransmission(const Beacon& beacon) {
    using Result = std::variant<Transmission, Refusal>;
    const auto refuse = [](std::optional<TransmissionField> field, std::string why) {
        return Result(std::in_place_index<1>, Refusal{field, std::move(why)});
    };
    if (beacon.message.empty()) return refuse(std::nullopt, {});
    const auto mode = resolvePick(Selector::JTMode, beacon.mode);
    if (!mode) return refuse(std::nullopt, "the message needs a mode: pick a JT4 submode or PI4");
    Transmission t;
    t.pi4 = isPi4(mode->number);
    auto encoded = t.pi4 ? encodePi4(beacon.message) : encodeJt4(beacon.message);
    if (auto* why = std::get_if<std::string>(&encoded)) return refuse(TransmissionField::Message, *why);
    t.message = std::get<EncodedMessage>(std::move(encoded));
    const NumberRead wpm = LeadingNumber(beacon.wpm);
    if (wpm.end != beacon.wpm.size() || wpm.value != std::floor(wpm.value) || wpm.value < kMinWpm ||
        wpm.value > kMaxWpm)
        return refuse(TransmissionField::Wpm,
                      "takes a whole number of words a minute from 5 to 60; '" + beacon.wpm + "' is not one");
    if (const std::string odd = unsendableInMorse(beacon.cwId); beacon.cw && !odd.empty())
        return refuse(TransmissionField::CwId,
                      "Morse has no code for '" + odd + "': letters, digits, space and / ? . , = - + only");
    if (!beacon.timerHz.empty()) {
        const NumberRead hz = LeadingNumber(beacon.timerHz);
        if (hz.end != beacon.timerHz.size() || !(hz.value >= 1.0) || hz.value > 50e6)
            return refuse(TransmissionField::TimerHz,
                          "takes the timer's frequency in Hz, from 1 to 50000000; '" + beacon.timerHz + "' is not one");
        t.timerHz = hz.value;
    }
    t.minute = planMinute(t.pi4, Sequence{beacon.cwId, static_cast<int>(wpm.value), beacon.cw, beacon.carrier});
    return Result(std::in_place_index<0>, std::move(t));
}

std::vector<std::uint8_t> packedSymbols(const std::vector<std::uint8_t>& symbols) {
    std::vector<std::uint8_t> out((symbols.size() + 3) / 4, 0);
    for (std::size_t i = 0; i < symbols.size(); ++i)
        out[i / 4] = static_cast<std::uint8_t>(out[i / 4] | ((symbols[i] & 3U) << (6 - 2 * (i % 4))));
    return out;
}

std::optional<TimerCount> timerCount(double seconds, double timerHz) {
    if (!(timerHz > 0.0) || !std::isfinite(timerHz) || !(seconds > 0.0)) return std::nullopt;
    const double exact = seconds * timerHz;
    if (exact > 9.0e18 || exact < 0.5) return std::nullopt;  // within llround's range, at least one count
    const auto counts = static_cast<std::uint64_t>(std::llround(exact));
    return TimerCount{counts, (static_cast<double>(counts) / timerHz - seconds) / seconds * 1e6};
}

}  // namespace jt4dds
