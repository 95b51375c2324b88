// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/hearing/spectrum.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace jt4dds {

PowerSpectrum::PowerSpectrum(std::size_t size)
    : size_(std::bit_ceil(std::max<std::size_t>(size, 2))),
      twiddle_(size_ / 2),
      reversed_(size_),
      work_(size_),
      power_(size_ / 2 + 1) {
    for (std::size_t k = 0; k < size_ / 2; ++k)
        twiddle_[k] = std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(size_));
    const int bits = std::countr_zero(size_);
    for (std::size_t i = 0; i < size_; ++i) {
        std::size_t r = 0;
        for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1U) << (bits - 1 - b);
        reversed_[i] = r;
    }
}

const std::vector<double>& PowerSpectrum::of(const std::vector<double>& frame) {
    for (std::size_t i = 0; i < size_; ++i) work_[reversed_[i]] = i < frame.size() ? frame[i] : 0.0;
    // Iterative radix-2, decimation in time.
    for (std::size_t half = 1; half < size_; half *= 2) {
        const std::size_t stride = size_ / (2 * half);
        for (std::size_t start = 0; start < size_; start += 2 * half) {
            for (std::size_t j = 0; j < half; ++j) {
                // Written out: the library's operator* checks for infinities on every call.
                const std::complex<double> w = twiddle_[j * stride];
                const std::complex<double> x = work_[start + j + half];
                const std::complex<double> t(w.real() * x.real() - w.imag() * x.imag(),
                                             w.real() * x.imag() + w.imag() * x.real());
                work_[start + j + half] = work_[start + j] - t;
                work_[start + j] += t;
            }
        }
    }
    for (std::size_t k = 0; k < power_.size(); ++k) power_[k] = std::norm(work_[k]);
    return power_;
}

}  // namespace jt4dds
