// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/transmission/message.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <optional>

namespace jt4dds {
namespace {

// The sync vectors as they go on the air, element 0 first.
constexpr std::string_view kJt4Sync =
    "0001100011011001010000000110000000000001011011010111110100010010011111"
    "0001010001111011001000110101010101111101010110101011100101101111000011"
    "011000111011101110010001101100100011111100110000110001011011110101";
constexpr std::string_view kPi4Sync =
    "0010011110101010010001000110011110011111001101111010110110100000111110"
    "1010000011111010010010100001001100000110000110011101110110101010000111"
    "000011";
static_assert(kJt4Sync.size() == kJt4SymbolCount && kPi4Sync.size() == kPi4SymbolCount);

constexpr std::uint32_t kCallBase = 37U * 36U * 10U * 27U * 27U * 27U;  // 262,177,560: calls below it
constexpr std::uint32_t kCq = kCallBase + 1;
constexpr std::uint32_t kQrz = kCallBase + 2;
constexpr std::uint32_t kDe = 267'796'945;
constexpr std::uint32_t kGridBase = 180U * 180U;  // locators below it
constexpr std::string_view kFreeTextAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./?";
constexpr std::string_view kPi4Alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ /";
constexpr int kTailBits = 31;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The rate-1/2 convolutional code of constraint length 32: two parity bits for
// each source bit, MSB first, the source followed by 31 zero bits.
std::vector<std::uint8_t> convolved(const std::vector<std::uint8_t>& source) {
    std::vector<std::uint8_t> coded;
    coded.reserve(2 * (source.size() + kTailBits));
    std::uint32_t reg = 0;
    const auto push = [&](std::uint8_t bit) {
        reg = (reg << 1U) | bit;
        coded.push_back(static_cast<std::uint8_t>(std::bitset<32>(reg & 0xF2D05351U).count() & 1U));
        coded.push_back(static_cast<std::uint8_t>(std::bitset<32>(reg & 0xE4613C47U).count() & 1U));
    };
    for (std::uint8_t bit : source) push(bit);
    for (int i = 0; i < kTailBits; ++i) push(0);
    return coded;
}

// The coded bits in bit-reversed order of their index (8 bits), then each
// symbol: the sync bit plus twice the data bit.
std::vector<std::uint8_t> channelSymbols(const std::vector<std::uint8_t>& coded, std::string_view sync, bool inverted) {
    const std::size_t count = sync.size();
    std::vector<std::uint8_t> data(count, 0);
    std::size_t next = 0;
    for (unsigned i = 0; i < 256 && next < coded.size(); ++i) {
        unsigned j = 0;
        for (unsigned b = 0; b < 8; ++b) j |= ((i >> b) & 1U) << (7 - b);
        if (j < count) data[j] = coded[next++];
    }
    std::vector<std::uint8_t> symbols(count);
    for (std::size_t n = 0; n < count; ++n) {
        const auto syncBit = static_cast<std::uint8_t>(sync[n] == '1' ? 1 : 0);
        symbols[n] = static_cast<std::uint8_t>((inverted ? 1 - syncBit : syncBit) + 2 * data[n]);
    }
    return symbols;
}

void appendBits(std::vector<std::uint8_t>& bits, std::uint64_t value, int width) {
    for (int b = width - 1; b >= 0; --b) bits.push_back(static_cast<std::uint8_t>((value >> b) & 1U));
}

// A call as a number below kCallBase, or nothing when it is none: "K1ABC",
// "VK2ABC", "G4ABC" (six places, the digit third).
std::optional<std::uint32_t> packedCall(std::string_view call) {
    std::string six;
    if (call.size() >= 3 && call.size() <= 6 && isDigit(call[2])) {
        six = call;
    } else if (call.size() >= 2 && call.size() <= 5 && isDigit(call[1])) {
        six.assign(1, ' ').append(call);
    } else {
        return std::nullopt;
    }
    six.resize(6, ' ');
    const auto value = [](char c) -> int {
        if (isDigit(c)) return c - '0';
        if (isLetter(c)) return c - 'A' + 10;
        return c == ' ' ? 36 : -1;
    };
    const int v1 = value(six[0]);
    const int v2 = value(six[1]);
    if (v1 < 0 || v2 < 0 || v2 == 36 || !isDigit(six[2])) return std::nullopt;
    std::uint32_t n = static_cast<std::uint32_t>(v1) * 36U + static_cast<std::uint32_t>(v2);
    n = n * 10U + static_cast<std::uint32_t>(six[2] - '0');
    for (std::size_t i = 3; i < 6; ++i) {
        const char c = six[i];
        if (!isLetter(c) && c != ' ') return std::nullopt;
        n = n * 27U + static_cast<std::uint32_t>(c == ' ' ? 26 : c - 'A');
    }
    return n;
}

// "PA/K1ABC", "K1ABC/P": a call with a prefix or suffix.
bool isCompoundCall(std::string_view word) {
    if (word.find('/') == std::string_view::npos) return false;
    for (std::size_t at = 0; at <= word.size();) {
        const std::size_t end = std::min(word.find('/', at), word.size());
        const std::string_view part = word.substr(at, end - at);
        if (part.size() >= 3 && packedCall(part)) return true;
        at = end + 1;
    }
    return false;
}

std::optional<std::uint32_t> packedFirstWord(std::string_view word) {
    if (word == "CQ") return kCq;
    if (word == "QRZ") return kQrz;
    if (word == "DE") return kDe;
    return packedCall(word);
}

// The third word: a locator "FN42", a report, or nothing.
std::optional<std::uint32_t> packedThird(std::optional<std::string_view> word) {
    if (!word) return kGridBase + 1;
    const std::string_view w = *word;
    const auto twoDigits = [](const std::string_view d) -> std::optional<int> {
        if (d.size() != 2 || !isDigit(d[0]) || !isDigit(d[1])) return std::nullopt;
        const int n = (d[0] - '0') * 10 + (d[1] - '0');
        return n >= 1 && n <= 30 ? std::optional(n) : std::nullopt;
    };
    if (w.size() == 4 && w[0] >= 'A' && w[0] <= 'R' && w[1] >= 'A' && w[1] <= 'R' && isDigit(w[2]) && isDigit(w[3])) {
        const double longitude = 180.0 - 20.0 * (w[0] - 'A') - 2.0 * (w[2] - '0') - 5.0 * 12.5 / 60.0;
        const double latitude = -90.0 + 10.0 * (w[1] - 'A') + (w[3] - '0') + 2.5 * 12.5 / 60.0;
        const int lon = static_cast<int>(longitude);  // toward zero
        const int lat = static_cast<int>(latitude + 90.0);
        return static_cast<std::uint32_t>(((lon + 180) / 2) * 180 + lat);
    }
    // "-7" is "-07", as the protocol's programs read it.
    const auto report = [&](std::string_view digits) {
        if (digits.size() != 1) return twoDigits(digits);
        const std::array<char, 2> padded{'0', digits[0]};
        return twoDigits(std::string_view(padded.data(), padded.size()));
    };
    if (w.size() >= 2 && w[0] == '-')
        if (const auto n = report(w.substr(1))) return kGridBase + 1 + static_cast<std::uint32_t>(*n);
    if (w.size() >= 3 && w.starts_with("R-"))
        if (const auto n = report(w.substr(2))) return kGridBase + 31 + static_cast<std::uint32_t>(*n);
    if (w == "RO") return kGridBase + 62;
    if (w == "RRR") return kGridBase + 63;
    if (w == "73") return kGridBase + 64;
    return std::nullopt;
}

// Forms the protocol's programs send as standard messages that this program
// does not encode: refused rather than sent differently.
std::optional<std::string> unsentForm(const std::vector<std::string_view>& words, bool first, bool second, bool third) {
    // A call with a prefix or suffix where a standard message has its calls
    // (CQ, QRZ, DE or a call first, a call second) has packings of its own,
    // which this program does not make. Anywhere else a slash is free text,
    // as the field's encoder sends it ("OZ7IGY/B JO55", "BCN 10GHZ/JO2").
    const auto callShaped = [](std::string_view w) { return packedCall(w).has_value() || isCompoundCall(w); };
    const bool firstIsCall = words[0] == "CQ" || words[0] == "QRZ" || words[0] == "DE" || callShaped(words[0]);
    const std::size_t compound = isCompoundCall(words[0]) ? 0 : 1;
    if (firstIsCall && callShaped(words[1]) && isCompoundCall(words[compound])) {
        // The same words from the compound call on, as free text.
        std::string free(words[compound]);
        for (std::size_t w = compound + 1; w < words.size() && free.size() + 1 + words[w].size() <= 13; ++w)
            free.append(1, ' ').append(words[w]);
        return "calls with a prefix or suffix (PA/K1ABC, K1ABC/P) in a standard message are not sent by this "
               "program; send the plain call, or free text of at most 13 characters such as '" +
               free + "'";
    }
    const std::string_view after = words[1];
    const bool cqTarget = (after.size() == 2 && isLetter(after[0]) && isLetter(after[1])) ||
                          (after.size() == 3 && std::all_of(after.begin(), after.end(), isDigit));
    if (words[0] == "CQ" && words.size() >= 3 && cqTarget && packedCall(words[2]))
        return "CQ with a direction or a number (CQ DX K1ABC, CQ 123 K1ABC) is not sent by this program; send "
               "CQ and the call";
    if (first && second && !third && words.size() >= 3) {
        const std::string_view w = words[2];
        const std::size_t sign = w.starts_with("R") ? 1 : 0;
        const bool reportShaped = w.size() > sign + 1 && (w[sign] == '-' || w[sign] == '+') &&
                                  std::all_of(w.begin() + static_cast<std::ptrdiff_t>(sign) + 1, w.end(), isDigit);
        if (reportShaped)
            return std::string(1, '\'').append(w).append(
                "' is not a report this program sends: JT4 reports run from "
                "-01 to -30 (R-01 to R-30), or RO, RRR and 73");
    }
    return std::nullopt;
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    for (std::size_t at = text.starts_with(' ') ? 1 : 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

constexpr std::string_view kJt4Takes =
    "JT4 sends two calls (or CQ, QRZ or DE and a call) with a locator or a report, or up to 13 characters of "
    "0-9, A-Z, space and + - . / ?";

}  // namespace

std::string normalisedMessage(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::variant<EncodedMessage, std::string> encodeJt4(std::string_view text) {
    EncodedMessage m;
    m.sent = normalisedMessage(text);
    if (m.sent.empty()) return "the message is empty: " + std::string(kJt4Takes);
    for (char c : m.sent)
        if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return "the message holds a character that is no printable ASCII: " + std::string(kJt4Takes);

    std::uint32_t nc1 = 0;
    std::uint32_t nc2 = 0;
    std::uint32_t ng = 0;
    const auto words = wordsOf(m.sent);
    std::optional<std::uint32_t> first;
    std::optional<std::uint32_t> second;
    std::optional<std::uint32_t> third;
    if (words.size() >= 2 && m.sent.front() != ' ') {
        first = packedFirstWord(words[0]);
        second = packedCall(words[1]);
        third = packedThird(words.size() >= 3 ? std::optional(words[2]) : std::nullopt);
        if (const auto why = unsentForm(words, first.has_value(), second.has_value(), third.has_value()))
            return "'" + m.sent + "': " + *why;
    }
    if (first && second && third) {
        m.kind = Jt4MessageKind::Standard;
        // The packing keeps 3X calls as Q…, so a call that begins with Q
        // is printed by every decoder as 3X and the rest.
        const auto asPrinted = [](std::string_view w) {
            return w.starts_with('Q') && packedCall(w) ? "3X" + std::string(w.substr(1)) : std::string(w);
        };
        const std::string one = words[0] == "QRZ" ? std::string(words[0]) : asPrinted(words[0]);
        const std::string two = asPrinted(words[1]);
        if (one != words[0] || two != words[1]) {
            m.receivedAs = one + ' ' + two;
            for (std::size_t w = 2; w < std::min<std::size_t>(words.size(), 3); ++w)
                m.receivedAs += ' ' + std::string(words[w]);
        }
        nc1 = *first;
        nc2 = *second;
        ng = *third;
        // Words after the third are not sent, as the protocol's programs do.
        if (words.size() > 3) {
            const std::size_t end = static_cast<std::size_t>(words[2].data() + words[2].size() - m.sent.data());
            m.truncated = m.sent.substr(end);
            m.sent.resize(end);
        }
    } else {
        m.kind = Jt4MessageKind::FreeText;
        if (m.sent.size() > kJt4FreeTextLength) {
            m.truncated = m.sent.substr(kJt4FreeTextLength);
            m.sent.resize(kJt4FreeTextLength);
        }
        std::string padded = m.sent;
        padded.resize(kJt4FreeTextLength, ' ');
        std::array<std::uint32_t, 3> parts{};
        for (std::size_t i = 0; i < kJt4FreeTextLength; ++i) {
            std::size_t v = kFreeTextAlphabet.find(padded[i]);
            if (v == std::string_view::npos) {
                m.sentAsSpaces += padded[i];
                m.sent[i] = ' ';
                v = kFreeTextAlphabet.find(' ');
            }
            std::uint32_t& part = parts[i < 5 ? 0 : i < 10 ? 1 : 2];
            part = part * 42U + static_cast<std::uint32_t>(v);
        }
        nc1 = 2U * parts[0] + ((parts[2] >> 15U) & 1U);
        nc2 = 2U * parts[1] + ((parts[2] >> 16U) & 1U);
        ng = (parts[2] & 0x7FFFU) + 0x8000U;
    }
    // A report "-0x" to "-3x" goes with the sync inverted.
    const std::size_t dash = m.sent.find('-');
    m.invertedSync = dash != std::string::npos && dash >= 8 && dash + 1 < m.sent.size() && m.sent[dash + 1] >= '0' &&
                     m.sent[dash + 1] <= '3';

    std::vector<std::uint8_t> source;
    appendBits(source, nc1, 28);
    appendBits(source, nc2, 28);
    appendBits(source, ng, 16);
    m.symbols = channelSymbols(convolved(source), kJt4Sync, m.invertedSync);
    return m;
}

std::variant<EncodedMessage, std::string> encodePi4(std::string_view text) {
    constexpr std::string_view kPi4Takes = "PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'";
    EncodedMessage m;
    m.sent = normalisedMessage(text);
    if (m.sent.starts_with(' ')) m.sent.erase(0, 1);  // left-justified
    if (m.sent.empty()) return "the message is empty: " + std::string(kPi4Takes);
    if (m.sent.size() > kPi4MessageLength)
        return std::string(kPi4Takes) + "; '" + m.sent + "' has " + std::to_string(m.sent.size());
    for (char c : m.sent) {
        if (kPi4Alphabet.find(c) == std::string_view::npos) {
            const auto byte = static_cast<unsigned char>(c);
            const std::string shown = byte >= 0x20 && byte < 0x7F
                                          ? std::string{'\'', c, '\''}
                                          : std::string("a character that is not printable ASCII");
            return std::string(kPi4Takes) + "; '" + m.sent + "' has " + shown;
        }
    }
    m.sent.resize(kPi4MessageLength, ' ');
    for (char c : m.sent) m.pi4Value = m.pi4Value * 38U + kPi4Alphabet.find(c);
    std::vector<std::uint8_t> source;
    appendBits(source, m.pi4Value, 42);
    m.symbols = channelSymbols(convolved(source), kPi4Sync, false);
    return m;
}

}  // namespace jt4dds
