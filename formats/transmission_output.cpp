// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/transmission_output.h"

#include "calc/transmission/controller.h"

#include <cmath>

#include "calc/numbers/number_format.h"

namespace jt4dds {

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

namespace {

std::uint64_t micros(double seconds) { return static_cast<std::uint64_t>(std::llround(seconds * 1e6)); }

std::string modeOf(const Transmission& t) { return t.pi4 ? "PI4" : "JT4"; }

std::string hexByte(std::uint8_t b) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[b >> 4] + kDigits[b & 15];
}

// "CQ K1ABC FN42" with any '*' '/' pair broken, safe inside a C comment.
std::string quoted(const std::string& sent) {
    std::string out = "\"";
    for (char c : sent) {
        if (c == '/' && !out.empty() && out.back() == '*') out += ' ';
        out += c;
    }
    return out + "\"";
}

std::string countsOf(const Transmission& t, double seconds) {
    const auto count = t.timerHz ? timerCount(seconds, *t.timerHz) : std::nullopt;
    return count ? std::to_string(count->counts) : std::string("0");
}

// Part `i`'s length in counts as a controller plays it: the message N whole
// symbol periods, the CW its whole dots (not the seconds rounded, which can
// be a count or more off what the firmware really plays); 0 without a timer.
std::string playedCountsOf(const Transmission& t, std::size_t i) {
    const auto parts = partCounts(t);
    return i < parts.size() ? std::to_string(parts[i].end - parts[i].start) : std::string("0");
}

}  // namespace

