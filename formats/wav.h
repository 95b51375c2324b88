// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jt4dds {

// A RIFF WAVE file of 16-bit PCM mono samples at `rate`: the 44-byte
// canonical header, then the samples little-endian, whatever the machine.
std::string wavFile(const std::vector<std::int16_t>& samples, int rate);

// wavFile's first 44 bytes, for `count` samples at `rate`.
std::string wavHeader(std::size_t count, int rate);
// The bytes of `samples` as wavFile has them, little-endian: their own memory
// on a little-endian machine, else a copy made in `scratch`. Valid as long as
// both are.
std::string_view littleEndianBytes(std::span<const std::int16_t> samples, std::string& scratch);

// Writes wavFile's bytes to `path` as a ReplacingFile, handed to the system
// rather than waited for on the disk: a simulated minute is remade in
// milliseconds. Returns what went wrong, or nothing.
std::optional<std::string> writeWavFile(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
                                        int rate);

// The samples and rate of a file wavFile writes (16-bit PCM mono, a "fmt "
// chunk before the "data" chunk, other chunks skipped); nothing for any other
// bytes. Never reads past `bytes`.
struct WavAudio {
    int rate = 0;
    std::vector<std::int16_t> samples;
};
std::optional<WavAudio> readWav(std::string_view bytes);

}  // namespace jt4dds
