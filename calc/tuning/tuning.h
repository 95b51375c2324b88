// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

#include "calc/tuning/tone_plan.h"

namespace jt4dds {

// How the DDS sits between the master reference and the transmitter.
enum class DdsConfig {
    Direct = 0,   // clocked by the reference, generates the row's frequency
    Reverse = 1,  // clocked by the row's frequency, generates the reference
};
inline constexpr std::array<std::string_view, 2> kConfigLabels{"Direct Freq Gen", "Reverse DDS"};

// A DDS frequency word as the listing writes it: signed 32 bits.
using TuningWord = std::int32_t;

// The 35 % limit a row exceeded, if any.
enum class Limit { None, Direct, Reverse };

struct RowResult {
    double ddsHz = 0.0;      // F: the frequency at the DDS
    TuningWord word = 0;     // 0 when the row exceeded a limit
    double outputMHz = 0.0;  // Mult × F / 1e6: the planned output, not what the rounded word gives
    Limit limit = Limit::None;
};

// Arithmetic that has no defined result; it ends the calculation.
enum class Undefined {
    MultiplicationZero,         // the DDS carrier is the output divided by Mult
    ReferenceZero,              // Direct: F / reference with the reference at 0
    DdsFrequencyZero,           // Reverse: divided by F with F at 0
    WordOutOfRange,             // the rounded word does not fit signed 32 bits
    NotFinite,                  // a step's result is beyond the range of a double
    ReverseResolutionWordZero,  // Reverse resolution with the aux tone's word at 0
};

struct Fault {
    Undefined kind;
    double value = 0.0;  // the rounded word for WordOutOfRange; 0 otherwise
};

// Either the value, or why it has none.
template <class T>
using Checked = std::variant<T, Fault>;

inline constexpr double kMegahertz = 1'000'000.0;
inline constexpr double kTwoPow31 = 2147483648.0;
inline constexpr double kTwoPow32 = 4294967296.0;
inline constexpr double kTwoPow33 = 8589934592.0;
inline constexpr double kLimitFraction = 0.35;

// The field's megahertz in hertz (× 1e6).
Checked<double> megahertzToHertz(double megahertz) noexcept;

// Carrier = FoutHz / Mult: the DDS frequency that puts the reference tone on
// the output frequency.
Checked<double> ddsCarrierHz(double foutHz, double mult) noexcept;

// Row `row` of the plan turned into its DDS frequency, limit check, word and
// output frequency, each operation in the order the listing's bits depend on:
// F = Carrier + (row − row 4) / Mult; Direct word floor(F / FrefHz × 2^32 + 0.5);
// Reverse word floor(2^32 × FrefHz / F + 0.5). Exactly 35 % passes either
// check. `mult` must not be 0 (the carrier could not have been formed).
Checked<RowResult> computeRow(int row, const TonePlan& plan, double carrierHz, double mult, double frefHz,
                              DdsConfig config) noexcept;

// Half a word step at the output: Direct (Mult × FrefHz) / 2^33; Reverse
// ((Mult × 2^31) / W) / W × FrefHz with W the aux tone's word.
Checked<double> resolutionHz(double mult, double frefHz, DdsConfig config, TuningWord auxWord) noexcept;

// True when the resolution is coarser than N / 4 Hz (any positive one for PI4).
bool resolutionTooLow(double resolutionHz, std::int32_t spacingNumber) noexcept;

// The SSB dial frequency in Hz that puts the reference tone on the output:
// Carrier × Mult − row 4; and the same in MHz, divided by 1e6.
Checked<double> ssbCarrierHz(double carrierHz, double mult, double referenceToneHz) noexcept;
Checked<double> ssbCarrierMHz(double carrierHz, double mult, double referenceToneHz) noexcept;

// The output frequency in Hz that `word` really produces: Direct
// Mult × (W × FrefHz / 2^32); Reverse Mult × (2^32 × FrefHz / W). Nothing for
// a Reverse word of 0 (a rejected row), or when the result leaves the range
// of a double.
std::optional<double> actualOutputHz(TuningWord word, double mult, double frefHz, DdsConfig config) noexcept;

}  // namespace jt4dds
