// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the minute of a sound JT4 beacon with its data tones moved off their
// ideal grid by given amounts (hertz): the decoder's tolerance is measured
// with these. Prints the ideal data tone 0's audio frequency.
//   minute_with_offsets SUBMODE OFF0 OFF1 OFF2 OFF3 SNR|none SEED FILE.wav
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "formats/wav.h"
#include "tests/decoder/sound_minute.h"

int main(int argc, char** argv) {
    using namespace jt4dds;
    if (argc != 9) {
        std::fprintf(stderr, "usage: minute_with_offsets SUBMODE OFF0 OFF1 OFF2 OFF3 SNR|none SEED FILE.wav\n");
        return 2;
    }
    auto minute = testing_support::soundMinute(argv[1], true);
    if (!minute) return 2;
    const Receiver& receiver = minute->receiver;
    std::vector<HeardPart>& parts = minute->parts;
    for (HeardPart& part : parts)
        if (part.tone >= 0 && part.tone < 4)
            part.audioHz =
                receiver.plannedAudioHz[static_cast<std::size_t>(part.tone)] + std::stod(argv[2 + part.tone]);
    const std::string snr = argv[6];
    const std::optional<Noise> noise =
        snr == "none" ? std::nullopt : std::optional(Noise{std::stod(snr), std::stoull(argv[7])});
    std::ofstream(argv[8], std::ios::binary) << wavFile(simulateMinute(parts, noise), kAudioRate);
    std::printf("%.3f\n", receiver.plannedAudioHz[0]);
    return 0;
}
