// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/firmware/frame_check.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "calc/hearing/simulation.h"
#include "formats/wav.h"

namespace jt4dds::testing_support {

std::uint32_t Latch::word() const {
    std::uint32_t w = 0;
    for (std::size_t i = 0; i < 32 && i < bits.size(); ++i)
        if (bits[i]) w |= std::uint32_t{1} << i;
    return w;
}

std::uint8_t Latch::control() const {
    unsigned c = 0;
    for (std::size_t i = 32; i < 40 && i < bits.size(); ++i)
        if (bits[i]) c |= 1u << (i - 32);
    return static_cast<std::uint8_t>(c);
}

std::string checkFrames(const std::vector<Latch>& latches, const nlohmann::json& report,
                        const std::vector<std::uint64_t>& pulses, const Timing& timing) {
    const auto& frames = report["transmission"]["frames"];
    const auto& rows = report["rows"];
    const std::size_t want = 2 + pulses.size() * frames.size();
    if (latches.size() != want)
        return std::to_string(latches.size()) + " FQ_UD edges, " + std::to_string(want) + " planned";
    if (latches[0].bits.size() != 1) return "the first FQ_UD edge does not follow one W_CLK pulse (serial mode)";
    const auto isPowerDown = [](const Latch& l) { return l.bits.size() == 40 && l.word() == 0 && l.control() == 0x04; };
    if (!isPowerDown(latches[1])) return "the DDS is not powered down before the first minute";
    for (std::size_t minute = 0; minute < pulses.size(); ++minute) {
        std::int64_t earliest = INT64_MAX;
        std::int64_t latest = INT64_MIN;
        for (std::size_t k = 0; k < frames.size(); ++k) {
            const auto& planned = frames[k];
            const auto& got = latches[2 + minute * frames.size() + k];
            const std::string which = "minute " + std::to_string(minute + 1) + " frame " + std::to_string(k);
            if (got.bits.size() != 40) return which + ": " + std::to_string(got.bits.size()) + " bits, not 40";
            if (planned.contains("power_down")) {
                if (!isPowerDown(got)) return which + ": not the power-down frame";
            } else {
                const auto word = rows[planned["tone"].get<int>()]["word"].get<std::uint32_t>();
                if (got.word() != word || got.control() != 0)
                    return which + ": word " + std::to_string(got.word()) + " control " +
                           std::to_string(got.control()) + ", planned tone " + planned["tone"].dump() + "'s " +
                           std::to_string(word);
            }
            const auto counts = planned["counts"].get<std::uint64_t>();
            const auto at = pulses[minute] + counts * timing.cyclesPerCount;
            const auto off = static_cast<std::int64_t>(got.cycle) - static_cast<std::int64_t>(at);
            // A frame at the pulse itself latches when the engine sees the
            // pulse, where the others latch on their count: only these show
            // the spread.
            if (counts == 0) {
                if (off < 0 || off > timing.atPulse)
                    return which + ": latched " + std::to_string(off) + " cycles after the pulse";
                continue;
            }
            if (off < -timing.tolerance || off > timing.tolerance)
                return which + ": latched " + std::to_string(off) + " cycles from its planned count";
            earliest = std::min(earliest, off);
            latest = std::max(latest, off);
        }
        if (latest - earliest > 8)
            return "minute " + std::to_string(minute + 1) + ": the latches spread over " +
                   std::to_string(latest - earliest) + " cycles";
    }
    return {};
}

std::vector<std::int16_t> heardFirmware(const std::vector<Latch>& latches, const nlohmann::json& report,
                                        std::uint64_t pulse, double cyclesPerSecond) {
    std::vector<jt4dds::HeardPart> parts;
    const double dialHz = report["receiver"]["dial_hz"].get<double>();
    for (std::size_t i = 2; i < latches.size(); ++i) {
        const auto& latch = latches[i];
        const double startS = (static_cast<double>(latch.cycle) - static_cast<double>(pulse)) / cyclesPerSecond;
        if (startS >= jt4dds::kMinuteS) break;
        const double endS =
            i + 1 < latches.size()
                ? (static_cast<double>(latches[i + 1].cycle) - static_cast<double>(pulse)) / cyclesPerSecond
                : jt4dds::kMinuteS;
        jt4dds::HeardPart part{startS, std::min(endS, jt4dds::kMinuteS), std::nullopt, -1};
        if (latch.control() == 0)
            for (const auto& row : report["rows"])
                if (row["word"].get<std::uint32_t>() == latch.word()) {
                    part.audioHz = row["actual_hz"].get<double>() - dialHz;
                    part.tone = row["tone"].get<int>();
                    break;
                }
        parts.push_back(part);
    }
    return jt4dds::simulateMinute(parts, jt4dds::Noise{-18.0, 1});
}

std::string decodedByJt9(const std::vector<std::int16_t>& samples, const nlohmann::json& report, char submode,
                         const std::string& dir) {
    const std::string wav = dir + "/heard.wav";
    const std::string said = dir + "/heard.txt";
    std::ofstream(wav, std::ios::binary) << jt4dds::wavFile(samples, jt4dds::kAudioRate);
    const double audio = report["receiver"]["data_tone0_audio_hz"].get<double>();
    const std::string command = std::string(JT4DDS_DECODE_SCRIPT) + " " + wav + " " + submode + " " +
                                std::to_string(static_cast<int>(std::lround(audio))) + " > " + said;
    if (std::system(command.c_str()) != 0) return "(the decoder script failed)";
    std::ostringstream decoded;
    decoded << std::ifstream(said).rdbuf();
    return decoded.str();
}

}  // namespace jt4dds::testing_support
