// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/transmission/controller.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"

namespace jt4dds {
namespace {

constexpr std::array kAvrPrescales{64, 256, 1024};
constexpr std::array kPicPrescales{1};

}  // namespace

std::uint64_t countsAt(double seconds, double timerHz) {
    return static_cast<std::uint64_t>(std::llround(std::max(0.0, seconds) * timerHz));
}

std::string_view mcuName(Mcu mcu) { return mcu == Mcu::Atmega328p ? "ATmega328P" : "PIC16F628A"; }

std::optional<Mcu> mcuNamed(std::string_view name) {
    for (const Mcu mcu : {Mcu::Atmega328p, Mcu::Pic16f628a})
        if (name == mcuName(mcu)) return mcu;
    return std::nullopt;
}

std::span<const int> enginePrescales(Mcu mcu) {
    if (mcu == Mcu::Atmega328p) return kAvrPrescales;
    return kPicPrescales;
}

double Controller::timerHz() const { return clockHz / cyclesPerCount(); }
int Controller::cyclesPerCount() const { return mcu == Mcu::Pic16f628a ? 4 * prescale : prescale; }

int picProgramWords(const Transmission& transmission) {
    // What gpasm counts for formats/engines/pic_engine.asm with no tables;
    // the firmware tests hold this sum to gpasm's count for every beacon.
    constexpr std::size_t kEngineWords = 413;
    const std::size_t parts = transmission.minute.segments.size();
    return static_cast<int>(kEngineWords + std::max<std::size_t>(transmission.message.symbols.size(), 1) +
                            std::max<std::size_t>(transmission.minute.cw.size(), 1) +
                            std::max<std::size_t>(9 * parts, 1));
}

double defaultClockHz(Mcu mcu) { return mcu == Mcu::Atmega328p ? 16e6 : 4e6; }

std::variant<Controller, std::string> controllerFor(Mcu mcu, std::optional<double> clockHz, std::optional<int> prescale,
                                                    std::optional<double> timerHz) {
    Controller c{mcu, clockHz.value_or(defaultClockHz(mcu)), 1};
    if (!(c.clockHz > 0.0) || !std::isfinite(c.clockHz) || c.clockHz > 1e9)
        return "the controller's clock is " + decimalText(c.clockHz, 6) + " Hz; it takes one above 0 and up to 1 GHz";
    std::string rates;
    for (const int p : enginePrescales(mcu)) {
        const Controller candidate{mcu, c.clockHz, p};
        if (!rates.empty()) rates += ", ";
        rates += decimalText(candidate.timerHz(), 6) + " Hz (prescaler " + std::to_string(p) + ")";
    }
    const std::string offers =
        "the " + std::string(mcuName(mcu)) + " at " + decimalText(c.clockHz, 6) + " Hz keys on time at " + rates;
    if (prescale) {
        bool offered = false;
        for (const int p : enginePrescales(mcu)) offered = offered || p == *prescale;
        if (!offered) return "a timer prescaler of " + std::to_string(*prescale) + " is none of these: " + offers;
        c.prescale = *prescale;
    } else if (timerHz) {
        c.prescale = 0;
        for (const int p : enginePrescales(mcu))
            if (std::abs(Controller{mcu, c.clockHz, p}.timerHz() - *timerHz) <= 1e-9 * *timerHz) c.prescale = p;
        if (c.prescale == 0) return "a timer of " + decimalText(*timerHz, 6) + " Hz is none of these: " + offers;
    } else {
        c.prescale = enginePrescales(mcu).front();
    }
    if (timerHz && std::abs(c.timerHz() - *timerHz) > 1e-9 * *timerHz)
        return "a timer of " + decimalText(*timerHz, 6) + " Hz is not what prescaler " + std::to_string(c.prescale) +
               " makes; " + offers;
    return c;
}

std::vector<PartCounts> partCounts(const Transmission& t) {
    std::vector<PartCounts> parts;
    if (!t.timerHz || !(*t.timerHz > 0.0)) return parts;
    const double hz = *t.timerHz;
    const std::uint64_t symbol = countsAt(t.minute.symbolS, hz);
    const std::uint64_t dot = countsAt(t.minute.dotS, hz);
    for (const Segment& part : t.minute.segments) {
        PartCounts p{part.keyed, countsAt(part.startS, hz), 0};
        switch (part.keyed) {
            case Keyed::Symbols:
                p.end = p.start + static_cast<std::uint64_t>(t.message.symbols.size()) * symbol;
                break;
            case Keyed::CwKeying: {
                std::uint64_t dots = 0;
                for (const CwElement& run : t.minute.cw) dots += static_cast<std::uint64_t>(run.dots);
                p.end = p.start + dots * dot;
                break;
            }
            case Keyed::Reference:
                p.end = countsAt(part.endS(), hz);
                break;
        }
        parts.push_back(p);
    }
    return parts;
}

std::optional<std::uint64_t> messageEndCounts(const Transmission& t) {
    const auto parts = partCounts(t);
    if (parts.empty() || parts.front().keyed != Keyed::Symbols) return std::nullopt;
    return parts.front().end;
}

std::vector<Frame> minuteFrames(const Transmission& t) {
    std::vector<Frame> frames;
    const auto parts = partCounts(t);
    if (parts.empty()) return frames;
    const double hz = *t.timerHz;
    const std::uint64_t symbol = countsAt(t.minute.symbolS, hz);
    const std::uint64_t dot = countsAt(t.minute.dotS, hz);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::uint64_t at = parts[i].start;
        switch (parts[i].keyed) {
            case Keyed::Symbols:
                for (const std::uint8_t s : t.message.symbols) {
                    frames.push_back({at, s, false});
                    at += symbol;
                }
                break;
            case Keyed::CwKeying:
                for (const CwElement& run : t.minute.cw) {
                    frames.push_back({at, static_cast<int>(run.keyDown ? kKeyDownTone : kKeyUpTone), false});
                    at += static_cast<std::uint64_t>(run.dots) * dot;
                }
                break;
            case Keyed::Reference:
                frames.push_back({at, static_cast<int>(kReferenceTone), false});
                break;
        }
        if (i + 1 == parts.size() || parts[i + 1].start != parts[i].end) frames.push_back({parts[i].end, 0, true});
    }
    return frames;
}

