// The search over real files: DV recordings whose sessions each show their
// own picture, so every session boundary is a hard cut at a known frame.
#include "detect/picture_scene_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/string_table.h"
#include "scene/time_text.h"
#include "tests/detect/dv_detection_support.h"

namespace klemora::detect {
namespace {

using test::Span;
using test::spansOf;

// Sessions of these lengths, one picture each, from 2006-07-01 10:00:00 on.
fixtures::DvFixtureOptions sessionsOf(const std::vector<int>& lengths) {
    fixtures::DvFixtureOptions options;
    for (size_t i = 0; i < lengths.size(); ++i)
        options.sessions.push_back(test::session(test::stamp(2006, 7, 1, 10 + static_cast<int>(i), 0, 0), lengths[i]));
    return options;
}

class PictureSceneSearchTest : public ::testing::Test {
protected:
    PictureSceneSearchTest() : detector(ui) {
        detector.variant1 = true;
        detector.progressAttached = true;
    }

    std::string recording(const std::vector<int>& lengths, const std::string& name = "clip.avi") {
        return test::writeRecording(dir, name, sessionsOf(lengths));
    }
    int search(const std::string& path, int32_t first = 0, int32_t last = INT32_MAX) {
        return SearchScenes(path, scenes, detector, first, last);
    }

    test::TempDir dir;
    test::ScriptedUserInterface ui;
    PictureDiffDetector detector;
    scene::SceneList scenes;
};

TEST_F(PictureSceneSearchTest, HardCutsAreFoundAtTheirExactFrame) {
    test::ScopedTimeZone zone("UTC");
    std::string path = recording({110, 90, 137, 80, 120});
    ASSERT_EQ(search(path), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 109}, {110, 199}, {200, 336}, {337, 416}, {417, 536}}));

    // Block brightness alone, and all three tests together, find the same
    // cuts. (Hue alone misses one: two of these pictures share their hue.)
    for (auto variants : {std::array{false, true, false}, std::array{true, true, true}}) {
        scenes.clear();
        detector.variant1 = variants[0];
        detector.variant2 = variants[1];
        detector.variant3 = variants[2];
        ASSERT_EQ(search(path), 1);
        EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 109}, {110, 199}, {200, 336}, {337, 416}, {417, 536}}));
    }
}

TEST_F(PictureSceneSearchTest, RecordsCarryTheFileFactsAndMovedStartTimes) {
    test::ScopedTimeZone zone("UTC");
    std::string path = recording({100, 120});
    ASSERT_EQ(search(path), 1);
    ASSERT_EQ(scenes.count(), 2);
    const scene::SceneRecord& second = *scenes.record(1);
    EXPECT_EQ(std::string(second.sourceFile), path);
    EXPECT_EQ(second.definedStart, 100);
    EXPECT_EQ(second.definedStop, 219);
    EXPECT_EQ(second.fileFirstFrame, 0);
    EXPECT_EQ(second.fileLastFrame, 219);
    EXPECT_EQ(second.dvType, 2);
    EXPECT_EQ(second.openDmlKind, 0);
    EXPECT_EQ(second.allKeyframes, 1);
    EXPECT_FLOAT_EQ(second.framesPerSecond, 25.0f);
    EXPECT_EQ(std::string(second.videoFourcc), "dvsd");
    // From the packs of the scene's own first frame: the second take began at 11:00.
    EXPECT_EQ(scene::recordingTimeText(second.recordingTime), "01-07-2006 / 11:00:00");
    EXPECT_EQ(second.timecode, (scene::Timecode{0, 0, 4, 0}));
    EXPECT_EQ(scene::recordingTimeText(scenes.record(0)->recordingTime), "01-07-2006 / 10:00:00");
    EXPECT_EQ(ui.progressDestination, "Szene 2");
    EXPECT_EQ(ui.progressPosition(), 0);  // reset at the end
}

