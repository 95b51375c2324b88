// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/hearing/simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <span>
#include <vector>

#include "tests/case_name.h"

namespace jt4dds {
namespace {

Beacon beaconWith(std::string_view fref, int submode, std::string message) {
    Beacon b;
    b.text(Input::Reference) = std::string(fref);
    b.mode = Pick::item(submode);
    b.message = std::move(message);
    b.cwId = "OZ7IGY JO55";
    return b;
}
constexpr int kD = 3;
constexpr int kG = 6;
constexpr int kPi4 = 7;

// The frequency of the strongest tone in `samples`, searched within
// `aroundHz` ± 30 Hz: a Goertzel power scan, then a golden-section search
// on its peak.
double toneOf(const std::int16_t* samples, std::size_t n, double aroundHz) {
    const auto power = [&](double hz) {
        const double w = 2.0 * std::numbers::pi * hz / kAudioRate;
        const double c = 2.0 * std::cos(w);
        double s1 = 0.0;
        double s2 = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double s0 = samples[i] + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        return s1 * s1 + s2 * s2 - c * s1 * s2;
    };
    double best = aroundHz - 30.0;
    for (double hz = aroundHz - 30.0; hz <= aroundHz + 30.0; hz += 0.5)
        if (power(hz) > power(best)) best = hz;
    double lo = best - 0.5;
    double hi = best + 0.5;
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    while (hi - lo > 1e-4) {
        const double a = hi - g * (hi - lo);
        const double b = lo + g * (hi - lo);
        if (power(a) > power(b))
            hi = b;
        else
            lo = a;
    }
    return (lo + hi) / 2.0;
}

double rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

struct Heard {
    Press press;
    Transmission transmission;
    Receiver receiver;
    std::vector<HeardPart> parts;
};
Heard hear(const Beacon& b, double ppm = 0.0, Sideband sideband = Sideband::Upper) {
    Press press = calculate(b);
    auto t = std::get<Transmission>(planTransmission(b));
    const Receiver r = receiverOf(press, ppm, sideband).value();
    auto parts = heardMinute(press, t, r);
    return Heard{std::move(press), std::move(t), r, std::move(parts)};
}

// Every PI4 symbol's tone, measured in the audio, is the tone its rounded
// word makes, and the parts start where the minute says.
TEST(Simulation, Pi4SymbolBySymbolOnItsRealisedTone) {
    const Heard h = hear(beaconWith("300", kPi4, "OZ7IGY"));
    EXPECT_EQ(h.receiver.rule, DialRule::Pi4Convention);
    const auto audio = simulateMinute(h.parts, std::nullopt);
    ASSERT_EQ(audio.size(), 720000u);
    const auto& symbols = h.transmission.message.symbols;
    ASSERT_EQ(symbols.size(), 146u);
    for (std::size_t n = 0; n < symbols.size(); ++n) {
        const double expected = h.receiver.realisedAudioHz[symbols[n]];
        EXPECT_NEAR(toneOf(audio.data() + 2000 * n, 2000, expected), expected, 0.1) << "symbol " << n;
    }
    // Silence between the message (to 24.333 s) and the CW from 25.0 s.
    const auto& segments = h.transmission.minute.segments;
    ASSERT_EQ(segments.size(), 3u);
    const auto at = [](double s) { return static_cast<std::size_t>(std::llround(s * kAudioRate)); };
    EXPECT_EQ(rms(audio, at(24.34), at(segments[1].startS)), 0.0);
    EXPECT_GT(rms(audio, at(segments[1].startS), at(segments[1].startS) + 100), 10000.0);  // "O" starts with a dash
    EXPECT_EQ(rms(audio, at(59.5), audio.size()), 0.0);
    EXPECT_GT(rms(audio, at(59.4), at(59.5)), 10000.0);
    // The carrier is heard at 800 Hz: the output frequency lies there on this dial.
    EXPECT_NEAR(toneOf(audio.data() + at(40.0), 12000, 800.0), *h.parts.back().audioHz, 0.01);
    EXPECT_NEAR(*h.parts.back().audioHz, 800.0, 1.0);
}

// JT4 starts at 1.0 s on the SSB tuning point, where the plan's audio
// frequencies are what is heard.
TEST(Simulation, Jt4StartsAtOneSecondOnTheTuningPoint) {
    const Heard h = hear(beaconWith("300", kD, "CQ K1ABC FN42"));
    EXPECT_EQ(h.receiver.rule, DialRule::SsbTuningPoint);
    EXPECT_DOUBLE_EQ(h.receiver.dialHz, *h.press.figures.ssbCarrierHz);
    const auto audio = simulateMinute(h.parts, std::nullopt);
    EXPECT_EQ(rms(audio, 0, 12000), 0.0);
    EXPECT_GT(rms(audio, 12000, 12100), 10000.0);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(h.receiver.plannedAudioHz[k], h.press.figures.plan.hz[k], 1e-6);
        EXPECT_NEAR(h.receiver.realisedAudioHz[k], h.receiver.plannedAudioHz[k], h.receiver.searchHz + 1e-9);
    }
    EXPECT_LT(h.receiver.searchHz, 1.0);
    const double symbol0 = h.receiver.realisedAudioHz[h.transmission.message.symbols[0]];
    EXPECT_NEAR(toneOf(audio.data() + 12000, 2742, symbol0), symbol0, 0.1);
}

// A tone change is a change of frequency: no sample jumps by more than a
// sine at the highest tone can move in one sample.
TEST(Simulation, PhaseRunsOnAcrossEveryChange) {
    const Heard h = hear(beaconWith("300", kG, "CQ K1ABC FN42"));
    const auto audio = simulateMinute(h.parts, std::nullopt);
    double highest = 0.0;
    for (const HeardPart& p : h.parts) highest = std::max(highest, p.audioHz.value_or(0.0));
    const double bound = 16384.0 * 2.0 * std::numbers::pi * highest / kAudioRate + 2.0;
    std::size_t jumps = 0;
    for (std::size_t i = 12001; i < 12000 * 48; ++i)
        if (std::abs(audio[i] - audio[i - 1]) > bound) ++jumps;
    EXPECT_EQ(jumps, 0u);
}

// Every sample is the sine of the phase run up to it, sample by sample, from
// the start of the minute: whatever the buffer and its groups of four do,
// the sound is the one continuous tone each part asks for.
TEST(Simulation, EverySampleIsTheSineOfItsRunningPhase) {
    for (const auto& [mode, message] : {std::pair{kG, "CQ K1ABC FN42"}, std::pair{kPi4, "OZ7IGY"}}) {
        const Heard h = hear(beaconWith("300", mode, message));
        const auto audio = simulateMinute(h.parts, std::nullopt);
        std::vector<std::int16_t> expected(audio.size(), 0);
        long double phase = 0.0L;
        std::size_t next = 0;
        for (const HeardPart& p : h.parts) {
            const auto at = [&](double s) {
                return std::min(audio.size(), static_cast<std::size_t>(std::ceil(s * kAudioRate - 1e-6)));
            };
            next = std::max(next, at(p.startS));
            const std::size_t end = at(p.endS);
            if (!p.audioHz) {
                next = std::max(next, end);
                continue;
            }
            for (; next < end; ++next) {
                expected[next] = static_cast<std::int16_t>(std::lround(16384.0L * std::sin(phase)));
                phase += 2.0L * std::numbers::pi_v<long double> * *p.audioHz / kAudioRate;
            }
        }
        std::size_t off = 0;
        for (std::size_t i = 0; i < audio.size(); ++i) off += std::abs(audio[i] - expected[i]) > 1;
        EXPECT_EQ(off, 0u) << "mode " << mode;
    }
}

// The reference `ppm` off moves every tone by what the words make of it;
// the wrong sideband reverses the data tones about their centre.
struct ReceiverCase {
    const char* name;
    double ppm;
    Sideband sideband;
    std::array<int, 4> heardAs;  // the USB tone each data tone is heard where
    double shiftPpm;             // how far the data tones move, in ppm of their RF
};
const ReceiverCase kReceivers[] = {
    {.name = "usb", .ppm = 0.0, .sideband = Sideband::Upper, .heardAs = {0, 1, 2, 3}, .shiftPpm = 0.0},
    // 0.1 ppm of 2320.1 MHz is 232 Hz.
    {.name = "reference_tenth_ppm_high",
     .ppm = 0.1,
     .sideband = Sideband::Upper,
     .heardAs = {0, 1, 2, 3},
     .shiftPpm = 0.1},
    {.name = "reference_fifth_ppm_low",
     .ppm = -0.2,
     .sideband = Sideband::Upper,
     .heardAs = {0, 1, 2, 3},
     .shiftPpm = -0.2},
    {.name = "lsb_reversed", .ppm = 0.0, .sideband = Sideband::Lower, .heardAs = {3, 2, 1, 0}, .shiftPpm = 0.0},
};
class Receivers : public testing::TestWithParam<ReceiverCase> {};
TEST_P(Receivers, DataTonesHeardWhereTheWordsPutThem) {
    const ReceiverCase& c = GetParam();
    const Beacon b = beaconWith("300", kD, "CQ K1ABC FN42");
    const Heard usb = hear(b);
    const Heard other = hear(b, c.ppm, c.sideband);
    const double rfHz = 2320.1e6;
    for (const HeardPart& p : other.parts) {
        if (p.tone < 0 || p.tone > 3) continue;
        ASSERT_TRUE(p.audioHz.has_value());
        const double expected =
            usb.receiver.realisedAudioHz[static_cast<std::size_t>(c.heardAs[static_cast<std::size_t>(p.tone)])] +
            rfHz * c.shiftPpm * 1e-6;
        EXPECT_NEAR(*p.audioHz, expected, 2.0 * usb.receiver.searchHz + 0.01) << "tone " << p.tone;
    }
}
INSTANTIATE_TEST_SUITE_P(Table, Receivers, testing::ValuesIn(kReceivers), testing_support::CaseName{});

// Noise of a stated SNR: the signal's amplitude is found by correlating the
// noisy minute with the clean one, the noise is what is left, and their
// powers give the SNR back in 2500 Hz.
struct NoiseCase {
    const char* name;
    double snrDb;
    double withinDb;  // the amplitude estimate's own spread: wider near the threshold
};
const NoiseCase kNoises[] = {
    {.name = "threshold_minus22", .snrDb = -22.0, .withinDb = 0.3},
    {.name = "minus15", .snrDb = -15.0, .withinDb = 0.1},
    {.name = "strong_plus20", .snrDb = 20.0, .withinDb = 0.01},
};
class Noises : public testing::TestWithParam<NoiseCase> {};
TEST_P(Noises, SnrInTwoAndAHalfKilohertz) {
    const Heard h = hear(beaconWith("300", kD, "CQ K1ABC FN42"));
    const auto clean = simulateMinute(h.parts, std::nullopt);
    const auto noisy = simulateMinute(h.parts, Noise{GetParam().snrDb, 7});
    double cross = 0.0;
    double cleanPower = 0.0;
    for (std::size_t i = 0; i < clean.size(); ++i) {
        cross += static_cast<double>(noisy[i]) * clean[i];
        cleanPower += static_cast<double>(clean[i]) * clean[i];
    }
    const double scale = cross / cleanPower;  // the noisy signal's amplitude over the clean one's
    double noisePower = 0.0;
    for (std::size_t i = 0; i < clean.size(); ++i) {
        const double n = noisy[i] - scale * clean[i];
        noisePower += n * n;
    }
    noisePower /= static_cast<double>(clean.size());
    const double amplitude = scale * 16384.0;
    const double snr = 10.0 * std::log10(amplitude * amplitude / 2.0 / (noisePower * 2500.0 / 6000.0));
    EXPECT_NEAR(snr, GetParam().snrDb, GetParam().withinDb);
    std::size_t clipped = 0;
    for (const std::int16_t s : noisy) clipped += std::abs(s) == 32767;
    EXPECT_LT(clipped, 20u);
}
INSTANTIATE_TEST_SUITE_P(Table, Noises, testing::ValuesIn(kNoises), testing_support::CaseName{});

// An SNR that is not a number makes samples that are not numbers: each is
// written at full scale, never converted undefined (which wrote 0 here).
TEST(Noises, NotANumberSnrStaysInRange) {
    const Heard h = hear(beaconWith("300", kD, "CQ K1ABC FN42"));
    const auto noisy = simulateMinute(h.parts, Noise{std::numeric_limits<double>::quiet_NaN(), 7});
    ASSERT_EQ(noisy.size(), kMinuteSamples);
    EXPECT_EQ(*std::min_element(noisy.begin(), noisy.end()), 32767);
}

// The same seed draws the same values; they are normal: mean 0, variance 1,
// kurtosis 3, and as many beyond 1, 2, 3 and 4 sigma as the normal law has.
TEST(GaussianNoise, SameSeedSameDrawsAndNormal) {
    GaussianNoise a(42);
    GaussianNoise b(42);
    GaussianNoise c(43);
    double sum = 0.0;
    double squares = 0.0;
    double fourth = 0.0;
    std::array<int, 4> beyond{};
    int differ = 0;
    constexpr int kDraws = 2000000;
    for (int i = 0; i < kDraws; ++i) {
        const double x = a.next();
        ASSERT_EQ(x, b.next());
        differ += x != c.next();
        sum += x;
        squares += x * x;
        fourth += x * x * x * x;
        for (std::size_t k = 0; k < 4; ++k) beyond[k] += std::fabs(x) > static_cast<double>(k + 1);
    }
    EXPECT_EQ(differ, kDraws);
    EXPECT_NEAR(sum / kDraws, 0.0, 0.003);
    EXPECT_NEAR(squares / kDraws, 1.0, 0.003);
    EXPECT_NEAR(fourth / kDraws, 3.0, 0.03);
    // Two-sided normal tail probabilities beyond 1 to 4 sigma, and their
    // binomial spread over this many draws (five standard deviations).
    const std::array<double, 4> tails{0.3173105, 0.0455003, 0.0026998, 0.0000633};
    for (std::size_t k = 0; k < 4; ++k) {
        const double expected = tails[k] * kDraws;
        EXPECT_NEAR(beyond[k], expected, 5.0 * std::sqrt(expected) + 1.0) << "beyond " << k + 1 << " sigma";
    }
}

// The noise every decoder measurement here was made with: a change to the
// generator that alters one draw changes the hash of the first million.
// addTo in chunks of any size draws what next() draws.
struct PinnedNoise {
    const char* name;
    std::uint64_t seed;
    std::uint64_t hash;
};
const PinnedNoise kPinnedNoise[] = {
    {.name = "seed_1", .seed = 1, .hash = 0x7e647e5cf871a411ULL},
    {.name = "seed_42", .seed = 42, .hash = 0x6959e9e69c183d98ULL},
    {.name = "largest_seed", .seed = 0xFFFFFFFFFFFFFFFFULL, .hash = 0x449f09b4ecd38610ULL},
};
class NoisePinned : public testing::TestWithParam<PinnedNoise> {};
TEST_P(NoisePinned, FirstMillionDrawsHashAsMeasured) {
    constexpr std::size_t kDraws = 1000000;
    std::vector<double> drawn(kDraws, 0.0);
    GaussianNoise chunked(GetParam().seed);
    // Chunks of 1 to 4097 draws, so that every way a chunk can end is met.
    for (std::size_t at = 0, size = 1; at < kDraws; at += size, size = size % 4097 + 1 + size / 3)
        chunked.addTo(std::span(drawn).subspan(at, std::min(size, kDraws - at)), 1.0);
    GaussianNoise single(GetParam().seed);
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a over each draw's bits
    for (std::size_t i = 0; i < kDraws; ++i) {
        const double x = single.next();
        ASSERT_EQ(std::bit_cast<std::uint64_t>(x), std::bit_cast<std::uint64_t>(drawn[i])) << "draw " << i;
        hash = (hash ^ std::bit_cast<std::uint64_t>(x)) * 0x100000001b3ULL;
    }
    EXPECT_EQ(hash, GetParam().hash);
}
INSTANTIATE_TEST_SUITE_P(Table, NoisePinned, testing::ValuesIn(kPinnedNoise), testing_support::CaseName{});

// The grid fit: a common offset is no error; a stretch, a lone tone and an
// alternation are, by their RMS distance from the least-squares grid.
struct GridCase {
    const char* name;
    std::array<double, 4> tonesHz;
    double spacingHz;
    double rmsHz;
    double worstHz;
    int worstTone;
};
const GridCase kGrids[] = {
    {.name = "ideal",
     .tonesHz = {1000.0, 1100.0, 1200.0, 1300.0},
     .spacingHz = 100.0,
     .rmsHz = 0.0,
     .worstHz = 0.0,
     .worstTone = 0},
    {.name = "common_offset_is_no_error",
     .tonesHz = {1007.0, 1107.0, 1207.0, 1307.0},
     .spacingHz = 100.0,
     .rmsHz = 0.0,
     .worstHz = 0.0,
     .worstTone = 0},
    // Residuals -1.5, -0.5, 0.5, 1.5.
    {.name = "stretched",
     .tonesHz = {1000.0, 1101.0, 1202.0, 1303.0},
     .spacingHz = 100.0,
     .rmsHz = 1.1180339887498949,
     .worstHz = 1.5,
     .worstTone = 0},
    // Residuals -2, 6, -2, -2.
    {.name = "lone_tone",
     .tonesHz = {1000.0, 1108.0, 1200.0, 1300.0},
     .spacingHz = 100.0,
     .rmsHz = 3.4641016151377544,
     .worstHz = 6.0,
     .worstTone = 1},
    {.name = "alternating_every_tone_as_far",
     .tonesHz = {1002.0, 1098.0, 1202.0, 1298.0},
     .spacingHz = 100.0,
     .rmsHz = 2.0,
     .worstHz = 2.0,
     .worstTone = 0},
    {.name = "planned_10ghz_jt4g",
     .tonesHz = {-5.3, 315.0 + 3.8, 630.0 + 1.8, 945.0 - 0.3},
     .spacingHz = 315.0,
     .rmsHz = 3.386000590667403,
     .worstHz = 5.3,
     .worstTone = 0},
};
class Grids : public testing::TestWithParam<GridCase> {};
TEST_P(Grids, RmsAndWorst) {
    const GridFit fit = fitGrid(GetParam().tonesHz, GetParam().spacingHz);
    EXPECT_NEAR(fit.rmsHz, GetParam().rmsHz, 1e-9);
    EXPECT_NEAR(fit.worstHz, GetParam().worstHz, 1e-9);
    if (GetParam().worstHz > 0.0) {
        EXPECT_EQ(fit.worstTone, GetParam().worstTone);
    }
    // Least squares: the residuals sum to nothing.
    EXPECT_NEAR(fit.residualHz[0] + fit.residualHz[1] + fit.residualHz[2] + fit.residualHz[3], 0.0, 1e-9);
}
INSTANTIATE_TEST_SUITE_P(Table, Grids, testing::ValuesIn(kGrids), testing_support::CaseName{});

TEST(Receiver, NoneBeforeTheDataTonesAreWritten) {
    Beacon b = beaconWith("300", kD, "CQ K1ABC FN42");
    b.text(Input::Multiplication) = "";
    EXPECT_FALSE(receiverOf(calculate(b)).has_value());
    EXPECT_FALSE(hearMinute(calculate(b), std::nullopt).has_value());
}

// Heard only with a message it can send; then the minute its parts make.
TEST(HearMinute, NeedsAMessageItCanSend) {
    EXPECT_FALSE(hearMinute(calculate(beaconWith("300", kD, "")), std::nullopt).has_value());
    EXPECT_FALSE(hearMinute(calculate(beaconWith("300", kPi4, "OZ7IGY/B1")), std::nullopt).has_value());
    const Beacon b = beaconWith("300", kD, "CQ K1ABC FN42");
    const auto heard = hearMinute(calculate(b), Noise{-20.0, 3});
    ASSERT_TRUE(heard.has_value());
    const Heard h = hear(b);
    EXPECT_EQ(heard->parts.size(), h.parts.size());
    EXPECT_EQ(heard->samples, simulateMinute(h.parts, Noise{-20.0, 3}));
}

}  // namespace
}  // namespace jt4dds
