// Scene clips as camcorder recordings: every scene a take with its own date
// packs, and PCM sound beside the pictures, as the engine benches time them.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

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

// The decoded pictures' checksums, one line a frame.
std::vector<std::string> pictureSums(const std::string& path) {
    auto lines = runCommand("ffmpeg -v error -i " + shellQuote(path) + " -map 0:v -f framemd5 - </dev/null");
    std::vector<std::string> sums;
    std::istringstream in(lines.value_or(""));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') sums.push_back(line.substr(line.rfind(',') + 1));
    return sums;
}

TEST(SceneClipTakes, ACopyShowsThePicturesOverAgainWithTakesOfItsOwn) {
    ScopedTimeZone zone("UTC");
    TempDir dir;
    const std::string pictures = dir.file("short.avi"), path = dir.file("long.avi");
    const fixtures::ClipScene moving{ClipSceneKind::MovingPattern, 10, 1}, noise{ClipSceneKind::Noise, 10, 2};
    const scene::RecordingTime start = stamp(2012, 3, 4, 5, 6, 7);
    ASSERT_EQ(fixtures::writeSceneClip(pictures, {{moving, noise}, ClipCodec::Dv, start}), 1);
    ASSERT_EQ(fixtures::writeSceneClipFrom(pictures, path, {{moving, noise, moving, noise}, ClipCodec::Dv, start}), 1);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 40)}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 9}, {10, 19}, {20, 29}, {30, 39}}));
    EXPECT_EQ(run.scenes.recordingTime(3), stamp(2012, 3, 4, 8, 6, 7));

    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    const std::vector<std::string> once = pictureSums(pictures);
    ASSERT_EQ(once.size(), 20u);
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(pictureSums(path), twice);
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
