// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/outputs.h"

#include <algorithm>

#include "calc/hearing/simulation.h"
#include "calc/numbers/number_format.h"
#include "calc/tuning/listing.h"
#include "formats/beacon_file.h"
#include "formats/json_text.h"
#include "formats/transmission_output.h"

namespace jt4dds {
namespace {

std::string resolutionText(const RunFigures& f) {
    return formatNumber(*f.resolutionHz, NumberPattern::Hertz, f.separator);
}

// What a row's listing comment says: "Tone 0  2320.0999414MHz".
std::string comment(const RunFigures& f, std::size_t row) {
    return rowComment(static_cast<int>(row), f.rows[row], f.separator);
}

void writeReads(json::Writer& out, const RunFigures& f) {
    out.beginObject();
    for (const InputSpec& entry : kInputs) {
        const auto& read = f.read(entry.input);
        if (!read) continue;
        const NumberRead& n = read->number;
        out.key(entry.key).beginObject();
        out.member("text", read->text);
        out.member("value", n.inRange ? std::optional(n.value) : std::nullopt);
        out.member("ignored", read->text.substr(n.end));
        out.endObject();
    }
    out.endObject();
}

// Text that may be absent: null when empty.
std::optional<std::string_view> unlessEmpty(std::string_view text) {
    return text.empty() ? std::nullopt : std::optional(text);
}

void writeFindings(json::Writer& out, const std::vector<Finding>& findings) {
    out.beginList();
    for (const Finding& finding : findings) {
        out.beginObject();
        out.member("severity", severityName(finding.severity));
        out.member("kind", kindName(finding.kind));
        out.member("subject", findingSubject(finding));
        out.member("field", finding.field ? std::optional(fieldName(*finding.field)) : std::nullopt);
        out.key("tones").beginList();
        for (int row = 0; row < kToneCount; ++row)
            if ((finding.tones >> row) & 1U) out.value(row);
        out.endList();
        out.member("caption", unlessEmpty(finding.caption));
        out.member("message", finding.message);
        out.member("fix", unlessEmpty(finding.fix));
        out.key("fixes").beginList();
        for (const FixEdits& edits : finding.fixes) {
            out.beginList();
            for (const FieldEdit& edit : edits)
                out.beginObject().member("field", specOf(edit.input).key).member("text", edit.text).endObject();
            out.endList();
        }
        out.endList();
        out.endObject();
    }
    out.endList();
}

// The identifiers of one firmware file.
struct Words {
    std::string prefix;  // NAME, or "jt4dds" unnamed
    std::string words;
    std::string bytes;
    std::string guard;
    std::string asmLabel;
    std::string role(std::size_t row) const { return upperCase(prefix) + "_" + std::string(kRoleNames[row]); }

    static constexpr std::array<std::string_view, kToneCount> kRoleNames{
        "DATA_TONE_0", "DATA_TONE_1", "DATA_TONE_2", "DATA_TONE_3", "REFERENCE", "KEY_UP", "KEY_DOWN", "AUX",
    };
};

Words wordsOf(const FirmwareFile& file) {
    const std::string prefix = file.name.empty() ? std::string("jt4dds") : file.name;
    return {prefix, prefix + "_words", prefix + "_word_bytes", upperCase(prefix) + "_TUNING_WORDS_H",
            file.name.empty() ? std::string("FreqData") : file.name + "_FreqData"};
}

constexpr std::array<std::string_view, kToneCount> kRoleNotes{
    "data tone 0: channel symbol 0", "data tone 1: channel symbol 1",
    "data tone 2: channel symbol 2", "data tone 3: channel symbol 3",
    "reference tone: the carrier",   "FSK CW key-up tone",
    "FSK CW key-down tone",          "aux tone",
};

// PI4 has no spacing number, so the resolution caption shows for every PI4
// plan: in a firmware file it is the note it is, not a warning.
constexpr std::string_view kPi4ResolutionNote =
    "the resolution caption shows for every PI4 plan; what counts for PI4 is its 234.375 Hz tone spacing";

bool pi4ResolutionCaption(const RunFigures& f) {
    return isPi4(f.spacingNumber) && warningShown(f) == std::optional<std::string_view>(kResolutionMessage);
}

std::optional<std::string_view> firmwareWarning(const RunFigures& f) {
    if (pi4ResolutionCaption(f)) return std::nullopt;
    return warningShown(f);
}

// The shortest text that reads back as exactly `value`.
std::string exactText(double value) { return json::numberText(value); }

}  // namespace

std::string commentSafe(std::string_view text) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string safe;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            safe += "\\n";
        } else if (c == '\r') {
            safe += "\\r";
        } else if (c == '\t') {
            safe += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            safe.append("\\x").append(1, kHex[c >> 4U]).append(1, kHex[c & 15U]);
        } else if (c == '*' && i + 1 < text.size() && text[i + 1] == '/') {
            safe += "* ";
        } else {
            safe += static_cast<char>(c);
        }
    }
    return safe;
}

