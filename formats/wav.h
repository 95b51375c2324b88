// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jt4dds {

// A RIFF WAVE file of 16-bit PCM mono samples at `rate`: the 44-byte
// canonical header, then the samples little-endian, whatever the machine.
std::string wavFile(const std::vector<std::int16_t>& samples, int rate);

// The samples and rate of a file wavFile writes (16-bit PCM mono, a "fmt "
// chunk before the "data" chunk, other chunks skipped); nothing for any other
// bytes. Never reads past `bytes`.
struct WavAudio {
    int rate = 0;
    std::vector<std::int16_t> samples;
};
std::optional<WavAudio> readWav(std::string_view bytes);

}  // namespace jt4dds
