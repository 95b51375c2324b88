// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/hearing/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "tests/case_name.h"

namespace jt4dds {
namespace {

// |X[k]|² straight from the definition, for k up to n/2.
std::vector<double> naivePower(const std::vector<double>& frame, std::size_t n) {
    std::vector<double> power(n / 2 + 1);
    for (std::size_t k = 0; k < power.size(); ++k) {
        std::complex<double> sum;
        for (std::size_t i = 0; i < n && i < frame.size(); ++i)
            sum += frame[i] *
                   std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k * i % n) / static_cast<double>(n));
        power[k] = std::norm(sum);
    }
    return power;
}

struct TransformCase {
    const char* name;
    std::size_t asked;
    std::size_t size;
    std::size_t samples;  // how many of the frame's samples are given
};
const TransformCase kTransforms[] = {
    {.name = "smallest", .asked = 2, .size = 2, .samples = 2},
    {.name = "under_two_is_two", .asked = 0, .size = 2, .samples = 2},
    {.name = "not_a_power_of_two_goes_up", .asked = 12, .size = 16, .samples = 16},
    {.name = "short_frame_is_padded", .asked = 64, .size = 64, .samples = 40},
    {.name = "long_frame_is_cut", .asked = 64, .size = 64, .samples = 100},
    {.name = "the_waterfalls_length", .asked = 2048, .size = 2048, .samples = 2048},
};
class Transform : public testing::TestWithParam<TransformCase> {};
TEST_P(Transform, IsTheMeanOfTheDefinitionsPowers) {
    PowerSpectrum transform(GetParam().asked);
    ASSERT_EQ(transform.size(), GetParam().size);
    // Two frames with no symmetry to hide a wrong twiddle, order or
    // separation of the pair behind.
    std::vector<double> a(GetParam().samples);
    std::vector<double> b(GetParam().samples);
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = std::sin(0.37 * static_cast<double>(i * i)) + 0.25 * static_cast<double>(i % 7);
        b[i] = std::cos(1.9 * static_cast<double>(i)) - 0.5 * static_cast<double>(i % 3);
    }
    const std::vector<double> powerA = naivePower(a, GetParam().size);
    const std::vector<double> powerB = naivePower(b, GetParam().size);
    for (int pass = 0; pass < 2; ++pass) {  // the second call reuses the first's buffers
        const std::vector<double>& power = transform.meanOf(a, b);
        ASSERT_EQ(power.size(), powerA.size());
        for (std::size_t k = 0; k < power.size(); ++k) {
            const double expected = 0.5 * (powerA[k] + powerB[k]);
            EXPECT_NEAR(power[k], expected, 1e-9 * (1.0 + expected)) << "bin " << k;
        }
    }
}
INSTANTIATE_TEST_SUITE_P(Table, Transform, testing::ValuesIn(kTransforms), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
