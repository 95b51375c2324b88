// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the minute of a sound JT4 beacon whose symbol period is off by a
// given share (a controller's timer that rounds it): each symbol starts
// where the wrong period puts it, so the error grows along the message.
// No CW and no carrier, so that nothing else shares the minute. Prints the
// data tone 0's audio frequency.
//   minute_with_timing SUBMODE PERCENT SNR SEED FILE.wav
#include <cstdio>
#include <fstream>
#include <string>

#include "formats/wav.h"
#include "tests/decoder/sound_minute.h"

int main(int argc, char** argv) {
    using namespace jt4dds;
    if (argc != 6) {
        std::fprintf(stderr, "usage: minute_with_timing SUBMODE PERCENT SNR SEED FILE.wav\n");
        return 2;
    }
    auto minute = testing_support::soundMinute(argv[1], false);
    if (!minute) return 2;
    const Receiver& receiver = minute->receiver;
    std::vector<HeardPart>& parts = minute->parts;
    const double stretch = 1.0 + std::stod(argv[2]) / 100.0;
    double startS = -1.0;
    for (HeardPart& part : parts) {
        if (part.tone < 0 || part.tone >= 4) continue;
        if (startS < 0.0) startS = part.startS;
        part.startS = startS + (part.startS - startS) * stretch;
        part.endS = startS + (part.endS - startS) * stretch;
    }
    const std::optional<Noise> noise = Noise{std::stod(argv[3]), std::stoull(argv[4])};
    std::ofstream(argv[5], std::ios::binary) << wavFile(simulateMinute(parts, noise), kAudioRate);
    std::printf("%.3f\n", receiver.plannedAudioHz[0]);
    return 0;
}
