// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/wav.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/case_name.h"

namespace jt4dds {
namespace {

// The whole file for three samples: the canonical header, little-endian.
TEST(Wav, ThreeSamplesWhole) {
    const std::string expected(
        "RIFF\x2A\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\xE0\x2E\0\0\xC0\x5D\0\0\x02\0\x10\0"
        "data\x06\0\0\0\x01\0\xFF\xFF\xFF\x7F",
        50);
    EXPECT_EQ(wavFile({1, -1, 32767}, 12000), expected);
}

TEST(Wav, ReadsBackWhatItWrites) {
    const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32768, 1234};
    const auto audio = readWav(wavFile(samples, 11025));
    ASSERT_TRUE(audio.has_value());
    EXPECT_EQ(audio->rate, 11025);
    EXPECT_EQ(audio->samples, samples);
}

// The header and the samples' bytes are the file; written, they are the
// file, and they replace what was there.
TEST(Wav, HeaderAndBytesAreTheWholeFile) {
    const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32768, 1234, -2};
    const std::string whole = wavFile(samples, 12000);
    std::string scratch;
    EXPECT_EQ(wavHeader(samples.size(), 12000) + std::string(littleEndianBytes(samples, scratch)), whole);
    EXPECT_EQ(wavHeader(samples.size(), 12000).size(), 44u);
    const auto path = std::filesystem::path(testing::TempDir()) / "pieces.wav";
    std::ofstream(path) << "an older, longer file that the minute replaces";
    ASSERT_EQ(writeWavFile(path, samples, 12000), std::nullopt);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), whole);
    std::filesystem::remove(path);
}

struct Refused {
    const char* name;
    std::string bytes;
};
const std::string kGood = wavFile({1, 2}, 12000);
const Refused kRefused[] = {
    {.name = "empty", .bytes = ""},
    {.name = "not_riff", .bytes = "RIFX" + kGood.substr(4)},
    {.name = "data_cut_short", .bytes = kGood.substr(0, kGood.size() - 1)},
    {.name = "stereo", .bytes = kGood.substr(0, 22) + std::string("\x02", 1) + kGood.substr(23)},
    {.name = "eight_bit", .bytes = kGood.substr(0, 34) + std::string("\x08", 1) + kGood.substr(35)},
    {.name = "no_data_chunk", .bytes = kGood.substr(0, 36)},
};
class WavRefused : public testing::TestWithParam<Refused> {};
TEST_P(WavRefused, Nothing) { EXPECT_FALSE(readWav(GetParam().bytes).has_value()); }
INSTANTIATE_TEST_SUITE_P(Table, WavRefused, testing::ValuesIn(kRefused), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