std::optional<OutputFormat> outputFormatNamed(std::string_view name) {
    if (name == "listing") return OutputFormat::Listing;
    if (name == "asm") return OutputFormat::Asm;
    if (name == "c") return OutputFormat::C;
    if (name == "json") return OutputFormat::Json;
    if (name == "report") return OutputFormat::Report;
    return std::nullopt;
}

std::string asmSource(const Press& outcome, const FirmwareFile& file) {
    const RunFigures& f = outcome.figures;
    const Words words = wordsOf(file);
    std::string out;
    out.append("; Tuning words of the JT4/PI4 beacon ")
        .append(file.name.empty() ? std::string("(unnamed)") : file.name)
        .append(", generated by jt4dds-cli: do not edit.")
        .append(kListingLineEnd);
    if (!file.command.empty()) out.append("; Written by: ").append(commentSafe(file.command)).append(kListingLineEnd);
    if (!file.name.empty()) {
        for (std::size_t row = 0; row < kToneCount; ++row)
            out.append(words.role(row)).append(" equ ").append(std::to_string(row)).append(kListingLineEnd);
    }
    // The listing's header line, with the label and the mode as this file names them.
    std::string header = headerLine(f.configLabel, f.submodeLabel, f.frefHz, f.separator);
    header.replace(0, std::string_view("FreqData").size(), words.asmLabel);
    if (const auto at = header.find("JT4PI4"); at != std::string::npos) header.replace(at, 6, "PI4");
    out += header;
    out += kListingLineEnd;
    for (int row = 0; row < kToneCount; ++row) {
        out += rowLine(row, f.rows[static_cast<std::size_t>(row)], f.separator);
        out += kListingLineEnd;
    }
    out.append("; ").append(resolutionLine(*f.resolutionHz, f.separator)).append(kListingLineEnd);
    out.append("; SSB Carrier, Tuning Point  ").append(ssbCarrierText(f)).append(" MHz").append(kListingLineEnd);
    if (const auto warning = firmwareWarning(f)) out.append("; Warning: ").append(*warning).append(kListingLineEnd);
    if (pi4ResolutionCaption(f)) out.append("; Note: ").append(kPi4ResolutionNote).append(kListingLineEnd);
    if (file.transmission) out += asmTransmission(*file.transmission, words.prefix, !file.name.empty());
    if (!file.leftOut.empty())
        out.append("; No message in this file: ").append(commentSafe(file.leftOut)).append(kListingLineEnd);
    return out;
}

