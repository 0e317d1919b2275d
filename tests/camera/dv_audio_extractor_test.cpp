// The sound of camera frames through the DV demultiplexer: real frames give
// their samples, a frame the demultiplexer refuses leaves nothing open (the
// sanitizer build checks for leaks) and the next good frame starts again.
#include <gtest/gtest.h>

#include <vector>

#include "camera/dv_audio_extractor.h"
#include "tests/fixtures/dv_fixture.h"

namespace klemora::test {
namespace {

std::vector<uint8_t> sampleFrame(int32_t frame) {
    return fixtures::makeDvFrame(fixtures::singleSessionOptions(4), frame);
}

void expectSound(camera::DvAudioExtractor& extractor, const std::vector<uint8_t>& frame) {
    ASSERT_FALSE(frame.empty());
    std::vector<uint8_t> pcm;
    avi::PcmFormat format;
    ASSERT_EQ(extractor.extract(frame, pcm, format), 1);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.samplesPerSecond, 48000u);
    EXPECT_EQ(pcm.size(), static_cast<size_t>(camera::samplesForFrame(0, 48000, true)) * 4);
}

TEST(DvAudioExtractor, TakesTheSoundOfEveryFrame) {
    camera::DvAudioExtractor extractor;
    for (int32_t i = 0; i < 3; ++i) expectSound(extractor, sampleFrame(i));
}

TEST(DvAudioExtractor, ARefusedFrameLeavesNothingOpenAndTheNextOneWorks) {
    const std::vector<std::vector<uint8_t>> refused = {
        {},                               // nothing at all
        std::vector<uint8_t>(80, 0x00),   // less than a DIF sequence
        std::vector<uint8_t>(144000, 0xFF),  // no DIF header
    };
    for (const auto& bad : refused) {
        camera::DvAudioExtractor extractor;
        std::vector<uint8_t> pcm = {1, 2, 3};
        avi::PcmFormat format;
        EXPECT_LE(extractor.extract(bad, pcm, format), 0) << bad.size();
        EXPECT_TRUE(pcm.empty());
        expectSound(extractor, sampleFrame(0));
    }
}

TEST(DvAudioExtractor, GoesAwayUnusedOrAfterAFailure) {
    { camera::DvAudioExtractor unused; }
    camera::DvAudioExtractor failed;
    std::vector<uint8_t> pcm;
    avi::PcmFormat format;
    EXPECT_LE(failed.extract(std::vector<uint8_t>(80, 0x00), pcm, format), 0);
}

}  // namespace
}  // namespace klemora::test
