// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/search_output.h"

#include <algorithm>
#include <cctype>

#include "calc/numbers/number_format.h"
#include "calc/tuning/selector_items.h"
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

// Right-aligned by the characters shown: a chain's superscripts take two or
// three bytes each but one column.
std::string shownRightAligned(std::string text, std::size_t width) {
    const auto shown = static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U; }));
    if (shown < width) text.insert(0, width - shown, ' ');
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
    out.key("chain");
    if (const std::string chain = chainLabel(c.mult.value); chain.empty()) {
        out.value(nullptr);
    } else {
        out.value(chain);
    }
    out.member("fref_mhz", c.frefMHz.value);
    out.member("dds_share", c.verdict.ddsShare);
    out.member("dds_margin", kLimitFraction - c.verdict.ddsShare);
    out.member("resolution_hz", c.resolutionHz);
    out.member("grid_rms_hz", c.verdict.gridRmsHz);
    out.member("worst_spacing_error_hz", c.verdict.worstSpacingErrorHz);
    out.member("worst_tone_error_hz", c.verdict.worstToneErrorHz);
    out.member("ssb_carrier_hz", c.ssbCarrierHz);
    out.member("command", cliCommand(withCandidate(beacon, c)));
    out.endObject();
}

}  // namespace

std::string rejectedByText(const SearchResult& result) {
    std::string text;
    for (const auto& [kind, count] : result.rejectedBy) {
        if (!text.empty()) text += ", ";
        text += std::string(kindName(kind)) + " " + std::to_string(count);
    }
    return text;
}

FirmwareFile firmwareFile(const Beacon& beacon, OutputFormat format) {
    FirmwareFile file{beacon.name, cliCommand(beacon), std::nullopt, {}};
    auto planned = planTransmission(beacon);
    if (planned.index() == 0) {
        file.transmission = std::get<0>(std::move(planned));
    } else if (!beacon.message.empty()) {
        file.leftOut = refusalText(std::get<1>(planned));
    }
    if (!file.name.empty()) file.command += " --name " + file.name;
    file.command += format == OutputFormat::C ? " --format c" : " --format asm";
    return file;
}

std::string downloadStem(const Beacon& beacon) {
    const auto safe = [](std::string_view text) {
        std::string out;
        for (const char c : text) {
            const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                               c == '-' || c == '.';
            if (plain) out += c;
            if (c == '/') out += '-';
        }
        return out;
    };
    if (!beacon.name.empty()) return beacon.name;
    std::size_t start = 0;
    const std::string_view message(beacon.message);
    while (start < message.size()) {
        const std::size_t end = std::min(message.find(' ', start), message.size());
        const std::string_view word = message.substr(start, end - start);
        const bool digit = word.find_first_of("0123456789") != std::string_view::npos;
        const bool letter = std::any_of(word.begin(), word.end(),
                                        [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
        if (digit && letter && !safe(word).empty()) return safe(word);
        start = end + 1;
    }
    const std::string fout = safe(beacon.text(Input::OutputFrequency));
    return "beacon_" + (fout.empty() ? std::string("unnamed") : fout + "MHz");
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
    if (!beacon.dds.empty()) command += option("--dds", beacon.dds);
    if (!beacon.maxClockMHz.empty()) command += option("--max-clock", beacon.maxClockMHz);
    return command;
}

std::array<std::string, kCandidateColumns> candidateCells(const Candidate& c) {
    const std::string chain = chainLabel(c.mult.value);
    return {c.mult.text,
            chain.empty() ? std::string("-") : chain,
            c.frefMHz.text,
            fixedText(c.referenceDdsHz / kMegahertz, 6),
            fixedText(c.verdict.ddsShare * 100.0, 1) + " %",
            fixedText((kLimitFraction - c.verdict.ddsShare) * 100.0, 1) + " %",
            fixedText(c.resolutionHz, 3),
            fixedText(c.verdict.gridRmsHz, 3),
            fixedText(c.verdict.worstToneErrorHz, 3),
            fixedText(c.ssbCarrierHz / kMegahertz, 6)};
}

std::array<double, kCandidateColumns> candidateSortKeys(const Candidate& c) {
    return {c.mult.value,
            static_cast<double>(chainRank(c.mult.value)),
            c.frefMHz.value,
            c.referenceDdsHz,
            c.verdict.ddsShare,
            kLimitFraction - c.verdict.ddsShare,
            c.resolutionHz,
            c.verdict.gridRmsHz,
            c.verdict.worstToneErrorHz,
            c.ssbCarrierHz};
}

std::variant<CandidateLists, std::string> readCandidateLists(std::string_view mults, std::string_view refs) {
    auto m = parseCandidateList(mults);
    if (const auto* why = std::get_if<std::string>(&m)) return "RF multiplications: " + *why;
    auto r = parseCandidateList(refs);
    if (const auto* why = std::get_if<std::string>(&r)) return "Master references: " + *why;
    return CandidateLists{std::get<0>(std::move(m)), std::get<0>(std::move(r))};
}

namespace {

// "1 candidate judged", "42 candidates judged".
std::string judgedText(std::size_t judged) {
    return std::to_string(judged) + (judged == 1 ? " candidate judged, " : " candidates judged, ");
}

}  // namespace

std::string searchStatus(const SearchResult& result, RowGesture gesture) {
    const char* use = gesture == RowGesture::TapThenUse
                          ? "Best first; tap a heading to sort, tap a row, then Use and calculate."
                          : "Best first; click a heading to sort, double-click a row to use it and calculate.";
    return judgedText(result.judged) + std::to_string(result.rejected) + " rejected. " +
           (result.best.empty() ? result.reason : use);
}

std::string rejectedLines(const SearchResult& result) {
    std::string text;
    for (const auto& [kind, count] : result.rejectedBy) {
        if (!text.empty()) text += '\n';
        (text += std::to_string(count)) += " by ";
        text += kindName(kind);
    }
    return text;
}

std::string searchTable(const SearchResult& result, const Beacon& beacon) {
    std::string out = judgedText(result.judged) + std::to_string(result.rejected) + " rejected" +
                      (result.cancelled ? " (search stopped early)" : "") + "\n";
    if (!result.rejectedBy.empty()) out += "Rejected by: " + rejectedByText(result) + "\n";
    if (result.best.empty()) return out + result.reason + "\n";
    out += "Best " + std::to_string(result.best.size()) + ", best first:\n\n";
    constexpr std::array<std::size_t, kCandidateColumns> kWidths{6, 9, 15, 14, 8, 8, 15, 13, 15, 17};
    const auto line = [&](const auto& cells) {
        std::string text;
        for (std::size_t i = 0; i < kWidths.size(); ++i) text += shownRightAligned(std::string(cells[i]), kWidths[i]);
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
    out.key("rejected_by").beginObject();
    for (const auto& [kind, count] : result.rejectedBy) out.member(kindName(kind), count);
    out.endObject();
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