std::string cHeader(const Press& outcome, const FirmwareFile& file) {
    const RunFigures& f = outcome.figures;
    const Words words = wordsOf(file);
    std::string out;
    out += "/* DDS tuning words for the JT4/PI4 beacon ";
    out += file.name.empty() ? std::string("(unnamed)") : file.name;
    out += ", generated by jt4dds-cli: do not edit.\n";
    if (!file.command.empty()) out += " * Written by: " + commentSafe(file.command) + "\n";
    out += " *\n";
    out += " * Mode:            " + modeName(f) + "\n";
    out += " * Configuration:   " + f.configLabel + "\n";
    out += " * 800 Hz option:   " + std::string(f.option800 ? "on" : "off") + "\n";
    out += " * Fields as typed:\n";
    for (std::size_t i = 0; i < kAllInputs.size(); ++i) {
        const auto& read = f.reads[i];
        std::string label = std::string(fieldName(kAllInputs[i])) + ":";
        label.resize(std::max<std::size_t>(label.size(), 24), ' ');
        out += " *   " + label + "\"" + commentSafe(read ? read->text : std::string()) + "\"\n";
    }
    out += " * Reference:       " + exactText(f.frefHz) + " Hz\n";
    out += " * Multiplication:  " + exactText(f.mult) + "\n";
    out += " * Output:          " +
           formatNumber(f.rows[kReferenceTone].outputMHz, NumberPattern::OutputMegahertz, f.separator) +
           " (the reference tone)\n";
    out += " * Resolution:      " + resolutionText(f) + "\n";
    out += " * SSB carrier:     " + ssbCarrierText(f) + " MHz\n";
    out += " * Warning:         " + std::string(firmwareWarning(f).value_or("none")) + "\n";
    if (pi4ResolutionCaption(f)) out += " * Note:            " + std::string(kPi4ResolutionNote) + "\n";
    out += " */\n";
    out += "#ifndef " + words.guard + "\n#define " + words.guard + "\n\n#include <stdint.h>\n\n";
    out +=
        "#ifndef JT4DDS_UNUSED\n#if defined(__GNUC__)\n#define JT4DDS_UNUSED __attribute__((unused))\n#else\n#define "
        "JT4DDS_UNUSED\n#endif\n#endif\n\n";
    // Nothing by default: a Harvard AVR would copy the tables into its RAM.
    out +=
        "/* Where the tables live: given nothing, in RAM on an AVR. For its flash, #include\n"
        " * <avr/pgmspace.h> and #define JT4DDS_STORAGE PROGMEM before this header, and read\n"
        " * the tables with pgm_read_byte() and pgm_read_dword(). */\n"
        "#ifndef JT4DDS_STORAGE\n#define JT4DDS_STORAGE\n#endif\n\n";
    out += "#ifndef JT4DDS_TONE_COUNT\n#define JT4DDS_TONE_COUNT 8\n#endif\n\n";
    out += "/* Which word is which: an index into " + words.words + " and " + words.bytes + ". */\n";
    out += "enum {\n";
    for (std::size_t row = 0; row < kToneCount; ++row)
        out += "    " + words.role(row) + " = " + std::to_string(row) + (row + 1 < kToneCount ? "," : "") + " /* " +
               std::string(kRoleNotes[row]) + " */\n";
    out += "};\n\n";
    out += "/* Tones 0 to 7, each word's bytes most significant first. */\n";
    out += "static const uint8_t " + words.bytes + "[JT4DDS_TONE_COUNT][4] JT4DDS_STORAGE JT4DDS_UNUSED = {\n";
    for (std::size_t row = 0; row < kToneCount; ++row) {
        const std::string hex = hexWord(f.rows[row].word);
        out += "    {0x" + hex.substr(0, 2) + ", 0x" + hex.substr(2, 2) + ", 0x" + hex.substr(4, 2) + ", 0x" +
               hex.substr(6, 2) + "}, /* " + comment(f, row) + " */\n";
    }
    out += "};\n\n/* The same words as 32-bit values. */\n";
    out += "static const uint32_t " + words.words + "[JT4DDS_TONE_COUNT] JT4DDS_STORAGE JT4DDS_UNUSED = {\n";
    for (std::size_t row = 0; row < kToneCount; ++row)
        out += "    UINT32_C(0x" + hexWord(f.rows[row].word) + "), /* " + comment(f, row) + " */\n";
    out += "};\n\n";
    if (file.transmission) out += cTransmission(*file.transmission, words.prefix);
    if (!file.leftOut.empty()) out += "/* No message in this file: " + commentSafe(file.leftOut) + " */\n\n";
    out += "#endif /* " + words.guard + " */\n";
    return out;
}

