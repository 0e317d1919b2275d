// The scene clips the picture-difference detection is measured on: what
// FFmpeg decodes from them, where their cuts are and how their pictures
// change at and between the cuts.
#include "tests/fixtures/scene_clip.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "app/settings_store.h"
#include "app/ui.h"
#include "detect/picture_diff_detector.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "tests/avi/writer/writer_test_support.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using fixtures::ClipCodec;
using fixtures::ClipScene;
using fixtures::ClipSceneKind;
using fixtures::SceneClipOptions;

constexpr int kThumbWidth = 90;
constexpr int kThumbHeight = 72;

struct ClipCase {
    const char* name;
    ClipCodec codec;
    const char* codecName;
    const char* codecTag;
    std::vector<ClipScene> scenes;
};
void PrintTo(const ClipCase& c, std::ostream* os) { *os << c.name; }

// Mean absolute difference of every decoded frame from the one before, on
// small RGB pictures (frame 0 gets none).
std::vector<double> frameSteps(const std::string& path, int frames) {
    auto raw = runCommand("ffmpeg -v error -i " + shellQuote(path) + " -vf scale=" + std::to_string(kThumbWidth) + ":" +
                          std::to_string(kThumbHeight) + " -pix_fmt rgb24 -f rawvideo - </dev/null");
    const size_t size = static_cast<size_t>(kThumbWidth) * kThumbHeight * 3;
    std::vector<double> steps;
    if (!raw || raw->size() != size * frames) return steps;
    const auto* bytes = reinterpret_cast<const uint8_t*>(raw->data());
    steps.push_back(0);
    for (int f = 1; f < frames; ++f) {
        long sum = 0;
        for (size_t i = 0; i < size; ++i) sum += std::abs(bytes[f * size + i] - bytes[(f - 1) * size + i]);
        steps.push_back(static_cast<double>(sum) / size);
    }
    return steps;
}

constexpr int kFinestPreset = 4;
constexpr int kDefaultPreset = 2;

// Whether the detector, at the default and at the finest preset and with
// each variant alone, takes frame n (from 1 on) for a new scene after frame
// n - 1; [0] default, [1] finest, then the variant.
using Verdicts = std::array<std::array<std::vector<bool>, 3>, 2>;

Verdicts newScenesByVariant(const std::string& path) {
    app::SilentUserInterface ui;
    app::SettingsStore store;
    media::MediaInfo info;
    Verdicts verdicts;
    if (media::ProbeMedia(path, info, ui) != 1) return verdicts;
    std::vector<uint8_t> picture(static_cast<size_t>(media::GetPictureBufferSize(0, 0, info)));
    std::vector<std::unique_ptr<detect::PictureDiffDetector>> detectors;
    for (int preset : {kDefaultPreset, kFinestPreset}) {
        for (int v = 0; v < 3; ++v) {
            auto& detector = detectors.emplace_back(std::make_unique<detect::PictureDiffDetector>(ui));
            detector->setPreset(detect::picturePreset(preset, store));
            detector->variant1 = v == 0;
            detector->variant2 = v == 1;
            detector->variant3 = v == 2;
        }
    }
    for (int32_t frame = 0; frame < info.frameCount; ++frame) {
        if (media::GrabFrame(info, frame, picture, 0, 0, ui) != 1) return {};
        for (size_t d = 0; d < detectors.size(); ++d) {
            if (frame == 0) detectors[d]->InitSearch(picture, path);
            verdicts[d / 3][d % 3].push_back(frame > 0 && detectors[d]->CompareFrame(picture));
        }
    }
    return verdicts;
}

// The frames that differ from the one before because of a flash: the flash
// and the frame after it.
std::set<int32_t> stepsAtFlashes(const std::vector<ClipScene>& scenes) {
    std::set<int32_t> steps;
    for (int32_t flash : fixtures::flashFrames(scenes)) steps.insert({flash, flash + 1});
    return steps;
}

int totalFrames(const std::vector<ClipScene>& scenes) {
    int total = 0;
    for (const ClipScene& s : scenes) total += s.frames;
    return total;
}

struct WrittenClip {
    std::string path;
    int result = 0;
    std::vector<int32_t> cuts;
    std::string error;
};

// Each case's clip, written once for all the tests that look at it.
const WrittenClip& clipOf(const ClipCase& c) {
    static TempDir dir;
    static std::map<std::string, WrittenClip> clips;
    auto [at, added] = clips.try_emplace(c.name);
    WrittenClip& clip = at->second;
    if (added) {
        clip.path = dir.file(std::string(c.name) + ".avi");
        clip.result = fixtures::writeSceneClip(clip.path, {c.scenes, c.codec}, &clip.cuts, &clip.error);
    }
    return clip;
}

