#include "media/picture_grab.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <vector>

#include "media/bitmap_header.h"
#include "media/frame_grabber.h"
#include "media/media_detector.h"
#include "media/media_probe.h"
#include "tests/fixtures/scene_clip.h"
#include "tests/media/media_fixture.h"

extern "C" {
#include <libavutil/error.h>
}

namespace klemora::media {
namespace {

class GrabTest : public test::MediaTest {
protected:
    std::vector<uint8_t> grab(MediaInfo& info, int32_t frame, int32_t width = 0, int32_t height = 0) {
        std::vector<uint8_t> buffer(static_cast<size_t>(GetPictureBufferSize(width, height, info)));
        EXPECT_EQ(GrabFrame(info, frame, buffer, width, height, ui), 1) << "frame " << frame << ui.allMessages();
        return buffer;
    }

    // Each frame in `order` matches FFmpeg's own decode of that frame and,
    // where the next picture of the file differs, not that one: a frame off
    // by one cannot pass.
    void expectExactFrames(const std::string& path, std::initializer_list<int32_t> order) {
        MediaInfo info;
        ASSERT_EQ(ProbeMedia(path, info, ui), 1) << ui.allMessages();
        int width = GetVideoWidth(info), height = GetVideoHeight(info);
        int distinctNeighbours = 0;
        for (int32_t frame : order) {
            std::vector<uint8_t> picture = grab(info, frame);
            std::vector<uint8_t> expected = test::ffmpegFrameBgr(path, frame, width, height);
            ASSERT_FALSE(expected.empty()) << frame;
            test::PixelDifference same = test::compareWithDib(expected, picture.data() + 40, width, height);
            EXPECT_LT(same.mean, 0.01) << "frame " << frame;
            EXPECT_LE(same.maximum, 2) << "frame " << frame;
            int32_t neighbour = frame + 1 < info.frameCount ? frame + 1 : frame - 1;
            std::vector<uint8_t> other = test::ffmpegFrameBgr(path, neighbour, width, height);
            if (other == expected) continue;  // the same picture twice in the file
            ++distinctNeighbours;
            EXPECT_GT(test::compareWithDib(other, picture.data() + 40, width, height).mean, same.mean + 0.1)
                << "frame " << frame << " looks like " << neighbour;
        }
        EXPECT_GE(distinctNeighbours, 2);
    }
};

TEST_F(GrabTest, DvType2FramesAreExactAndComeThroughTheAviReader) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string path = dir.file("dv2.avi");
    ASSERT_TRUE(test::makeTestVideo(path, 720, 576, "25", 2.0, "-c:v dvvideo -pix_fmt yuv420p"));
    expectExactFrames(path, {0, 1, 2, 25, 49, 10, 9});
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1);
    grab(info, 0);
    EXPECT_TRUE(info.detector->grabber(info).readsDvFrames());
}

TEST_F(GrabTest, DvType1FixtureFramesAreExact) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    auto options = dvOptions(1, true);
    options.sessions.clear();
    for (int i = 0; i < 4; ++i) {  // one picture per session
        fixtures::DvSession session;
        session.start = fixtures::defaultSessionStart();
        session.start.minutes = 10 * i;
        session.frames = 3;
        options.sessions.push_back(session);
    }
    expectExactFrames(dvFile("dv1.avi", options), {2, 3, 11, 0, 6, 5});
}

TEST_F(GrabTest, TemporallyCompressedFramesAreExactAfterSeeks) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string path = dir.file("mpeg4.mp4");
    ASSERT_TRUE(test::makeTestVideo(path, 320, 240, "25", 3.0, "-c:v mpeg4 -q:v 3 -g 12 -bf 2"));
    expectExactFrames(path, {0, 13, 14, 15, 37, 5, 6, 74, 36});
}

TEST_F(GrabTest, MjpegFramesAreExact) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string path = dir.file("mjpeg.avi");
    ASSERT_TRUE(test::makeTestVideo(path, 320, 240, "25", 2.0, "-c:v mjpeg"));
    expectExactFrames(path, {0, 25, 26, 49, 3});
}

// Given room past the rows, the grabber converts straight into the buffer:
// byte for byte the picture it copies out of its own rows, for the pixel
// formats of PAL DV (4:2:0), NTSC DV (4:1:1) and MJPEG (4:2:2).
TEST_F(GrabTest, StraightConversionGivesTheCopiedPicture) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    struct Clip {
        const char* name;
        int width, height;
        const char* rate;
        const char* codec;
    };
    for (const Clip& clip : {Clip{"pal.avi", 720, 576, "25", "-c:v dvvideo -pix_fmt yuv420p"},
                             Clip{"ntsc.avi", 720, 480, "30000/1001", "-c:v dvvideo -pix_fmt yuv411p"},
                             Clip{"mjpeg.avi", 320, 240, "25", "-c:v mjpeg"}}) {
        SCOPED_TRACE(clip.name);
        std::string path = dir.file(clip.name);
        ASSERT_TRUE(test::makeTestVideo(path, clip.width, clip.height, clip.rate, 0.4, clip.codec));
        MediaInfo copied, straight;
        ASSERT_EQ(ProbeMedia(path, copied, ui), 1);
        ASSERT_EQ(ProbeMedia(path, straight, ui), 1);
        const size_t size = static_cast<size_t>(GetPictureBufferSize(0, 0, copied));
        // Pixels 16-byte aligned after the 40-byte header, as the straight way needs them.
        std::vector<uint8_t> storage(size + FrameGrabber::kConversionSlack + 16);
        const size_t offset = (16 - (reinterpret_cast<uintptr_t>(storage.data()) + 40) % 16) % 16;
        std::span<uint8_t> roomy(storage.data() + offset, size + FrameGrabber::kConversionSlack);
        for (int32_t frame : {0, 1, 7}) {
            std::vector<uint8_t> expected = grab(copied, frame);
            ASSERT_EQ(GrabFrame(straight, frame, roomy, 0, 0, ui), 1) << ui.allMessages();
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), roomy.begin())) << "frame " << frame;
        }
    }
}