TEST_F(PictureSceneSearchTest, DvScenesTakeTheTimesOfTheirOwnFirstFrame) {
    test::ScopedTimeZone zone("Europe/Berlin");
    fixtures::DvFixtureOptions options;
    options.sessions = {test::session(test::stamp(2006, 7, 1, 10, 0, 0), 100),
                        test::session(test::stamp(2006, 7, 1, 14, 30, 0), 100),
                        test::session(test::stamp(2006, 7, 2, 9, 15, 30), 100)};
    options.sessions[1].timecodeStart = scene::Timecode{1, 0, 0, 0};
    // The third take's first frames lost their packs: the times are then
    // worked out from the first frame of the file, as for files without packs.
    options.framesWithoutPacks = {{200, 210}};
    ASSERT_EQ(search(test::writeRecording(dir, "takes.avi", options)), 1);
    ASSERT_EQ(spansOf(scenes), (std::vector<Span>{{0, 99}, {100, 199}, {200, 299}}));
    EXPECT_EQ(scene::recordingTimeText(scenes.recordingTime(1)), "01-07-2006 / 14:30:00");
    EXPECT_EQ(scenes.timecode(1), (scene::Timecode{1, 0, 0, 0}));
    EXPECT_EQ(scene::recordingTimeText(scenes.recordingTime(2)), "01-07-2006 / 10:00:08");
    EXPECT_EQ(scenes.timecode(2), (scene::Timecode{0, 0, 8, 0}));
}

TEST_F(PictureSceneSearchTest, MinimumFrameCountWorksFromTheLastChange) {
    // Cut at 100; the change 30 frames later at 130 is too early, and so is
    // the one 75 frames after that; 76 frames after it are enough.
    std::string tooEarly = recording({100, 30, 75, 100}, "early.avi");
    ASSERT_EQ(search(tooEarly), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 99}, {100, 304}}));

    scenes.clear();
    std::string enough = recording({100, 30, 76, 100}, "enough.avi");
    ASSERT_EQ(search(enough), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 99}, {100, 205}, {206, 305}}));
}

TEST_F(PictureSceneSearchTest, ShortScenesAndShortRanges) {
    std::string path = recording({100, 100});
    // 26 frames across the cut: one scene over the whole range.
    ASSERT_EQ(search(path, 90, 115), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{90, 115}}));
    scenes.clear();
    ASSERT_EQ(search(path, 150, 150), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{150, 150}}));
    // A range beyond the file is cut to its frames.
    scenes.clear();
    ASSERT_EQ(search(path, 120, 5000), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{120, 199}}));
    // A lower minimum finds a scene of 40 frames.
    scenes.clear();
    detector.minFrameCount = 30;
    std::string shortScene = recording({60, 40, 60}, "short.avi");
    ASSERT_EQ(search(shortScene), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 59}, {60, 99}, {100, 159}}));
}

TEST_F(PictureSceneSearchTest, TrimmingKeepsTheEndsOfTheRange) {
    detector.trim = true;
    detector.trimWidth = 3;
    std::string path = recording({100, 100, 100});
    ASSERT_EQ(search(path, 10, 299), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{10, 96}, {103, 196}, {203, 299}}));
    EXPECT_EQ(scenes.record(1)->definedStart, 103);
}

TEST_F(PictureSceneSearchTest, StoppingEndsTheSceneInHandAtTheRangeEnd) {
    std::string path = recording({100, 100, 100});
    ui.onPump = [](test::ScriptedUserInterface& seam) {
        if (seam.pumps() == 6) seam.requestCancel();
    };
    ASSERT_EQ(search(path), 2);
    // The sixth pump comes with the probe at frame 175, in the second scene.
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 99}, {100, 299}}));
}

