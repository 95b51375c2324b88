// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace jt4dds {

// The channel symbols of a JT4 or PI4 message: each 0 to 3, the index of the
// data tone sent (data tone 0 the lowest), in the order they go on the air.
inline constexpr std::size_t kJt4SymbolCount = 206;
inline constexpr std::size_t kPi4SymbolCount = 146;
inline constexpr std::size_t kPi4MessageLength = 8;
inline constexpr std::size_t kJt4FreeTextLength = 13;

// How a JT4 message went out.
enum class Jt4MessageKind {
    Standard,  // two calls (or CQ, QRZ, DE and a call) and a locator, a report, RO, RRR or 73, or nothing
    FreeText,  // the first 13 characters of anything else
};

struct EncodedMessage {
    std::string sent;                   // the message as normalised and sent ("CQ K1ABC FN42", "OZ7IGY  ")
    std::vector<std::uint8_t> symbols;  // 206 for JT4, 146 for PI4, each 0..3
    Jt4MessageKind kind = Jt4MessageKind::Standard;
    bool invertedSync = false;   // JT4: a "-0x" to "-3x" report goes with the sync inverted
    std::string sentAsSpaces;    // JT4 free text: the characters its alphabet has not, sent as spaces
    std::string truncated;       // JT4 free text: what followed the 13th character and is not sent
    std::string receivedAs;      // JT4: what decoders print where it differs from `sent`; else empty
    std::uint64_t pi4Value = 0;  // PI4: the 42-bit value of the 8 characters
};

// A message as the protocols' programs take it: upper case, runs of blanks
// (spaces, tabs, line breaks) made one space, none at the end; blanks in
// front leave one space there (JT4 then sends free text; PI4 drops it). Any
// bytes; never throws but std::bad_alloc.
std::string normalisedMessage(std::string_view text);

// JT4: "CALL1 CALL2 [GRID|REPORT]" (CALL1 may be CQ, QRZ or DE; a report is
// -01..-30, R-01..R-30, RO, RRR or 73) as a standard message, anything else as
// 13 characters of free text over 0-9, A-Z, space and + - . / ?, other
// characters sent as spaces (and said so). Refused, with a message that
// names the problem and what JT4 takes: an empty message, non-ASCII text, and
// calls with a prefix or suffix ("PA/K1ABC", "K1ABC/P"), which this program
// does not encode. Never throws but std::bad_alloc.
std::variant<EncodedMessage, std::string> encodeJt4(std::string_view text);

// PI4: at most 8 characters of 0-9, A-Z, space and '/', left-justified and
// padded with spaces to 8. Refused, with a message that names the character
// or the length and what PI4 takes ("PI4 sends exactly 8 characters of 0-9,
// A-Z, space and '/'; 'OZ7IGY/B1' has 9"). Never throws but std::bad_alloc.
std::variant<EncodedMessage, std::string> encodePi4(std::string_view text);

}  // namespace jt4dds
