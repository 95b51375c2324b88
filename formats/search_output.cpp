// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/search_output.h"

#include <algorithm>

#include "calc/number_format.h"
#include "formats/json_text.h"
#include "formats/outputs.h"

namespace jt4dds {
namespace {

bool safeInShell(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == ',' ||
           c == '-' || c == '+' || c == '_' || c == '/' || c == ':' || c == '=';
}

std::string shellWord(const std::string& text) {
    if (!text.empty() && std::all_of(text.begin(), text.end(), safeInShell)) return text;
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string option(std::string_view name, const std::string& value) {
    std::string text(1, ' ');
    text.append(name).append(1, !value.empty() && value.front() == '-' ? '=' : ' ').append(shellWord(value));
    return text;
}

Beacon withCandidate(Beacon beacon, const Candidate& c) {
    beacon.text(Input::Multiplication) = c.mult.text;
    beacon.text(Input::Reference) = c.frefMHz.text;
    return beacon;
}

void writeCandidate(json::Writer& out, const Candidate& c, const Beacon& beacon) {
    out.beginObject();
    out.member("mult", c.mult.value);
    out.member("fref_mhz", c.frefMHz.value);
    out.member("dds_share", c.verdict.ddsShare);
    out.member("resolution_hz", c.resolutionHz);
    out.member("grid_rms_hz", c.verdict.gridRmsHz);
    out.member("worst_spacing_error_hz", c.verdict.worstSpacingErrorHz);
    out.member("worst_tone_error_hz", c.verdict.worstToneErrorHz);
    out.member("ssb_carrier_hz", c.ssbCarrierHz);
    out.member("command", cliCommand(withCandidate(beacon, c)));
    out.endObject();
}

}  // namespace

FirmwareFile firmwareFile(const Beacon& beacon, OutputFormat format) {
    FirmwareFile file{beacon.name, cliCommand(beacon), std::nullopt};
    if (auto planned = planTransmission(beacon); planned.index() == 0)
        file.transmission = std::get<0>(std::move(planned));
    if (!file.name.empty()) file.command += " --name " + file.name;
    file.command += format == OutputFormat::C ? " --format c" : " --format asm";
    return file;
}

std::string cliCommand(const Beacon& beacon) {
    std::string command = "jt4dds-cli";
    for (const InputSpec& entry : kInputs) {
        command += option(optionName(entry.input), beacon.text(entry.input));
        // The mode follows the frequency plan, as in the window.
        if (entry.input != Input::Reference) continue;
        command += option("--submode", pickText(Selector::JTMode, beacon.mode));
        if (beacon.ref800) command += " --ref800";
    }
    if (!beacon.message.empty()) {
        command += option("--message", beacon.message);
        if (!beacon.cwId.empty()) command += option("--cw-id", beacon.cwId);
        if (beacon.wpm != Beacon{}.wpm) command += option("--wpm", beacon.wpm);
        if (!beacon.cw) command += " --no-cw";
        if (!beacon.carrier) command += " --no-carrier";
        if (!beacon.timerHz.empty()) command += option("--timer-hz", beacon.timerHz);
    }
    const auto& config = beacon.config.index;
    command += option("--config", config == 1   ? std::string("reverse")
                                  : config == 0 ? std::string("direct")
                                                : pickText(Selector::Config, beacon.config));
    return command;
}

std::array<std::string, 8> candidateCells(const Candidate& c) {
    return {c.mult.text,
            c.frefMHz.text,
            fixedText(c.referenceDdsHz / kMegahertz, 6),
            fixedText(c.verdict.ddsShare * 100.0, 1) + " %",
            fixedText(c.resolutionHz, 3),
            fixedText(c.verdict.gridRmsHz, 3),
            fixedText(c.verdict.worstToneErrorHz, 3),
            fixedText(c.ssbCarrierHz / kMegahertz, 6)};
}

std::string searchTable(const SearchResult& result, const Beacon& beacon) {
    std::string out = std::to_string(result.judged) + " candidates judged, " + std::to_string(result.rejected) +
                      " rejected" + (result.cancelled ? " (search stopped early)" : "") + "\n";
    if (result.best.empty()) return out + result.reason + "\n";
    out += "Best " + std::to_string(result.best.size()) + ", best first:\n\n";
    constexpr std::array<std::size_t, 8> kWidths{6, 15, 14, 8, 15, 18, 15, 17};
    const auto line = [&](const auto& cells) {
        std::string text;
        for (std::size_t i = 0; i < kWidths.size(); ++i) text += rightAligned(std::string(cells[i]), kWidths[i]);
        return text + "\n";
    };
    out += line(kCandidateHeadings);
    for (const Candidate& c : result.best) {
        out += line(candidateCells(c));
        out += "        " + cliCommand(withCandidate(beacon, c)) + "\n";
    }
    return out;
}

std::string searchJson(const SearchResult& result, const Beacon& beacon) {
    json::Writer out(2);
    out.beginObject().key("candidates").beginList();
    for (const Candidate& c : result.best) writeCandidate(out, c, beacon);
    out.endList();
    out.member("judged", result.judged);
    out.member("rejected", result.rejected);
    if (result.cancelled) out.member("cancelled", true);
    if (result.best.empty()) {
        out.member("reason", result.reason);
        out.key("nearest");
        if (result.nearest) {
            writeCandidate(out, *result.nearest, beacon);
        } else {
            out.value(nullptr);
        }
    }
    out.endObject();
    return out.text() + "\n";
}

}  // namespace jt4dds
