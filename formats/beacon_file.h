// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "calc/transmission/minute.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "formats/json_text.h"

namespace jt4dds {

// A beacon file keeps every input as the operator typed it, so that opening
// it and pressing Calculate gives the same listing byte for byte:
//
//   {
//     "format": "jt4dds-beacon",
//     "version": 2,
//     "fields": {"fout": "2320.1", "mult": "24", "fref": "300", "ref_tone": "1270",
//                "key_up": "400", "key_down": "800", "aux": "1000"},
//     "submode": "D",
//     "config": "Direct Freq Gen",
//     "ref800": false,
//     "transmission": {"message": "OZ7IGY", "cw_id": "OZ7IGY JO55", "wpm": "12",
//                      "cw": true, "carrier": true, "timer_hz": "1000000"},
//     "name": "bake_2320"
//   }
//
// Every field is text, exactly as typed (blanks, commas and units included).
// "submode" and "config" hold the selected item's label, or the text typed
// into the selector when it names no item. "transmission" keeps the message
// and the minute as typed (version 2; a version 1 file has none, and opens
// with no message). "name" (optional) names the
// beacon's firmware files. Keys this version does not know
// are ignored; a missing key is an error. UTF-8, at most kMaxBeaconFileBytes.
inline constexpr std::string_view kBeaconFormatName = "jt4dds-beacon";
inline constexpr int kBeaconFormatVersion = 2;
inline constexpr int kOldestBeaconFormatVersion = 1;
inline constexpr std::size_t kMaxBeaconFileBytes = 64 * 1024;
// Each input's name under "fields" is its key in kInputs.
// The file name ending that the desktop knows beacon files by.
inline constexpr std::string_view kBeaconSuffix = ".jt4dds";

// The inputs of `beacon` as a beacon file's bytes ("\n" line ends, two-space
// indent, keys in the order above), and last the beacon's name for its
// firmware files ("name": "bake_2320") when it has one. The separator is not
// kept: a beacon file is read with ".".
std::string beaconText(const Beacon& beacon);

// Where a beacon file keeps a transmission's field: "transmission.message",
// "transmission.cw_id", "transmission.wpm", "transmission.timer_hz".
std::string beaconFileKey(TransmissionField field);

// The fields as typed, each under its key in kInputs; and the selections as
// typed ("submode", "config", "ref800"): members of the object open in `out`.
// Beacon files and the JSON report name the inputs alike through these.
void writeTypedFields(json::Writer& out, const Beacon& beacon);
void writeTypedSelections(json::Writer& out, const Beacon& beacon);

// True for a name a firmware file can take: a C identifier of 1 to 31
// characters, ASCII letters, digits and '_', not starting with a digit.
bool isFirmwareName(std::string_view name);

// A firmware name made from any text (a beacon file's name without its
// ending): every other character becomes '_', a leading digit gets a '_' in
// front, at most 31 characters; "" when nothing is left.
std::string firmwareNameFrom(std::string_view text);

// The firmware name a beacon file gives by default: its name without folder
// and ending ("beacons/bake-1.jt4dds" -> "bake_1"), made a firmware name.
std::string firmwareNameOfFile(std::string_view path);

// The beacon a beacon file's bytes hold; or what is wrong with them, in words
// that follow a file name ("is not valid JSON at line 3, column 14: unexpected
// '}' where a value belongs", "\"fields\".\"mult\" is missing"). The optional
// "name" must be a firmware name (or empty); a file without one gives an
// empty name. Never throws except std::bad_alloc.
std::variant<Beacon, std::string> readBeacon(std::string_view bytes);

// readBeacon on the file at `path`; an error names the file first.
std::variant<Beacon, std::string> loadBeaconFile(const std::filesystem::path& path);

// Writes beaconText(beacon) to `path` atomically; what went wrong, or nothing.
std::optional<std::string> saveBeaconFile(const std::filesystem::path& path, const Beacon& beacon);

}  // namespace jt4dds