std::string jsonReport(const Press& outcome, const std::vector<Finding>& findings,
                       const std::optional<Transmission>& transmission,
                       const std::function<void(json::Writer&)>& more) {
    const RunFigures& f = outcome.figures;
    const auto warning = warningShown(f);
    const Beacon& typed = outcome.beacon;
    json::Writer out(2);
    out.beginDocument(kReportFormatName, kReportFormatVersion);
    out.key("inputs").beginObject();
    writeTypedFields(out, typed);
    writeTypedSelections(out, typed);
    out.endObject();
    // What the window shows after this one press.
    out.member("listing", listingText(f));
    out.key("warning").beginObject().member("visible", warning.has_value());
    out.member("caption", warning.value_or("Warning")).endObject();
    out.member("ref_tone", asPressed(typed, outcome).text(Input::ReferenceTone));
    out.key("ssb_carrier").beginObject().member("visible", f.ssbCarrierMHz.has_value());
    out.member("text", ssbCarrierText(f)).endObject();
    out.member("ssb_caption_visible", f.ssbCarrierMHz.has_value());
    out.member("completed", outcome.completed());
    out.member("error", outcome.ended ? std::optional<std::string_view>(outcome.ended->message) : std::nullopt);

    const std::vector<ToneDetail> table = toneDetails(f);
    out.key("rows").beginList();
    for (const ToneDetail& d : table) {
        out.beginObject();
        out.member("tone", d.tone);
        out.member("name", d.name);
        out.member("audio_hz", d.audioHz);
        out.member("dds_hz", d.ddsHz);
        out.member("word", d.word);
        out.member("word_hex", hexWord(d.word));
        out.member("planned_hz", d.plannedHz);
        out.member("actual_hz", d.realisedHz);
        out.member("error_hz", d.errorHz);
        out.member("limit", d.limit == Limit::Direct    ? std::optional<std::string_view>("direct")
                            : d.limit == Limit::Reverse ? std::optional<std::string_view>("reverse")
                                                        : std::nullopt);
        out.endObject();
    }
    out.endList();
    out.member("resolution_hz", f.resolutionHz);
    out.member("ssb_carrier_hz", f.ssbCarrierHz);

    out.key("spacing").beginList();
    for (std::size_t i = 0; i + 1 < 4 && i + 1 < table.size(); ++i) {
        const auto& low = table[i].realisedHz;
        const auto& high = table[i + 1].realisedHz;
        out.beginObject();
        out.key("tones").beginList().value(i).value(i + 1).endList();
        out.member("realised_hz", low && high ? std::optional(*high - *low) : std::nullopt);
        out.member("nominal_hz", nominalSpacingHz(f.spacingNumber));
        out.endObject();
    }
    out.endList();
    if (const auto receiver = receiverOf(outcome)) {
        const auto fit = realisedGrid(*receiver, f.spacingNumber);
        out.key("receiver").beginObject();
        out.member("sideband", "usb");
        out.member("dial_hz", receiver->dialHz);
        out.member("dial_rule", dialRuleName(receiver->rule));
        out.member("data_tone0_audio_hz",
                   receiver->sounds[0] ? std::optional(receiver->realisedAudioHz[0]) : std::nullopt);
        out.member("planned_data_tone0_audio_hz", receiver->plannedAudioHz[0]);
        out.member("search_hz", receiver->searchHz);
        out.key("grid_residual_hz");
        if (fit) {
            out.beginList();
            for (const double r : fit->residualHz) out.value(r);
            out.endList();
        } else {
            out.value(nullptr);
        }
        out.endObject();
    }
    out.key("reads");
    writeReads(out, f);
    out.key("findings");
    writeFindings(out, findings);
    if (transmission) {
        out.key("transmission");
        writeTransmission(out, *transmission);
    }
    if (more) more(out);
    out.endObject();
    return out.text() + "\n";
}

