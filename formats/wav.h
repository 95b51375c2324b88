// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jt4dds {

// A RIFF WAVE file of 16-bit PCM mono samples at `rate`: the 44-byte
// canonical header, then the samples little-endian, whatever the machine.
std::string wavFile(const std::vector<std::int16_t>& samples, int rate);

// The same bytes in two pieces, the header and the sample data, where the
// data is the samples' own memory on a little-endian machine (a converted
// copy elsewhere): written one after the other they are wavFile's bytes,
// without a copy of a minute of audio on the way. data() points into the
// samples or into the copy, so it lives as long as both do.
struct WavPieces {
    std::string header;
    std::string_view samples;  // the samples' memory, as it is little-endian
    std::string swapped;       // or their bytes in little-endian order
    std::string_view data() const { return swapped.empty() ? samples : std::string_view(swapped); }
};
WavPieces wavPieces(const std::vector<std::int16_t>& samples, int rate);

// Writes wavFile's bytes to `path` as writeFileAtomically does, handed to the
// system rather than waited for on the disk: a simulated minute is remade in
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
