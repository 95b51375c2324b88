// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace jt4dds {

// One item of the submode selector: its label and its spacing number N.
// N > 0 places the four JT4 tones N × 4.375 Hz apart; N = 0 (or below) selects
// the PI4 tone set; N = 72 is JT4G, the only mode the 800 Hz option suits.
struct SubmodeEntry {
    std::string_view label;
    std::int32_t spacingNumber;
};

// The submode selector's items, in the selector's order.
inline constexpr std::array<SubmodeEntry, 8> kSubmodes{{
    {"A", 1},
    {"B", 2},
    {"C", 4},
    {"D", 9},
    {"E", 18},
    {"F", 36},
    {"G", 72},
    {"PI4", 0},
}};
inline constexpr int kInitialSubmodeIndex = 3;  // "D"
inline constexpr std::int32_t kJt4gSpacingNumber = 72;

// Rows of the tone plan, in listing order.
enum ToneRow : std::size_t {
    kDataTone0 = 0,
    kDataTone1 = 1,
    kDataTone2 = 2,
    kDataTone3 = 3,
    kReferenceTone = 4,
    kKeyUpTone = 5,
    kKeyDownTone = 6,
    kAuxTone = 7,
};
inline constexpr int kToneCount = 8;

// Eight audio frequencies in hertz. Every row lands at RF at its audio distance
// from row 4, the reference tone, which sits on the output frequency.
struct TonePlan {
    std::array<double, kToneCount> hz{};
};

// The four data tones' centre: 118 steps of 11025/1024 Hz, or 1272.5 Hz with
// the 800 Hz option, which puts JT4G's tone 0 on 800 Hz.
inline constexpr double kCentreHz = (11025.0 / 1024.0) * 118.0;
inline constexpr double kCentre800Hz = 1272.5;
inline constexpr double kJt4StepHz = 4.375;
// PI4's data tones relative to the centre, 234.375 Hz apart.
inline constexpr double kPi4SpacingHz = 234.375;
inline constexpr std::array<double, 4> kPi4OffsetsHz{-117.1875, 117.1875, 351.5625, 585.9375};
// The reference tone the 800 Hz option writes into its field.
inline constexpr std::string_view kRef800Text = "800";

// Rows 0 to 3 for spacing number N and the 800 Hz option; rows 4 to 7 are 0.
// The products are formed as (N × factor) × 4.375 and then added to the
// centre, in double arithmetic, so every last bit matches the listing's.
TonePlan dataTones(std::int32_t spacingNumber, bool option800) noexcept;

// True when the 800 Hz option is on for any mode but JT4G.
bool toneZeroOffsetWrong(std::int32_t spacingNumber, bool option800) noexcept;

// PI4, whose spacing number is 0: its tones are 234.375 Hz apart, not N × 4.375 Hz.
constexpr bool isPi4(std::int32_t spacingNumber) { return spacingNumber <= 0; }

// The data tones' nominal spacing: N × 4.375 Hz, or 234.375 Hz for PI4.
double nominalSpacingHz(std::int32_t spacingNumber);

// The four data tones measured against the evenly spaced grid t0 + k * spacing
// that fits them best by least squares. A decoder locks onto the signal as a
// whole, so a common offset of every tone is no error here; what is left
// costs it energy in every symbol, about as the square of each tone's
// distance, so the RMS distance is the measure.
struct GridFit {
    double originHz = 0.0;               // t0
    std::array<double, 4> residualHz{};  // tone_k - (t0 + k * spacing)
    double rmsHz = 0.0;                  // the residuals' RMS
    double worstHz = 0.0;                // the largest |residual|
    int worstTone = 0;                   // the first tone that far off
};
GridFit fitGrid(const std::array<double, 4>& toneHz, double spacingHz);
// The grid's four lines, t0 + k * spacing: where a decoder expects the tones.
std::array<double, 4> gridLines(const GridFit& fit, std::int32_t spacingNumber);

}  // namespace jt4dds