std::string planReport(const Press& outcome, const std::vector<Finding>& findings) {
    const RunFigures& f = outcome.figures;
    std::string out;
    if (!f.configLabel.empty()) {
        out += "Plan: " + planSummary(f) + "\n\n";
        constexpr std::array<std::size_t, 6> kWidths{4, 12, 18, 19, 11, 10};
        const auto line = [&](const auto& cells) {
            std::string text;
            for (std::size_t i = 0; i < kWidths.size(); ++i) text += rightAligned(std::string(cells[i]), kWidths[i]);
            return text + "  " + std::string(cells[6]) + "\n";
        };
        out += line(kToneTableHeadings);
        for (const auto& cells : toneTableCells(f)) out += line(cells);
        out += "\n";
        if (f.resolutionHz) out += "Resolution " + decimalText(*f.resolutionHz, 4) + " Hz\n";
        if (f.ssbCarrierMHz) out += "SSB carrier " + decimalText(*f.ssbCarrierMHz, 6) + " MHz\n";
        if (const auto warning = firmwareWarning(f)) out += "Warning label: " + std::string(*warning) + "\n";
        if (pi4ResolutionCaption(f)) out += "Note: " + std::string(kPi4ResolutionNote) + "\n";
        if (const auto receiver = receiverOf(outcome)) out += receiverText(*receiver) + "\n";
        out += "\n";
    }
    if (findings.empty()) {
        out += "No findings: the words make this beacon as typed.\n";
        return out;
    }
    out += "Findings:\n";
    for (const Finding& finding : findings) {
        out += "  " + std::string(severityName(finding.severity)) + ": " + findingSubject(finding) + ": " +
               finding.message + "\n";
        if (!finding.fix.empty()) out += "    fix: " + finding.fix + "\n";
    }
    return out;
}

std::string receiverText(const Receiver& r) {
    const bool lower = r.sideband == Sideband::Lower;
    const std::string dial =
        std::string("Receiver: ") + (lower ? "LSB" : "USB") + " dial " + decimalText(r.dialHz / kMegahertz, 6) +
        " MHz (" +
        (r.rule == DialRule::Pi4Convention ? "800 Hz below the output frequency, where PI4 receivers are tuned"
                                           : "the SSB tuning point") +
        (lower ? ", on the wrong sideband); " : "); ");
    if (!r.sounds[0]) return dial + "data tone 0 sends nothing, so nothing decodes";
    const double tone0Hz = heardAt(r, r.realisedAudioHz[0]);
    const std::string tone0 = fixedText(tone0Hz, 1) + " Hz";
    if (!inAudio(tone0Hz))
        return dial + "data tone 0 falls at " + tone0 + ", outside the receiver's audio (0 to " +
               fixedText(kAudioTopHz, 0) + " Hz), so nothing decodes";
    if (lower)
        return dial + "the data tones are heard in reverse order, data tone 0 at " + tone0 + ", so nothing decodes";
    return dial + "data tone 0 heard at " + tone0 + ", the decoder's receive frequency; its search must allow " +
           fixedText(r.searchHz, 1) + " Hz";
}

std::string hearingText(const Press& press, const std::optional<HeardMinute>& heard) {
    if (heard) return receiverText(heard->receiver);
    return receiverOf(press) ? "No message: nothing to hear."
                             : "No receiver settings: the last press did not write the tones.";
}

std::string planSummary(const RunFigures& f) {
    if (f.configLabel.empty()) return {};
    return f.configLabel + ", " + modeName(f) + ", Master Reference " + decimalText(f.frefHz / kMegahertz, 6) +
           " MHz, RF Multiplication " + decimalText(f.mult, 6) + (f.option800 ? ", 800 Hz reference tone" : "");
}

std::string toneDetailsSummary(const RunFigures& f) {
    if (f.configLabel.empty()) return "No tones were calculated in the last press.";
    std::string summary = planSummary(f);
    if (f.resolutionHz) summary += ", resolution " + decimalText(*f.resolutionHz, 4) + " Hz";
    return summary + ", nominal data-tone spacing " + decimalText(nominalSpacingHz(f.spacingNumber), 4) + " Hz";
}

std::string rightAligned(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

std::vector<std::array<std::string, 7>> toneTableCells(const RunFigures& f) {
    std::vector<std::array<std::string, 7>> rows;
    for (const ToneDetail& d : toneDetails(f)) {
        const bool realised = d.realisedHz.has_value();
        rows.push_back({std::to_string(d.tone), fixedText(d.audioHz, 4), fixedText(d.plannedHz / kMegahertz, 7),
                        realised ? fixedText(*d.realisedHz / kMegahertz, 7)
                                 : std::string(d.limit == Limit::None ? "-" : "over limit"),
                        realised ? signedText(*d.errorHz, 3) : std::string("-"), hexWord(d.word), std::string(d.name)});
    }
    return rows;
}

std::string symbolRows(const std::vector<std::uint8_t>& symbols) {
    std::string text;
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        text.append(1, ' ').append(1, static_cast<char>('0' + symbols[i]));
        if (i % 30 == 29 || i + 1 == symbols.size()) text += '\n';
    }
    return text;
}

