// The search reads its pictures ahead on a second thread with a threaded
// decoder; the plain way, one picture at a time on one thread, must give
// the same scenes, the same detection log and the same messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "detect/picture_scene_search.h"
#include "scene/time_text.h"
#include "tests/detect/dv_detection_support.h"
#include "tests/fixtures/scene_clip.h"

namespace klemora::detect {
namespace {

struct SearchOutcome {
    int result = 0;
    std::string scenes;  // one line per scene with what the search filled in
    std::string log;
    std::vector<std::string> messages;
};

std::string sceneLines(const scene::SceneList& scenes) {
    std::string text;
    for (int i = 0; i < scenes.count(); ++i) {
        const scene::SceneRecord& r = *scenes.record(i);
        char line[256];
        std::snprintf(line, sizeof line, "%d-%d defined %d-%d file %d-%d dv %d odml %d %s tc %d:%d:%d:%d %s\n",
                      r.startFrame, r.stopFrame, r.definedStart, r.definedStop, r.fileFirstFrame, r.fileLastFrame,
                      r.dvType, r.openDmlKind, scene::recordingTimeText(r.recordingTime).c_str(), r.timecode.hours,
                      r.timecode.minutes, r.timecode.seconds, r.timecode.frames, r.videoFourcc);
        text += line;
    }
    return text;
}

class PictureReadPathsTest : public ::testing::Test {
protected:
    SearchOutcome search(const std::string& path, bool plain, bool allVariants = false) {
        test::ScriptedUserInterface ui;
        PictureDiffDetector detector(ui);
        detector.progressAttached = true;
        detector.logEnabled = true;
        detector.plainReading = plain;
        detector.variant1 = true;
        detector.variant2 = detector.variant3 = allVariants;
        scene::SceneList scenes;
        SearchOutcome outcome;
        outcome.result = SearchScenes(path, scenes, detector, 0, INT32_MAX);
        outcome.scenes = sceneLines(scenes);
        outcome.log = test::readTextFile(dir.file("KlemoraLog.txt"));
        for (const auto& message : ui.messages()) outcome.messages.push_back(message.text);
        return outcome;
    }

    // Both ways over `path`; the fast one's outcome, for further checks.
    SearchOutcome expectSameBothWays(const std::string& path, bool allVariants = false) {
        SearchOutcome plain = search(path, true, allVariants);
        SearchOutcome fast = search(path, false, allVariants);
        EXPECT_EQ(fast.result, plain.result);
        EXPECT_EQ(fast.scenes, plain.scenes);
        EXPECT_EQ(fast.log, plain.log);
        EXPECT_EQ(fast.messages, plain.messages);
        EXPECT_FALSE(plain.log.empty());
        return fast;
    }

    test::TempDir dir;
    test::ScopedEnv documents{"XDG_DOCUMENTS_DIR", dir.path().c_str()};
    test::ScopedTimeZone zone{"UTC"};
};

fixtures::DvFixtureOptions sessionsOf(const std::vector<int>& lengths, int type) {
    fixtures::DvFixtureOptions options;
    options.type = type;
    for (size_t i = 0; i < lengths.size(); ++i)
        options.sessions.push_back(test::session(test::stamp(2006, 7, 1, 10 + static_cast<int>(i), 0, 0), lengths[i]));
    return options;
}

// 326 frames: the last coarse probe lands on the last frame, where the last scene ends.
TEST_F(PictureReadPathsTest, TypeOneWithTheLastProbeOnTheLastFrame) {
    std::string path = test::writeRecording(dir, "type1.avi", sessionsOf({100, 100, 126}, 1));
    SearchOutcome fast = expectSameBothWays(path);
    EXPECT_EQ(fast.result, 1);
    EXPECT_NE(fast.scenes.find("200-325 "), std::string::npos) << fast.scenes;
}

// Type 2 in RIFF segments of about 30 frames, with a chunk of the wrong
// size, a frame on a coarse probe that lost its header block (the decoder
// takes it for another system and size), and the file cut inside a frame.
TEST_F(PictureReadPathsTest, TypeTwoSegmentsWithDamagedFrames) {
    fixtures::DvFixtureOptions options = sessionsOf({120, 110, 96}, 2);
    options.openDml = fixtures::OpenDmlLayout::Segments;
    options.riffSegmentBytes = 30 * 150000;
    options.damagedSizeFields = {{150, 1000}};
    options.truncateInsideFrame = 310;
    fixtures::DvFixtureInfo info;
    std::string path = dir.file("type2.avi");
    ASSERT_EQ(fixtures::writeDvAvi(path, options, &info), 1);
    ASSERT_GT(info.riffSegments, 5);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(info.frameDataOffsets[175]);
        const std::string zeros(80, '\0');  // the header block of the first DIF sequence
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    SearchOutcome fast = expectSameBothWays(path);
    EXPECT_EQ(fast.result, 1);
    EXPECT_NE(fast.scenes.find("230-309 "), std::string::npos) << fast.scenes;
}

// Moving pictures and noise, where every frame's histogram and blocks differ.
TEST_F(PictureReadPathsTest, MovingScenesWithEveryTest) {
    using fixtures::ClipSceneKind;
    std::string path = dir.file("moving.avi");
    std::vector<int32_t> cuts;
    ASSERT_EQ(fixtures::writeSceneClip(path,
                                       {{{ClipSceneKind::MovingPattern, 110, 1},
                                         {ClipSceneKind::Noise, 95, 2},
                                         {ClipSceneKind::Pan, 90, 3}}},
                                       &cuts),
              1);
    SearchOutcome fast = expectSameBothWays(path, true);
    EXPECT_EQ(fast.result, 1);
    EXPECT_NE(fast.log.find("-> Neue Szene!"), std::string::npos);
}

}  // namespace
}  // namespace klemora::detect
