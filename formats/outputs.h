// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/hearing/simulation.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/calculation_run.h"

namespace jt4dds {
namespace json {
class Writer;
}  // namespace json

// What one press of "Calculate" can be written out as. Every output is built
// from the run's figures (never by re-reading the listing's text), so a change
// of a listing label cannot silently break a firmware file.
enum class OutputFormat {
    Listing,  // the results box's text exactly
    Asm,      // the listing as assembler source, the rest as comment lines
    C,        // a C header with the words as bytes and as 32-bit values
    Json,     // the window's state, every tone's figures, the reads and the findings
    Report,   // for people: the tone table, then the findings with their fixes
};

// "listing", "asm", "c", "json" or "report"; nothing for any other name.
std::optional<OutputFormat> outputFormatNamed(std::string_view name);

// Whose firmware file it is. `name` makes the file's identifiers, so that two
// beacons' files live in one program: C's NAME_words, NAME_word_bytes, the
// include guard NAME_TUNING_WORDS_H and the word roles (NAME_REFERENCE …),
// the assembler's labels NAME_FreqData and equates. Empty keeps the unnamed
// file's jt4dds_words and FreqData. `command` is the jt4dds-cli line
// that writes the file again, quoted in its comment; empty leaves it out.
// `transmission`, when the beacon has a message, adds its symbols and minute;
// `leftOut`, when its message cannot be sent, says why the file has none, in
// the file, rather than leave them out without a word.
// Typed text on one comment line of C or assembler: a line break would end
// an assembler comment and "*/" a C one, so control characters are written
// as escapes ("\n", "\x01") and "*/" as "* /".
std::string commentSafe(std::string_view text);

struct FirmwareFile {
    std::string name;
    std::string command;
    std::optional<Transmission> transmission;
    std::string leftOut;
};

// The assembler include: the header and "de" lines as the listing has them
// (CR LF; a named file labels them NAME_FreqData, and PI4 is named "PI4"),
// then the resolution, SSB carrier and warning as comments, PI4's resolution
// caption as the note it is. Needs a completed run.
std::string asmSource(const Press& outcome, const FirmwareFile& file = {});

// A C99 header: a comment block with the whole plan (every field as typed,
// the mode, arrangement and option, the exact reference and multiplication,
// the command that writes it again), then the word roles, the words as
// NAME_word_bytes[8][4] (most significant byte first) and NAME_words[8].
// Needs a completed run.
std::string cHeader(const Press& outcome, const FirmwareFile& file = {});

// The JSON report: {"format": "jt4dds-report", "version": 2, "inputs" (every
// input as typed, by its key, with "submode", "config" and "ref800"), the
// window's state after this one press ("listing", "warning", "ref_tone" as the
// field shows it, "ssb_carrier", "ssb_caption_visible"), "completed",
// "error", each tone's figures, how each input was read and every finding};
// for any run, one that stopped included.
inline constexpr std::string_view kReportFormatName = "jt4dds-report";
inline constexpr int kReportFormatVersion = 2;
std::string jsonReport(const Press& outcome, const std::vector<Finding>& findings,
                       const std::optional<Transmission>& transmission = std::nullopt,
                       const std::function<void(json::Writer&)>& more = {});

// A plain-text report with "\n" line ends: the plan, the per-tone table
// (tone, audio, planned and realised output, error, word), then the findings
// and their fixes. Numbers use "." whatever the listing's separator.
std::string planReport(const Press& outcome, const std::vector<Finding>& findings);

// The tone table as text cells, one row per tone written: tone, audio Hz,
// planned MHz, realised MHz ("over limit" or "-" when there is none), error Hz
// (signed), word, and the tone's name. The report and every view show these.
inline constexpr std::array<std::string_view, 7> kToneTableHeadings{
    "Tone", "Audio Hz", "Planned MHz", "Realised MHz", "Error Hz", "Word", "Tone is",
};
std::vector<std::array<std::string, 7>> toneTableCells(const RunFigures& figures);

// "Direct Freq Gen, JT4D, Master Reference 300 MHz, RF Multiplication 24"
// (and ", 800 Hz reference tone" with the option): the plan a press was
// made with, for the report and the views. Empty before the header.
std::string planSummary(const RunFigures& figures);
// Tone details' line over the table: the plan, the resolution and the
// nominal data-tone spacing; or that the last press calculated no tones.
std::string toneDetailsSummary(const RunFigures& figures);

// "Receiver: USB dial 2320.098730 MHz (the SSB tuning point); data tone 0
// heard at 1187.5 Hz, …": where to tune and what to give a decoder, one line.
// Where nothing can decode, it says why: a silent data tone 0, one outside
// the receiver's audio, or the lower sideband (the tones heard reversed).
std::string receiverText(const Receiver& receiver);
// The line over a heard minute: receiverText when there is one, else why
// there is nothing to hear (no message, or a press that wrote no tones).
std::string hearingText(const Press& press, const std::optional<HeardMinute>& heard);

// `text` with blanks in front up to `width` characters: a table's column.
std::string rightAligned(std::string text, std::size_t width);

// Every finding on a line of its own, as findingLine writes it; "" when none.
std::string findingsText(const std::vector<Finding>& findings);
// The same for Tone details, where no findings is news worth a line.
std::string toneDetailsFindings(const std::vector<Finding>& findings);

// Whether an output of a press may leave the program, the same for the CLI,
// the window and the page. Firmware source (asm, C) is written only for a
// completed press, and only without an error finding unless forced; a file
// of the listing likewise only for a completed press. The reports (JSON,
// report) are written in any case, since they say why.
enum class ExportGate {
    Open,
    Stopped,        // the press stopped before its end
    ErrorFindings,  // an error finding says these words cannot make the beacon; forcing opens it
};
ExportGate exportGate(OutputFormat format, const Press& press, const std::vector<Finding>& findings, bool force,
                      bool toFile);
// Why the gate is shut, for a person: the press's stop, or every finding.
std::string exportRefusal(ExportGate gate, const Press& press, const std::vector<Finding>& findings);
// What the views ask before writing words an error finding refuses: its
// title, and the question under the refusal.
inline constexpr std::string_view kForceTitle = "These words cannot make the beacon";
std::string forceQuestion(const std::string& refusal);

// What the status line under the results says about the last press.
struct PressStatus {
    bool stale = false;  // the fields differ from the last press: its results are not theirs
    std::string text;    // one line
};
// Never pressed: asks for a press. Stale: says that the results are the last
// press's and that copies and exports calculate first. Otherwise the most
// severe finding (an error before any warning, a warning before any note;
// the first of its severity) with its fix, or that there is none.
PressStatus pressStatus(bool pressed, bool stale, const std::vector<Finding>& findings);

// Channel symbols as jt4code prints them: each after a space, 30 to a line,
// every line ended with "\n".
std::string symbolRows(const std::vector<std::uint8_t>& symbols);

// What the Transmission views say of the beacon's minute: what goes out
// ("JT4 sends 'CQ K1ABC FN42': 206 symbols of 228.571 ms"), why nothing can,
// or that there is no message.
std::string sentText(const std::variant<Transmission, Refusal>& planned);
// The minute's parts, one a line, for its timeline; or that nothing is sent.
std::string timelineText(const std::vector<Segment>& segments);
// The findings about the minute, one a line; or that there are none.
std::string minuteFindingsText(const std::vector<Finding>& findings);

// The output of `format` for a press; `file` names the firmware outputs.
std::string render(OutputFormat format, const Press& outcome, const std::vector<Finding>& findings,
                   const FirmwareFile& file = {});

}  // namespace jt4dds
