// The PCM arithmetic of speed copies: interpolation in every sample format
// and the silence values.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "output/pcm_resample.h"

namespace klemora::test {
namespace {

output::PcmLayout layout(uint16_t tag, uint16_t channels, uint16_t bits) {
    return {tag, channels, 48000, static_cast<uint16_t>(channels * bits / 8), bits};
}

TEST(PcmResample, SixteenBitStereoIsInterpolatedPerChannel) {
    output::PcmLayout pcm = layout(1, 2, 16);
    std::vector<int16_t> source = {0, 1000, 100, -1000, 200, 3000};
    std::vector<int16_t> out(6 * 2);
    output::resamplePcm(pcm, {reinterpret_cast<const uint8_t*>(source.data()), source.size() * 2}, 0.0, 0.5,
                        {reinterpret_cast<uint8_t*>(out.data()), out.size() * 2});
    EXPECT_EQ(out, (std::vector<int16_t>{0, 1000, 50, 0, 100, -1000, 150, 1000, 200, 3000, 200, 3000}));
}

TEST(PcmResample, OtherFormatsKeepTheirRange) {
    output::PcmLayout u8 = layout(1, 1, 8);
    std::vector<uint8_t> bytes = {64, 192};  // -0.5 and +0.5 around the 128 of silence
    std::vector<uint8_t> out(3);
    output::resamplePcm(u8, bytes, 0.0, 0.5, out);
    EXPECT_EQ(out, (std::vector<uint8_t>{64, 128, 192}));

    output::PcmLayout s24 = layout(1, 1, 24);
    std::vector<uint8_t> s24bytes = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F};  // minimum, maximum
    std::vector<uint8_t> s24out(3 * 2);
    output::resamplePcm(s24, s24bytes, 0.0, 2.0, s24out);  // every second sample, the end held
    EXPECT_EQ(s24out, (std::vector<uint8_t>{0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F}));

    output::PcmLayout f32 = layout(3, 1, 32);
    std::vector<float> floats = {-0.5f, 0.5f};
    std::vector<float> fout(3);
    output::resamplePcm(f32, {reinterpret_cast<const uint8_t*>(floats.data()), 8}, 0.0, 0.5,
                        {reinterpret_cast<uint8_t*>(fout.data()), 12});
    EXPECT_EQ(fout, (std::vector<float>{-0.5f, 0.0f, 0.5f}));
    EXPECT_FALSE(output::canResamplePcm(layout(0x55, 2, 16)));
}

TEST(PcmResample, SilenceValues) {
    std::vector<uint8_t> out(4, 7);
    output::fillPcmSilence(layout(1, 1, 8), out);
    EXPECT_EQ(out, std::vector<uint8_t>(4, 0x80));
    output::fillPcmSilence(layout(1, 2, 16), out);
    EXPECT_EQ(out, std::vector<uint8_t>(4, 0));
    output::fillPcmSilence(layout(7, 1, 8), out);
    EXPECT_EQ(out, std::vector<uint8_t>(4, 0xFF));
}

}  // namespace
}  // namespace klemora::test
