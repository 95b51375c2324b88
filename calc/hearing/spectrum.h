// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace jt4dds {

// A discrete Fourier transform of a fixed power-of-two length, its twiddles
// made once: what the waterfall runs some 240 times a minute. The same code
// in the program, the command line and the page, so all three draw the same
// picture from the same samples.
class PowerSpectrum {
public:
    // `size` must be a power of two of at least 2; anything else is taken as
    // the next power of two up.
    explicit PowerSpectrum(std::size_t size);
    std::size_t size() const { return size_; }
    // |X[k]|² for k in [0, size/2] of the real `frame` (size() samples; a
    // shorter frame is taken as padded with zeros, a longer one is cut).
    // Never allocates after the first call.
    const std::vector<double>& of(const std::vector<double>& frame);

private:
    std::size_t size_;
    std::vector<std::complex<double>> twiddle_;  // e^(-2πik/size), k < size/2
    std::vector<std::size_t> reversed_;          // bit-reversed order
    std::vector<std::complex<double>> work_;
    std::vector<double> power_;
};

}  // namespace jt4dds