std::string cTransmission(const Transmission& t, const std::string& prefix) {
    const std::string up = upperCase(prefix);
    const Minute& m = t.minute;
    const auto packed = packedSymbols(t.message.symbols);
    std::string out;
    out += "/* The message " + quoted(t.message.sent) + " as " + modeOf(t) +
           " sends it: " + std::to_string(t.message.symbols.size()) +
           " channel symbols, each 0 to 3, the data tone sent (word 0 to 3 above). */\n";
    out += "#define " + up + "_SYMBOL_COUNT " + std::to_string(t.message.symbols.size()) + "\n";
    out += "static const uint8_t " + prefix + "_symbols[" + up + "_SYMBOL_COUNT] JT4DDS_STORAGE JT4DDS_UNUSED = {";
    for (std::size_t i = 0; i < t.message.symbols.size(); ++i)
        out += std::string(i % 30 == 0 ? "\n    " : " ") + std::to_string(t.message.symbols[i]) + ",";
    out += "\n};\n";
    out +=
        "/* The same four to a byte: symbol 4k in bits 7-6 of byte k, 4k+1 in bits 5-4, 4k+2 in bits 3-2,\n"
        " * 4k+3 in bits 1-0; the last byte padded with symbol 0. */\n";
    out += "static const uint8_t " + prefix + "_symbols_packed[" + std::to_string(packed.size()) +
           "] JT4DDS_STORAGE JT4DDS_UNUSED = {";
    for (std::size_t i = 0; i < packed.size(); ++i)
        out += std::string(i % 12 == 0 ? "\n    " : " ") + hexByte(packed[i]) + ",";
    out += "\n};\n\n";
    out += "/* Timing, in microseconds and in counts of a " +
           (t.timerHz ? decimalText(*t.timerHz, 6) + " Hz timer" : std::string("timer (none given: counts 0)")) +
           ". */\n";
    out += "#define " + up + "_TIMER_HZ " + (t.timerHz ? decimalText(*t.timerHz, 6) : std::string("0")) + "\n";
    out += "#define " + up + "_SYMBOL_US " + decimalText(m.symbolS * 1e6, 6) + " /* one symbol, exactly */\n";
    out += "#define " + up + "_SYMBOL_COUNTS " + countsOf(t, m.symbolS) + "UL";
    if (const auto c = t.timerHz ? timerCount(m.symbolS, *t.timerHz) : std::nullopt)
        out += " /* " + fixedText(c->errorPpm, 3) + " ppm */";
    out += "\n#define " + up + "_CW_DOT_US " + std::to_string(micros(m.dotS)) + "UL\n";
    out += "#define " + up + "_CW_DOT_COUNTS " + countsOf(t, m.dotS) + "UL\n\n";
    out += "/* What a part of the minute keys. */\nenum {\n";
    out += "    " + up + "_KEYS_SYMBOLS = 0, /* word 0 to 3 by the channel symbols, one symbol period each */\n";
    out += "    " + up + "_KEYS_CW = 1, /* KEY_DOWN word for a mark, KEY_UP between marks: " + prefix + "_cw */\n";
    out += "    " + up + "_KEYS_REFERENCE = 2 /* the REFERENCE word: the carrier */\n};\n";
    out += "struct " + prefix + "_segment {\n    uint32_t start_us; /* from the start of the UTC minute */\n";
    out += "    uint32_t length_us;\n    uint32_t start_counts;\n    uint32_t length_counts;\n    uint8_t keys;\n};\n";
    out += "#define " + up + "_SEGMENT_COUNT " + std::to_string(m.segments.size()) + "\n";
    out += "static const struct " + prefix + "_segment " + prefix + "_segments[" + up +
           "_SEGMENT_COUNT] JT4DDS_STORAGE JT4DDS_UNUSED = {\n";
    for (std::size_t i = 0; i < m.segments.size(); ++i) {
        const Segment& s = m.segments[i];
        const std::string keys = "_KEYS_" + upperCase(std::string(keyedName(s.keyed)));
        out.append("    {").append(std::to_string(micros(s.startS))).append("UL, ");
        out.append(std::to_string(micros(s.lengthS))).append("UL, ").append(countsOf(t, s.startS)).append("UL, ");
        out.append(playedCountsOf(t, i)).append("UL, ").append(up).append(keys).append("}, /* ");
        out.append(s.name).append(" */\n");
    }
    out += "};\n";
    out += "/* The CW identification as runs of dots: n > 0 key down n dots, n < 0 key up -n dots. */\n";
    out += "#define " + up + "_CW_RUN_COUNT " + std::to_string(m.cw.size()) + "\n";
    out += "static const int8_t " + prefix + "_cw[" + (m.cw.empty() ? std::string("1") : up + "_CW_RUN_COUNT") +
           "] JT4DDS_STORAGE JT4DDS_UNUSED = {";
    for (std::size_t i = 0; i < m.cw.size(); ++i)
        out += std::string(i % 20 == 0 ? "\n    " : " ") + (m.cw[i].keyDown ? "" : "-") + std::to_string(m.cw[i].dots) +
               ",";
    if (m.cw.empty()) out += "0 /* none */";
    out += "\n};\n\n";
    return out;
}

std::string asmTransmission(const Transmission& t, const std::string& prefix, bool named) {
    constexpr std::string_view kEnd = "\r\n";
    const std::string up = upperCase(prefix);
    const std::string label = named ? prefix + "_" : std::string();
    const Minute& m = t.minute;
    std::string out;
    const auto line = [&](const std::string& text) { out.append(text).append(kEnd); };
    const auto dataLines = [&](const std::vector<std::uint8_t>& bytes) {
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            std::string l = "    de  ";
            for (std::size_t j = i; j < bytes.size() && j < i + 8; ++j) l += (j > i ? ", " : "") + hexByte(bytes[j]);
            line(l);
        }
    };
    const auto equ = [&](const std::string& name, const std::string& value) {
        line(up + "_" + name + " equ D'" + value + "'");
    };
    line("; The message " + quoted(t.message.sent) + " as " + modeOf(t) +
         " sends it: " + std::to_string(t.message.symbols.size()) + " channel symbols, each 0 to 3 (the word sent)");
    line(label + "Symbols");
    dataLines(t.message.symbols);
    line("; The same four to a byte, the first symbol in bits 7-6");
    line(label + "SymbolsPacked");
    dataLines(packedSymbols(t.message.symbols));
    line("; Timing in counts of a " +
         (t.timerHz ? decimalText(*t.timerHz, 6) + " Hz timer" : std::string("timer: none given, 0")) +
         "; each part of the minute: start and length, what it keys (0 symbols, 1 CW, 2 reference)");
    equ("SYMBOL_COUNT", std::to_string(t.message.symbols.size()));
    equ("SYMBOL_COUNTS", countsOf(t, m.symbolS));
    equ("CW_DOT_COUNTS", countsOf(t, m.dotS));
    equ("SEGMENT_COUNT", std::to_string(m.segments.size()));
    for (std::size_t i = 0; i < m.segments.size(); ++i) {
        const Segment& s = m.segments[i];
        const std::string n = "SEGMENT" + std::to_string(i) + "_";
        line("; " + std::string(s.name) + " from " + fixedText(s.startS, 6) + " s for " + fixedText(s.lengthS, 6) +
             " s");
        equ(n + "START_COUNTS", countsOf(t, s.startS));
        equ(n + "LENGTH_COUNTS", playedCountsOf(t, i));
        equ(n + "KEYS", std::to_string(static_cast<int>(s.keyed)));
    }
    equ("CW_RUN_COUNT", std::to_string(m.cw.size()));
    if (!m.cw.empty()) {
        line("; The CW identification as runs of dots, key down and key up by turns, the first key down");
        line(label + "CwRuns");
        std::vector<std::uint8_t> runs;
        for (const CwElement& e : m.cw) runs.push_back(static_cast<std::uint8_t>(e.dots));
        dataLines(runs);
    }
    return out;
}

