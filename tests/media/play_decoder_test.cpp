// The decoding threads of a play: the range's exact frames in order with
// the span's sound, a stop that releases workers waiting on full queues,
// and a picture that fails ending the pictures with its code.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "media/play_decoder.h"
#include "tests/media/media_fixture.h"

namespace klemora::test {
namespace {

class PlayDecoderThreads : public MediaTest {
protected:
    std::unique_ptr<media::MediaInfo> probed(const std::string& path) {
        auto info = std::make_unique<media::MediaInfo>();
        EXPECT_EQ(media::ProbeMedia(path, *info, ui), 1);
        media::GetExtraData(*info, false, ui);
        return info;
    }
    static std::unique_ptr<media::SoundDecoder> soundOf(const std::string& path, double start, double seconds) {
        auto sound = std::make_unique<media::SoundDecoder>();
        EXPECT_EQ(sound->open(path), 1);
        EXPECT_EQ(sound->start(start, seconds, sound->streamFormat()), 1);
        return sound;
    }
    // Takes everything the decoder gives until both queues are drained.
    static void drain(media::PlayDecoder& decoder, std::vector<media::DecodedPicture>& pictures, size_t& soundBytes) {
        while (!decoder.picturesDrained() || !decoder.soundDrained()) {
            bool got = false;
            if (auto picture = decoder.nextPicture()) pictures.push_back(std::move(*picture)), got = true;
            if (auto chunk = decoder.nextSound()) soundBytes += chunk->size(), got = true;
            if (!got) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

TEST_F(PlayDecoderThreads, TheRangesExactFramesInOrderWithTheSpansSound) {
    std::string path = dvFile("play.avi", fixtures::hourlySessionsOptions(24, 2, 1));
    auto info = probed(path);
    auto reference = probed(path);
    media::PlayDecoder decoder(*info, {6, 17}, 180, 144);
    decoder.start(soundOf(path, 6 * 0.04, 12 * 0.04));
    std::vector<media::DecodedPicture> pictures;
    size_t soundBytes = 0;
    drain(decoder, pictures, soundBytes);
    EXPECT_EQ(decoder.pictureError(), 0);
    EXPECT_EQ(soundBytes, 12u * 1920 * 4);
    ASSERT_EQ(pictures.size(), 12u);
    for (size_t i = 0; i < pictures.size(); ++i) {
        ASSERT_EQ(pictures[i].frame, static_cast<int32_t>(6 + i));
        std::vector<uint8_t> grabbed(pictures[i].dib.size());
        ASSERT_EQ(media::GrabFrame(*reference, pictures[i].frame, grabbed, 180, 144, ui), 1);
        EXPECT_EQ(pictures[i].dib, grabbed) << "frame " << pictures[i].frame;
    }
}

TEST_F(PlayDecoderThreads, AStopReleasesWorkersWaitingOnFullQueues) {
    std::string path = dvFile("long.avi", dvOptions(2, false, 200));
    auto info = probed(path);
    media::PlayDecoder decoder(*info, {0, 199}, 90, 72);
    decoder.start(soundOf(path, 0, 8));
    // Nothing is taken: both workers end up waiting for room.
    while (!decoder.nextPicture()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    decoder.stop();
    EXPECT_TRUE(decoder.picturesDrained());
    EXPECT_TRUE(decoder.soundDrained());
}

TEST_F(PlayDecoderThreads, AFrameThatCannotBeReadEndsThePicturesWithItsCode) {
    fixtures::DvFixtureInfo written;
    std::string path = dir.file("cut.avi");
    ASSERT_EQ(fixtures::writeDvAvi(path, dvOptions(2, false, 30), &written), 1);
    auto info = probed(path);
    std::filesystem::resize_file(path, static_cast<uintmax_t>(written.frameDataOffsets[20] + 100));
    media::PlayDecoder decoder(*info, {15, 29}, 90, 72);
    decoder.start(nullptr);
    std::vector<media::DecodedPicture> pictures;
    size_t soundBytes = 0;
    drain(decoder, pictures, soundBytes);
    ASSERT_EQ(pictures.size(), 5u);
    EXPECT_EQ(pictures.back().frame, 19);
    EXPECT_LT(decoder.pictureError(), 0);
    EXPECT_EQ(decoder.errorFrame(), 20);
    EXPECT_EQ(soundBytes, 0u);
}

}  // namespace
}  // namespace klemora::test
