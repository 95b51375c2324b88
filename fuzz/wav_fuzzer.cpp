// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a WAV file: read as 16-bit mono audio or refused, never a
// crash or a read past the end; what is read, written again, reads back the same.
#include <cstdint>
#include <string_view>

#include "formats/wav.h"
#include "fuzz/expect.h"

using namespace jt4dds;
using fuzzing::expect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto audio = readWav(bytes);
    if (!audio) return 0;
    expect(audio->rate > 0, "a rate above 0");
    expect(audio->samples.size() * 2 <= size, "no more samples than the bytes hold");
    const auto again = readWav(wavFile(audio->samples, audio->rate));
    expect(again && again->rate == audio->rate && again->samples == audio->samples, "written again, read the same");
    return 0;
}