PressStatus pressStatus(bool pressed, bool stale, const std::vector<Finding>& findings) {
    if (!pressed) return {true, "Not calculated yet: press Calculate for the tuning words."};
    if (stale)
        return {true,
                "Not calculated: the fields have changed since the last Calculate, so the results shown are "
                "not theirs. Copies and exports calculate first."};
    const Finding* worst = nullptr;
    for (const Finding& finding : findings)
        if (!worst || finding.severity < worst->severity) worst = &finding;
    if (!worst) return {false, "Calculated: no findings, the words make this beacon as typed."};
    std::string text = findingLine(*worst);
    if (findings.size() > 1) text += " (" + std::to_string(findings.size() - 1) + " more in Tone details)";
    return {false, text};
}

ExportGate exportGate(OutputFormat format, const Press& press, const std::vector<Finding>& findings, bool force,
                      bool toFile) {
    const bool firmware = format == OutputFormat::Asm || format == OutputFormat::C;
    const bool report = format == OutputFormat::Json || format == OutputFormat::Report;
    if (!press.completed() && !report && (firmware || toFile)) return ExportGate::Stopped;
    if (firmware && !force && anyOf(findings, Severity::Error)) return ExportGate::ErrorFindings;
    return ExportGate::Open;
}

std::string sentText(const std::variant<Transmission, Refusal>& planned) {
    if (const auto* t = std::get_if<Transmission>(&planned))
        return std::string(t->pi4 ? "PI4" : "JT4") + " sends '" + t->message.sent +
               "': " + std::to_string(t->message.symbols.size()) + " symbols of " +
               fixedText(t->minute.symbolS * 1000.0, 3) + " ms";
    const Refusal& refusal = std::get<Refusal>(planned);
    return refusal.why.empty() ? "No message: type one to plan the minute." : refusalText(refusal);
}

std::string timelineText(const std::vector<Segment>& segments) {
    std::string text;
    for (const Segment& s : segments) {
        if (!text.empty()) text += '\n';
        text += segmentDescription(s);
    }
    return text.empty() ? "No message: nothing is sent." : text;
}

std::string minuteFindingsText(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings)
        if (isAboutTheMinute(f)) {
            if (!text.empty()) text += '\n';
            text += findingLine(f);
        }
    return text.empty() ? "No findings about the minute." : text;
}

std::string forceQuestion(const std::string& refusal) { return refusal + "\n\nWrite them all the same?"; }

std::string toneDetailsFindings(const std::vector<Finding>& findings) {
    return findings.empty() ? "No findings: the words make this beacon as typed." : findingsText(findings);
}

std::string exportRefusal(ExportGate gate, const Press& press, const std::vector<Finding>& findings) {
    if (gate == ExportGate::Stopped && press.ended) return "The calculation stopped: " + press.ended->message;
    return findingsText(findings);
}

std::string findingsText(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& finding : findings) {
        if (!text.empty()) text += '\n';
        text += findingLine(finding);
    }
    return text;
}

// A firmware file written despite an error was forced: the line that writes
// it again must force it too, or it would be refused.
FirmwareFile forcedWhereNeeded(FirmwareFile file, const std::vector<Finding>& findings) {
    if (!file.command.empty() && anyOf(findings, Severity::Error)) file.command += " --force";
    return file;
}

std::string render(OutputFormat format, const Press& outcome, const std::vector<Finding>& findings,
                   const FirmwareFile& file) {
    switch (format) {
        case OutputFormat::Listing:
            return listingText(outcome.figures);
        case OutputFormat::Asm:
            return asmSource(outcome, forcedWhereNeeded(file, findings));
        case OutputFormat::C:
            return cHeader(outcome, forcedWhereNeeded(file, findings));
        case OutputFormat::Json:
            return jsonReport(outcome, findings, file.transmission);
        case OutputFormat::Report:
            break;
    }
    return planReport(outcome, findings);
}

}  // namespace jt4dds
