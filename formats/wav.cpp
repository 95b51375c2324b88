// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/wav.h"

#include <bit>

#include "formats/files.h"

namespace jt4dds {
namespace {

void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
}

std::uint32_t get(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8U) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

}  // namespace

std::string wavHeader(std::size_t count, int rate) {
    const auto dataBytes = static_cast<std::uint32_t>(count * 2);
    const auto sampleRate = static_cast<std::uint32_t>(rate);
    std::string h;
    h += "RIFF";
    put(h, 36 + dataBytes, 4);
    h += "WAVEfmt ";
    put(h, 16, 4);              // the format chunk's size
    put(h, 1, 2);               // PCM
    put(h, 1, 2);               // mono
    put(h, sampleRate, 4);      //
    put(h, sampleRate * 2, 4);  // bytes a second
    put(h, 2, 2);               // bytes a frame
    put(h, 16, 2);              // bits a sample
    h += "data";
    put(h, dataBytes, 4);
    return h;
}

std::string_view littleEndianBytes(std::span<const std::int16_t> samples, std::string& scratch) {
    if constexpr (std::endian::native == std::endian::little)
        return {reinterpret_cast<const char*>(samples.data()), samples.size_bytes()};
    scratch.resize(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto bits = static_cast<std::uint16_t>(samples[i]);
        scratch[2 * i] = static_cast<char>(bits & 0xFFU);
        scratch[2 * i + 1] = static_cast<char>(bits >> 8U);
    }
    return scratch;
}

std::string wavFile(const std::vector<std::int16_t>& samples, int rate) {
    std::string scratch;
    std::string out = wavHeader(samples.size(), rate);
    out += littleEndianBytes(samples, scratch);
    return out;
}

std::optional<std::string> writeWavFile(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
                                        int rate) {
    std::string scratch;
    ReplacingFile file(path);
    file.write(wavHeader(samples.size(), rate));
    file.write(littleEndianBytes(samples, scratch));
    return file.commit(Durability::Replaceable);
}

std::optional<WavAudio> readWav(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") return std::nullopt;
    bool pcmMono16 = false;
    int rate = 0;
    std::size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = get(bytes, at + 4, 4);
        at += 8;
        if (size > bytes.size() - at) return std::nullopt;
        if (id == "fmt " && size >= 16) {
            pcmMono16 = get(bytes, at, 2) == 1 && get(bytes, at + 2, 2) == 1 && get(bytes, at + 14, 2) == 16;
            rate = static_cast<int>(get(bytes, at + 4, 4) & 0x7FFFFFFFU);
        } else if (id == "data") {
            if (!pcmMono16 || rate <= 0) return std::nullopt;
            WavAudio out{rate, std::vector<std::int16_t>(size / 2)};
            for (std::size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = static_cast<std::int16_t>(get(bytes, at + 2 * i, 2));
            return out;
        }
        at += size + (size & 1U);  // chunks are padded to an even size
        if (at > bytes.size()) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace jt4dds