void writeTransmission(json::Writer& out, const Transmission& t) {
    const Minute& m = t.minute;
    out.beginObject();
    out.member("mode", modeOf(t));
    out.member("message", t.message.sent);
    out.key("symbols").beginList();
    for (std::uint8_t s : t.message.symbols) out.value(static_cast<int>(s));
    out.endList();
    out.key("symbols_packed").beginList();
    for (std::uint8_t b : packedSymbols(t.message.symbols)) out.value(static_cast<int>(b));
    out.endList();
    out.member("symbol_s", m.symbolS);
    out.member("cw_dot_s", m.dotS);
    out.member("timer_hz", t.timerHz);
    const auto symbolCount = t.timerHz ? timerCount(m.symbolS, *t.timerHz) : std::nullopt;
    out.member("symbol_counts", symbolCount ? std::optional(symbolCount->counts) : std::nullopt);
    out.member("symbol_error_ppm", symbolCount ? std::optional(symbolCount->errorPpm) : std::nullopt);
    const auto dotCount = t.timerHz ? timerCount(m.dotS, *t.timerHz) : std::nullopt;
    out.member("cw_dot_counts", dotCount ? std::optional(dotCount->counts) : std::nullopt);
    // Each part in counts as the firmware plays it (a part from 0 s starts at
    // count 0; it was left without a count).
    const auto counted = partCounts(t);
    out.key("segments").beginList();
    for (std::size_t i = 0; i < m.segments.size(); ++i) {
        const Segment& s = m.segments[i];
        const bool known = i < counted.size();
        out.beginObject();
        out.member("name", s.name);
        out.member("keys", keyedName(s.keyed));
        out.member("start_s", s.startS);
        out.member("length_s", s.lengthS);
        out.member("start_counts", known ? std::optional(counted[i].start) : std::nullopt);
        out.member("end_counts", known ? std::optional(counted[i].end) : std::nullopt);
        out.endObject();
    }
    out.endList();
    // Every frame a controller latches into the DDS in one minute, in counts
    // from the minute pulse: a tone's word (the rows' tone index) or the
    // power-down frame. Empty without a timer.
    out.key("frames").beginList();
    for (const Frame& f : minuteFrames(t)) {
        out.beginObject().member("counts", f.counts);
        if (f.powerDown) {
            out.member("power_down", true);
        } else {
            out.member("tone", f.tone);
        }
        out.endObject();
    }
    out.endList();
    out.key("cw").beginList();
    for (const CwElement& e : m.cw) out.beginObject().member("key_down", e.keyDown).member("dots", e.dots).endObject();
    out.endList();
    out.member("fits_the_minute", m.fits);
    out.endObject();
}

}  // namespace jt4dds