class SceneClipCodec : public ::testing::TestWithParam<ClipCase> {};

TEST_P(SceneClipCodec, DecodesToItsFramesWithHardCutsOnlyAtTheSceneStarts) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    const ClipCase& c = GetParam();
    const WrittenClip& clip = clipOf(c);
    ASSERT_EQ(clip.result, 1) << clip.error;
    const std::string& path = clip.path;
    const std::vector<int32_t>& cuts = clip.cuts;

    const int total = totalFrames(c.scenes);
    auto streams = probeStreams(path);
    ASSERT_TRUE(streams);
    ASSERT_EQ(streams->size(), 1u);
    EXPECT_EQ((*streams)[0].codecType, "video");
    EXPECT_EQ((*streams)[0].codecTag, c.codecTag);
    EXPECT_EQ((*streams)[0].frameRate, "25/1");
    EXPECT_EQ((*streams)[0].readFrames, total);
    auto codec = runCommand("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 " +
                            shellQuote(path));
    EXPECT_EQ(codec.value_or(""), std::string(c.codecName) + ",720,576\n");

    std::vector<int32_t> expectedCuts;
    int32_t first = 0;
    for (size_t i = 0; i + 1 < c.scenes.size(); ++i) expectedCuts.push_back(first += c.scenes[i].frames);
    EXPECT_EQ(cuts, expectedCuts);

    const std::vector<double> steps = frameSteps(path, total);
    ASSERT_EQ(steps.size(), static_cast<size_t>(total));
    for (int32_t cut : cuts) EXPECT_GT(steps[cut], 30) << "cut at " << cut;
    // A flash jumps there and back; nothing else inside a scene may look like a cut.
    const std::set<int32_t> flashSteps = stepsAtFlashes(c.scenes);
    EXPECT_FALSE(flashSteps.empty());
    first = 0;
    for (const ClipScene& scene : c.scenes) {
        double largest = 0;
        for (int32_t f = first + 1; f < first + scene.frames; ++f) {
            if (flashSteps.count(f)) EXPECT_GT(steps[f], 30) << "flash step " << f;
            else largest = std::max(largest, steps[f]);
        }
        EXPECT_GT(largest, 0.05) << clipSceneKindName(scene.kind) << " from " << first << " does not move";
        EXPECT_LT(largest, 10) << clipSceneKindName(scene.kind) << " from " << first;
        first += scene.frames;
    }
}

