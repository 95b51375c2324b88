// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "calc/transmission/minute.h"
#include "calc/tuning/calculation_run.h"

namespace jt4dds {

// What a receiver hears of the beacon: where its dial is, and where the data
// tones land in its audio. All of it from the rounded words, with the
// reference `refPpm` parts per million off what it says.

// PI4 receivers are tuned this far below the nominal frequency, so that the
// carrier is heard at 800 Hz.
inline constexpr double kPi4DialBelowHz = 800.0;

// Where the receiver's dial is set, and why.
enum class DialRule {
    SsbTuningPoint,  // JT4: the plan's SSB carrier, the reference tone below the output frequency
    Pi4Convention,   // PI4: 800 Hz below the output frequency, where PI4 receivers are tuned
};
// "ssb-tuning-point" or "pi4-800-hz-below": stable names for the JSON.
std::string_view dialRuleName(DialRule rule);

// The sideband the receiver listens on. USB hears RF F at F - dial; LSB
// hears the spectrum mirrored, here about the data tones' planned centre,
// so the tones land where USB would put them, in reverse order: what a
// receiver on the wrong sideband, or a mixer with its oscillator above the
// signal, makes of the beacon. Nothing decodes it.
enum class Sideband { Upper, Lower };

struct Receiver {
    DialRule rule = DialRule::SsbTuningPoint;
    Sideband sideband = Sideband::Upper;
    double dialHz = 0.0;
    double refPpm = 0.0;
    std::array<double, 4> plannedAudioHz{};   // the data tones where the plan puts them on this dial
    std::array<double, 4> realisedAudioHz{};  // where the rounded words put them; 0 for a silent tone
    std::array<bool, 4> sounds{};             // the tone's word makes a frequency
    // The largest |realised - planned| over the data tones that sound: how far
    // a decoder set to the planned data tone 0 must search.
    double searchHz = 0.0;
};

// The receiver of a completed press with its data tones written: nothing
// otherwise. JT4 listens on the SSB tuning point, PI4 800 Hz below the
// output frequency.
std::optional<Receiver> receiverOf(const Press& press, double refPpm = 0.0, Sideband sideband = Sideband::Upper);

// The fit of the data tones `receiver` hears, at the nominal spacing of
// `spacingNumber`; nothing when a data tone is silent.
std::optional<GridFit> realisedGrid(const Receiver& receiver, std::int32_t spacingNumber);

// One stretch of the minute at one audio frequency, or silent.
struct HeardPart {
    double startS = 0.0;
    double endS = 0.0;
    std::optional<double> audioHz;  // none: key up with nothing heard, or a tone outside the audio
    int tone = -1;                  // the tone row sounding; -1 when none
};

// The minute as `receiver` hears it, part after part: every channel symbol
// on its data tone, every CW mark and gap on the key-down and key-up tones,
// the carrier on the reference tone, silence between them. A tone is heard
// from 0 Hz to the audio's upper edge (6 kHz) and not outside.
inline constexpr int kAudioRate = 12000;
inline constexpr double kAudioTopHz = kAudioRate / 2.0;
constexpr bool inAudio(double audioHz) { return audioHz > 0.0 && audioHz < kAudioTopHz; }
// Where `receiver` hears what the upper sideband puts at `upperAudioHz`: there,
// or on the lower sideband mirrored about the data tones' planned centre.
double heardAt(const Receiver& receiver, double upperAudioHz);
std::vector<HeardPart> heardMinute(const Press& press, const Transmission& transmission, const Receiver& receiver);

// The audio frequencies a minute's parts are heard at, with a tenth of their
// span (at least 100 Hz) either side: what a waterfall of it shows. Nothing
// heard: 200 to 3000 Hz, a receiver's passband.
struct AudioSpan {
    double lowHz = 200.0;
    double highHz = 3000.0;
};
AudioSpan heardSpan(const std::vector<HeardPart>& parts);

// White Gaussian noise for a signal-to-noise ratio in 2500 Hz, as weak-signal
// decoders state it, drawn from `seed` by the program's own generator so that
// every build draws the same noise.
struct Noise {
    double snrDb = 0.0;
    std::uint64_t seed = 1;
};

// 60 s of 16-bit mono audio at 12 kHz, t = 0 at the start of the UTC minute:
// each part at its frequency in continuous phase (a symbol change keys no
// click), with `noise` added. The signal's level leaves room for the noise
// without clipping; without noise it is half of full scale.
std::vector<std::int16_t> simulateMinute(const std::vector<HeardPart>& parts, const std::optional<Noise>& noise);
// The same samples handed to `sink` a few thousand at a time, in order, as
// they are made, instead of kept: what a file writer wants.
inline constexpr std::size_t kMinuteSamples = static_cast<std::size_t>(kMinuteS) * kAudioRate;
using SampleSink = std::function<void(std::span<const std::int16_t>)>;
void simulateMinute(const std::vector<HeardPart>& parts, const std::optional<Noise>& noise, const SampleSink& sink);

// The minute of a press's beacon as its receiver hears it: the receiver, the
// parts and the audio. Nothing when the press did not write the tones or the
// beacon has no message it can send.
struct HeardMinute {
    Receiver receiver;
    std::vector<HeardPart> parts;
    std::vector<std::int16_t> samples;
};
std::optional<HeardMinute> hearMinute(const Press& press, const std::optional<Noise>& noise, double refPpm = 0.0,
                                      Sideband sideband = Sideband::Upper);
// The receiver and the parts alone, with no samples: for a caller that
// simulates them into a sink.
std::optional<HeardMinute> hearingOf(const Press& press, double refPpm = 0.0, Sideband sideband = Sideband::Upper);

// The program's noise generator: SplitMix64 draws, made Gaussian by the
// ziggurat method (Marsaglia and Tsang, with the layer taken from other bits
// than the value, as Doornik advises). The same draws for a seed on every
// platform; fast enough that a minute of noise costs a few milliseconds.
class GaussianNoise {
public:
    explicit GaussianNoise(std::uint64_t seed) : state_(seed) {}
    double next();  // mean 0, variance 1
    // `scale` times the next draws added to `samples`, one each: the same
    // draws as next() gives, in a loop fast enough for a minute of audio.
    void addTo(std::span<double> samples, double scale);

private:
    std::uint64_t nextBits();
    double uniform();  // in (0, 1)
    double tail(std::int32_t value, std::uint32_t layer);
    std::uint64_t state_;
};

}  // namespace jt4dds
