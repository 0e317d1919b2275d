#include "media/probe_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "media/picture_export.h"
#include "tests/support/temp_dir.h"

namespace klemora::media {
namespace {

TEST(ProbeRules, DurationAndFrameCount) {
    struct Case {
        double length;
        float rate;
        float duration;
        int32_t frames;
    } cases[] = {
        {4.004, 25, 4.00f, 100},
        {4.006, 25, 4.01f, 100},  // 4.01 x 25 + 0.5 = 100.75
        {4.995, 25, 5.00f, 125},
        {2.0, 25, 2.00f, 50},
        {3.3366666, 29.97003f, 3.34f, 100},
        {0.001, 25, 0.00f, 0},
    };
    for (const Case& c : cases) {
        float duration = durationFromLength(c.length);
        EXPECT_FLOAT_EQ(duration, c.duration) << c.length;
        EXPECT_EQ(frameCountFor(duration, c.rate), c.frames) << c.length;
    }
}

TEST(ProbeRules, FixRatioDecidesWideScreen) {
    EXPECT_EQ(normalizeFixRatio("16 / 9"), "16:9");
    EXPECT_EQ(normalizeFixRatio(" 4/3 "), "4:3");
    EXPECT_EQ(normalizeFixRatio(""), "");
    EXPECT_TRUE(wideScreenFor("16:9", false));
    EXPECT_FALSE(wideScreenFor("4:3", true));
    EXPECT_TRUE(wideScreenFor("", true));
    EXPECT_FALSE(wideScreenFor("", false));
    EXPECT_TRUE(wideScreenFor("x", true));  // neither 4 nor 16: the file decides
}

TEST(ProbeRules, FrameTimesLieInsideTheFrame) {
    EXPECT_DOUBLE_EQ(frameTime(0, 1.0f / 25), 0.01);
    EXPECT_NEAR(frameTime(25, 1.0f / 25), 1.01, 1e-6);
    // Far into an NTSC file the moment still maps back to its own frame.
    float ntsc = 1.0f / 29.97003f;
    for (int32_t frame : {1, 1000, 107892, 500000})
        EXPECT_EQ(static_cast<int32_t>(frameTime(frame, ntsc) * 29.97003), frame);
}

TEST(PictureGeometry, AspectCorrectionAndClipping) {
    PictureGeometry normal = pictureGeometry(720, 576, 0, true, false);
    EXPECT_EQ(normal.width, 768);
    EXPECT_EQ(normal.height, 576);
    EXPECT_EQ(pictureGeometry(720, 576, 0, true, true).width, 1024);
    EXPECT_EQ(pictureGeometry(720, 576, 0, false, true).width, 720);
    EXPECT_EQ(pictureGeometry(768, 576, 0, true, false).width, 768);  // already 4:3

    PictureGeometry clipped = pictureGeometry(720, 576, 10, false, false);
    EXPECT_EQ(clipped.marginX, 36);
    EXPECT_EQ(clipped.marginY, 28);
    EXPECT_EQ(clipped.clippedWidth(), 648);
    EXPECT_EQ(clipped.clippedHeight(), 520);
    EXPECT_EQ(pictureGeometry(720, 576, 100, false, false).clippedWidth(), 0);
    EXPECT_EQ(pictureGeometry(720, 576, 150, false, false).clippedWidth(), 0);  // limited to 100
    EXPECT_EQ(pictureGeometry(720, 576, -5, false, false).clippedWidth(), 720);
}

TEST(PictureNames, FollowTheSourceName) {
    EXPECT_EQ(framePicturePath(pictureNameBase("C:\\v\\clip.avi", "D:\\pics"), 0 + 1), "D:\\pics\\clip_f00001.bmp");
    EXPECT_EQ(framePicturePath(pictureNameBase("/v/clip.avi", "/pics"), 0), "/pics/clip_f00000.bmp");
    EXPECT_EQ(framePicturePath(pictureNameBase("/v/clip.avi", "/pics/"), 12345), "/pics/clip_f12345.bmp");
    EXPECT_EQ(framePicturePath(pictureNameBase("/v/clip.avi", ""), 7), "/v/clip_f00007.bmp");
    // A dot in a folder name is no extension.
    EXPECT_EQ(pictureNameBase("/v.1/clip", ""), "/v.1/clip");
}

TEST(PictureNames, DateSuffixCountsWholeSecondsFromTheFirstFrame) {
    test::ScopedEnv tz("TZ", "Europe/Berlin");
    tzset();
    scene::RecordingTime first{0, 0, 14, 1, 6, 106, 0, 0, -1};  // 2006-07-01 14:00:00
    EXPECT_EQ(dateSuffixedPath("/p/clip_f01626.bmp", first, 65.01), "/p/clip_f01626_2006-07-01_14-01-05.bmp");
    EXPECT_EQ(dateSuffixedPath("/p/clip", first, 3600.99), "/p/clip_2006-07-01_15-00-00.bmp");
}

}  // namespace
}  // namespace klemora::media
