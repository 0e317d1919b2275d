// Scene clips as camcorder recordings: every scene a take with its own date
// packs, and PCM sound beside the pictures, as the engine benches time them.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/avi/writer/writer_test_support.h"
#include "tests/detect/dv_detection_support.h"
#include "tests/fixtures/scene_clip.h"

namespace klemora::test {
namespace {

using fixtures::ClipCodec;
using fixtures::ClipSceneKind;

TEST(SceneClipTakes, DvDatesCutAtEveryTakeAndSoundRunsBeside) {
    ScopedTimeZone zone("UTC");
    TempDir dir;
    const std::string path = dir.file("takes.avi");
    fixtures::SceneClipOptions options{{{ClipSceneKind::MovingPattern, 12, 1},
                                        {ClipSceneKind::Noise, 20, 2},
                                        {ClipSceneKind::ColourField, 13, 3}},
                                       ClipCodec::Dv,
                                       stamp(2010, 5, 31, 23, 30, 0)};
    ASSERT_EQ(fixtures::writeSceneClip(path, options), 1);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 45)}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 11}, {12, 31}, {32, 44}}));
    ASSERT_EQ(run.scenes.count(), 3);
    // An hour apart, over midnight and the month's end.
    EXPECT_EQ(run.scenes.recordingTime(2), stamp(2010, 6, 1, 1, 30, 0));

    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    auto streams = runCommand("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 " +
                              shellQuote(path));
    EXPECT_EQ(streams.value_or(""), "dvvideo\npcm_s16le,48000,2\n");
    auto sound = runCommand("ffmpeg -v error -i " + shellQuote(path) + " -map 0:a -c copy -f s16le - </dev/null");
    EXPECT_EQ(sound.value_or("").size(), 45u * 1920 * 4);  // 1920 stereo samples a frame
}

TEST(SceneClipTakes, AreDvOnly) {
    TempDir dir;
    const std::string path = dir.file("takes.avi");
    fixtures::SceneClipOptions options{{{ClipSceneKind::Noise, 5, 1}}, ClipCodec::Mjpeg, stamp(2010, 1, 1, 0, 0, 0)};
    EXPECT_EQ(fixtures::writeSceneClip(path, options), -3);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace klemora::test
