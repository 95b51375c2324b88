// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/hearing/spectrum.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace jt4dds {

PowerSpectrum::PowerSpectrum(std::size_t size)
    : size_(std::bit_ceil(std::max<std::size_t>(size, 2))),
      twiddleRe_(size_ / 2),
      twiddleIm_(size_ / 2),
      reversed_(size_),
      re_(size_),
      im_(size_),
      power_(size_ / 2 + 1) {
    for (std::size_t k = 0; k < size_ / 2; ++k) {
        const double angle = -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(size_);
        twiddleRe_[k] = std::cos(angle);
        twiddleIm_[k] = std::sin(angle);
    }
    const int bits = std::countr_zero(size_);
    for (std::size_t i = 0; i < size_; ++i) {
        std::size_t r = 0;
        for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1U) << (bits - 1 - b);
        reversed_[i] = r;
    }
}

const std::vector<double>& PowerSpectrum::meanOf(const std::vector<double>& a, const std::vector<double>& b) {
    for (std::size_t i = 0; i < size_; ++i) {
        re_[reversed_[i]] = i < a.size() ? a[i] : 0.0;
        im_[reversed_[i]] = i < b.size() ? b[i] : 0.0;
    }
    // Iterative radix-2, decimation in time, on plain arrays of the real and
    // imaginary parts: std::complex here cost six times as much, in stalls on
    // its halves and in the page's size-optimised build in calls.
    double* re = re_.data();
    double* im = im_.data();
    for (std::size_t half = 1; half < size_; half *= 2) {
        const std::size_t stride = size_ / (2 * half);
        for (std::size_t start = 0; start < size_; start += 2 * half) {
            for (std::size_t j = 0; j < half; ++j) {
                const double wRe = twiddleRe_[j * stride];
                const double wIm = twiddleIm_[j * stride];
                const std::size_t p = start + j;
                const std::size_t q = p + half;
                const double tRe = wRe * re[q] - wIm * im[q];
                const double tIm = wRe * im[q] + wIm * re[q];
                re[q] = re[p] - tRe;
                im[q] = im[p] - tIm;
                re[p] += tRe;
                im[p] += tIm;
            }
        }
    }
    // With X the transform of a + ib, A[k] = (X[k] + X*[n-k]) / 2 and
    // B[k] = (X[k] - X*[n-k]) / 2i, so |A[k]|² + |B[k]|² = (|X[k]|² + |X[n-k]|²) / 2.
    for (std::size_t k = 0; k < power_.size(); ++k) {
        const std::size_t m = (size_ - k) % size_;
        power_[k] = 0.25 * (re[k] * re[k] + im[k] * im[k] + re[m] * re[m] + im[m] * im[m]);
    }
    return power_;
}

}  // namespace jt4dds
