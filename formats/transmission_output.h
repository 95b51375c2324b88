// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "calc/transmission/minute.h"
#include "formats/json_text.h"

namespace jt4dds {

// The transmission in a firmware file, so that its controller needs no
// protocol code: the channel symbols one to a byte and four to a byte (the
// first in bits 7-6), the minute's parts with their start and length in
// microseconds and in timer counts, what each keys, and the CW as runs of
// dots. `prefix` names the identifiers ("jt4dds" or the beacon's name).

// `text` with its ASCII letters upper-cased ("symbols" -> "SYMBOLS"): the
// identifiers' prefix and keys as macro names.
std::string upperCase(std::string text);

// C declarations, placed inside the header's include guard.
std::string cTransmission(const Transmission& t, const std::string& prefix);

// Assembler: the symbols as "de" lines under labels, the timing as equates
// (decimal, D'…'), CR LF line ends.
std::string asmTransmission(const Transmission& t, const std::string& prefix, bool named);

// The same for the JSON report's "transmission".
void writeTransmission(json::Writer& out, const Transmission& t);

}  // namespace jt4dds