// The contract the detection benchmark relies on, in the detector's own
// measures: each variant alone sees every cut at the default preset and, but
// for the flash frames, nothing inside a scene even at the finest preset.
TEST_P(SceneClipCodec, PictureDetectorSeesEveryCutAndNothingElse) {
    const ClipCase& c = GetParam();
    const WrittenClip& clip = clipOf(c);
    ASSERT_EQ(clip.result, 1) << clip.error;
    const std::string& path = clip.path;
    const int total = totalFrames(c.scenes);
    const std::set<int32_t> flashSteps = stepsAtFlashes(c.scenes);
    const std::set<int32_t> cuts = {clip.cuts.begin(), clip.cuts.end()};
    const Verdicts verdicts = newScenesByVariant(path);
    const auto& atDefault = verdicts[0];
    const auto& atFinest = verdicts[1];
    for (int v = 0; v < 3; ++v) {
        ASSERT_EQ(atDefault[v].size(), static_cast<size_t>(total));
        ASSERT_EQ(atFinest[v].size(), static_cast<size_t>(total));
        for (int32_t cut : cuts) EXPECT_TRUE(atDefault[v][cut]) << "variant " << v + 1 << " misses the cut at " << cut;
        for (int32_t f = 1; f < total; ++f)
            if (!cuts.count(f) && !flashSteps.count(f)) {
                EXPECT_FALSE(atFinest[v][f]) << "variant " << v + 1 << " at " << f;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, SceneClipCodec,
    ::testing::Values(ClipCase{"Dv", ClipCodec::Dv, "dvvideo", "dvsd",
                               {{ClipSceneKind::MovingPattern, 110, 1},
                                {ClipSceneKind::Noise, 95, 2},
                                {ClipSceneKind::SlowFade, 100, 3},
                                {ClipSceneKind::Flash, 95, 4}}},
                      ClipCase{"Mjpeg", ClipCodec::Mjpeg, "mjpeg", "MJPG",
                               {{ClipSceneKind::ColourField, 90, 5},
                                {ClipSceneKind::Pan, 120, 6},
                                {ClipSceneKind::Flash, 100, 7},
                                {ClipSceneKind::SlowFade, 90, 8}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SceneClip, SameOptionsGiveTheSameBytesAndDvFillsWholeFrameChunks) {
    TempDir dir;
    const std::vector<ClipScene> scenes = {
        {ClipSceneKind::Noise, 12, 9}, {ClipSceneKind::Flash, 30, 10}, {ClipSceneKind::Pan, 8, 11}};
    for (ClipCodec codec : {ClipCodec::Dv, ClipCodec::Mjpeg}) {
        ASSERT_EQ(fixtures::writeSceneClip(dir.file("a.avi"), {scenes, codec}), 1);
        ASSERT_EQ(fixtures::writeSceneClip(dir.file("b.avi"), {scenes, codec}), 1);
        const std::vector<uint8_t> a = readBytes(dir.file("a.avi"));
        EXPECT_TRUE(a == readBytes(dir.file("b.avi")));
        std::string error;
        std::vector<RiffNode> top = walkRiff(a, &error);
        ASSERT_EQ(top.size(), 1u) << error;
        const RiffNode* movi = top[0].list(fourcc("movi"));
        ASSERT_TRUE(movi);
        std::vector<const RiffNode*> frames = movi->all(fourcc("00dc"));
        EXPECT_EQ(frames.size(), 50u);
        std::set<uint32_t> sizes;
        for (const RiffNode* frame : frames) sizes.insert(frame->size);
        if (codec == ClipCodec::Dv) EXPECT_EQ(sizes, std::set<uint32_t>{144000});
        else EXPECT_GT(sizes.size(), 1u);
    }
    std::vector<ClipScene> reseeded = scenes;
    reseeded[1].seed = 12;
    ASSERT_EQ(fixtures::writeSceneClip(dir.file("c.avi"), {reseeded, ClipCodec::Mjpeg}), 1);
    EXPECT_FALSE(readBytes(dir.file("a.avi")) == readBytes(dir.file("c.avi")));
}

TEST(SceneClip, OptionsWithoutFramesAreRefusedAndLeaveNoFile) {
    TempDir dir;
    const std::string path = dir.file("none.avi");
    std::string error;
    EXPECT_EQ(fixtures::writeSceneClip(path, {}, nullptr, &error), -3);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fixtures::writeSceneClip(path, {{{ClipSceneKind::Noise, 10, 1}, {ClipSceneKind::Pan, 0, 2}}}), -3);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(fixtures::writeSceneClip(dir.file("missing/clip.avi"), {{{ClipSceneKind::Noise, 3, 1}}}, nullptr, &error),
              -1);
}

TEST(SceneClip, BenchmarkMixFillsTheFramesWithEveryKindInRange) {
    const std::vector<ClipScene> scenes = fixtures::benchmarkScenes(30000, 7);
    EXPECT_EQ(totalFrames(scenes), 30000);
    EXPECT_GT(scenes.size(), 150u);
    std::set<ClipSceneKind> kinds;
    for (const ClipScene& s : scenes) {
        kinds.insert(s.kind);
        EXPECT_GE(s.frames, 90);
        EXPECT_LE(s.frames, 400);
    }
    EXPECT_EQ(kinds.size(), static_cast<size_t>(fixtures::kClipSceneKinds));
    EXPECT_EQ(fixtures::sceneCuts(scenes).size(), scenes.size() - 1);

    const std::vector<ClipScene> again = fixtures::benchmarkScenes(30000, 7);
    const std::vector<ClipScene> other = fixtures::benchmarkScenes(30000, 8);
    auto lengths = [](const std::vector<ClipScene>& list) {
        std::vector<int32_t> out;
        for (const ClipScene& s : list) out.push_back(s.frames);
        return out;
    };
    EXPECT_EQ(lengths(again), lengths(scenes));
    EXPECT_NE(lengths(other), lengths(scenes));

    EXPECT_EQ(totalFrames(fixtures::mixedScenes(15000, 250, 1000, 3)), 15000);
    const std::vector<ClipScene> tiny = fixtures::benchmarkScenes(40, 7);
    ASSERT_EQ(tiny.size(), 1u);
    EXPECT_EQ(tiny[0].frames, 40);
    EXPECT_TRUE(fixtures::benchmarkScenes(0, 7).empty());
}

}  // namespace
}  // namespace klemora::test