TEST_F(PictureSceneSearchTest, FailuresReportAndKeepEarlierScenes) {
    std::string path = recording({100, 100});
    ASSERT_EQ(search(path), 1);
    ASSERT_EQ(scenes.count(), 2);

    EXPECT_EQ(search(dir.file("missing.avi")), -1);
    EXPECT_TRUE(ui.hasMessage("Fehler beim Öffnen der Datei!\nFile: " + dir.file("missing.avi") + "\nCode: "));
    EXPECT_EQ(search(path, 500, 600), -4);
    EXPECT_TRUE(ui.hasMessage("Code: KLM-AS-1003"));
    detector.progressAttached = false;
    EXPECT_EQ(search(path), -2);
    EXPECT_TRUE(ui.hasMessage("Code: KLM-AS-1001"));
    EXPECT_EQ(scenes.count(), 2);
    for (const auto& message : ui.messages()) EXPECT_EQ(message.icon, app::Icon::Stop) << message.text;

    // Not a video at all.
    test::writeTextFile(dir.file("notes.avi"), "not a RIFF file");
    detector.progressAttached = true;
    EXPECT_EQ(search(dir.file("notes.avi")), -1);
}

TEST_F(PictureSceneSearchTest, AFullSceneListEndsTheFile) {
    std::string path = recording({100, 100});
    while (scenes.count() < scene::kMaxScenes - 1) ASSERT_GE(scenes.AddNewScene(), 0);
    EXPECT_EQ(search(path), -6);
    EXPECT_EQ(scenes.count(), scene::kMaxScenes);
    EXPECT_EQ(scenes.startFrame(scene::kMaxScenes - 1), 0);
    EXPECT_EQ(scenes.stopFrame(scene::kMaxScenes - 1), 99);
    EXPECT_TRUE(ui.hasMessage("Fehler in AddNewScene()!\nCode: "));
    // The full list's own message comes once, before the failed step's.
    ASSERT_GE(ui.messages().size(), 2u);
    const auto& shown = ui.messages();
    auto isFull = [](const auto& m) { return m.text == app::loadString(140); };
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(), isFull), 1);
    EXPECT_EQ(shown[shown.size() - 2].text, app::loadString(140));
}

TEST_F(PictureSceneSearchTest, DetectionLogTracesTheLastFile) {
    test::ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.path().c_str());
    detector.logEnabled = true;
    std::string first = recording({100, 100}, "first.avi");
    std::string second = recording({100, 60}, "second.avi");
    ASSERT_EQ(search(first), 1);
    ASSERT_EQ(search(second), 1);
    std::string log = test::readTextFile(dir.file("KlemoraLog.txt"));
    EXPECT_EQ(log.rfind("Searching for Scenes in: " + second + "\n\n", 0), 0u) << log.substr(0, 200);
    EXPECT_EQ(log.find(first), std::string::npos);
    EXPECT_NE(log.find("F:     1-  26 / sCnt:   26 /  / BDif:   0 / lN:   0 / cN:   0 / cH: 0.0000\n"),
              std::string::npos);
    EXPECT_NE(log.find("F:    76- 101 / sCnt:  101 /  / BDif:   0 / lN:   0 / cN:   0 / cH: "), std::string::npos);
    EXPECT_NE(log.find(" B: init:  76 / sCnt:   76 / "), std::string::npos);
    EXPECT_NE(log.find(" B:       101 / sCnt:  101 /  / BDif:   0 / lN:   0 / cN:   0 / cH: "), std::string::npos);
    EXPECT_NE(log.find(" -> Neue Szene!\n\n - STOP-- SceneEnd --\n"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 15), "-- SceneEnd --\n");
}

// A video 'strh' length of 0x20000000 frames: the search ends at the frames the file holds.
TEST_F(PictureSceneSearchTest, DamagedStreamLengthEndsAtTheRealEnd) {
    test::ScopedTimeZone zone("UTC");
    std::string path = recording({100, 120});
    std::string bytes = test::readTextFile(path);
    const size_t strh = bytes.find("strh");
    ASSERT_NE(strh, std::string::npos);
    for (int i = 0; i < 4; ++i) bytes[strh + 8 + 32 + i] = static_cast<char>((0x20000000u >> (8 * i)) & 0xFF);
    test::writeTextFile(path, bytes);
    ASSERT_EQ(search(path), 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 99}, {100, 219}}));
}

}  // namespace
}  // namespace klemora::detect