// A 'strh' length of 0x20000000 frames on a 30-frame MJPEG clip: the
// demuxer's stream is that long, the grab past the real end fails, and the
// ones after it fail at once.
TEST_F(GrabTest, GrabsPastTheRealEndOfAStreamFail) {
    std::string path = dir.file("clip.avi");
    fixtures::SceneClipOptions clip;
    clip.codec = fixtures::ClipCodec::Mjpeg;
    clip.scenes = {{fixtures::ClipSceneKind::MovingPattern, 30, 1}};
    ASSERT_EQ(fixtures::writeSceneClip(path, clip), 1);
    ASSERT_TRUE(test::setFirstStreamLength(path, 0x20000000u));
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1) << ui.allMessages();
    ASSERT_GT(info.frameCount, 30);  // what the demuxer believes
    std::vector<uint8_t> picture(static_cast<size_t>(GetPictureBufferSize(0, 0, info)));
    app::SilentUserInterface quiet;
    EXPECT_EQ(GrabFrame(info, 29, picture, 0, 0, quiet), 1);
    EXPECT_EQ(GrabFrame(info, 31, picture, 0, 0, quiet), AVERROR_EOF);
    EXPECT_EQ(GrabFrame(info, 5000, picture, 0, 0, quiet), AVERROR_EOF);
    EXPECT_EQ(GrabFrame(info, 29, picture, 0, 0, quiet), 1);
}

TEST_F(GrabTest, FrameTimesAndScaledPictures) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string path = dir.file("clip.avi");
    ASSERT_TRUE(test::makeTestVideo(path, 320, 240, "25", 2.0, "-c:v mjpeg"));
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1);
    auto atTime = [&](double time) {
        std::vector<uint8_t> buffer(static_cast<size_t>(GetPictureBufferSize(0, 0, info)));
        EXPECT_EQ(GrabPictureAtTime(info, time, buffer, 0, 0, ui), 1);
        return buffer;
    };
    EXPECT_EQ(atTime(0.01), grab(info, 0));
    EXPECT_EQ(atTime(1.01), grab(info, 25));
    EXPECT_EQ(atTime(1.039), grab(info, 25));
    EXPECT_NE(atTime(1.04), grab(info, 25));

    // An odd width: rows padded to 4 bytes with zeros, the header telling the size.
    ASSERT_EQ(GetPictureBufferSize(161, 120, info), 40 + 484 * 120);
    std::vector<uint8_t> small = grab(info, 10, 161, 120);
    BitmapInfoHeader header = readBitmapInfoHeader(std::span<const uint8_t, 40>(small.data(), 40));
    EXPECT_EQ(header.width, 161);
    EXPECT_EQ(header.height, 120);
    EXPECT_EQ(header.bitCount, 24);
    EXPECT_EQ(header.sizeImage, 484u * 120);
    for (int y = 0; y < 120; ++y) EXPECT_EQ(small[40 + y * 484 + 483], 0) << y;
    size_t lit = 0;
    for (size_t i = 40; i < small.size(); ++i) lit += small[i] > 16;
    EXPECT_GT(lit, small.size() / 4);
}

TEST_F(GrabTest, FailuresReturnTheirCodes) {
    MediaInfo unprobed;
    std::vector<uint8_t> buffer(1000);
    EXPECT_EQ(GetPictureBufferSize(10, 10, unprobed), -1);
    EXPECT_EQ(GrabFrame(unprobed, 0, buffer, 10, 10, ui), -1);

    MediaInfo info;
    ASSERT_EQ(ProbeMedia(dvFile("short.avi", dvOptions(2, false, 10)), info, ui), 1);
    EXPECT_EQ(GetPictureBufferSize(100000, 10, info), -1);
    std::vector<uint8_t> picture(static_cast<size_t>(GetPictureBufferSize(0, 0, info)));
    EXPECT_EQ(GrabFrame(info, 10, picture, 0, 0, ui), AVERROR_EOF);
    EXPECT_TRUE(ui.hasMessage("Code: KLM-AF-1000\nCode 2: AVERROR_EOF\nPicTime: 0.410000")) << ui.allMessages();
    EXPECT_EQ(GrabFrame(info, -1, picture, 0, 0, ui), AVERROR(EINVAL));
    EXPECT_EQ(GrabFrame(info, 0, std::span<uint8_t>(picture).first(picture.size() - 1), 0, 0, ui),
              AVERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(GrabFrame(info, 9, picture, 0, 0, ui), 1);
}

}  // namespace
}  // namespace klemora::media