namespace {

// A number typed whole, or nothing when the text is empty or not one.
std::variant<std::monostate, double, std::string> typedNumber(const std::string& text, const std::string& field) {
    if (text.empty()) return std::monostate{};
    const NumberRead read = LeadingNumber(text);
    if (read.end != text.size() || !read.inRange) return "the " + field + " takes a number; '" + text + "' is not one";
    return read.value;
}

}  // namespace

std::variant<Controller, std::string> controllerOf(const Beacon& beacon) {
    const auto mcu = beacon.mcu.empty() ? std::optional(Mcu::Atmega328p) : mcuNamed(beacon.mcu);
    if (!mcu) return "no firmware is made for the controller '" + beacon.mcu + "'";
    std::optional<double> values[3];
    const std::pair<const std::string*, const char*> fields[] = {{&beacon.mcuClockHz, "controller's clock in Hz"},
                                                                 {&beacon.timerPrescale, "timer's prescaler"},
                                                                 {&beacon.timerHz, "timer in Hz"}};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto read = typedNumber(*fields[i].first, fields[i].second);
        if (const auto* why = std::get_if<std::string>(&read)) return *why;
        if (const auto* value = std::get_if<double>(&read)) values[i] = *value;
    }
    if (values[1] && *values[1] != static_cast<int>(*values[1]))
        return "the timer's prescaler takes a whole number; '" + beacon.timerPrescale + "' is not one";
    return controllerFor(*mcu, values[0], values[1] ? std::optional(static_cast<int>(*values[1])) : std::nullopt,
                         values[2]);
}

}  // namespace jt4dds
