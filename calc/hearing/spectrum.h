// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

namespace jt4dds {

// A discrete Fourier transform of a fixed power-of-two length, its twiddles
// made once: what the waterfall runs some 240 times a minute, on two real
// frames at once. The same code
// in the program, the command line and the page, so all three draw the same
// picture from the same samples.
class PowerSpectrum {
public:
    // `size` must be a power of two of at least 2; anything else is taken as
    // the next power of two up.
    explicit PowerSpectrum(std::size_t size);
    std::size_t size() const { return size_; }
    // (|A[k]|² + |B[k]|²) / 2 for k in [0, size/2]: the mean power of the
    // real frames `a` and `b` (size() samples each; a shorter frame is taken
    // as padded with zeros, a longer one is cut). One complex transform of
    // a + ib carries both, so a pair costs what one frame would. Never
    // allocates after the first call.
    const std::vector<double>& meanOf(const std::vector<double>& a, const std::vector<double>& b);

private:
    std::size_t size_;
    std::vector<double> twiddleRe_;  // e^(-2πik/size), k < size/2
    std::vector<double> twiddleIm_;
    std::vector<std::size_t> reversed_;  // bit-reversed order
    std::vector<double> re_;             // the transform of a + ib, in place
    std::vector<double> im_;
    std::vector<double> power_;
};

}  // namespace jt4dds
