#include "detect/dv_scene_detection.h"

#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "scene/time_text.h"
#include "tests/detect/dv_detection_support.h"

namespace klemora::test {
namespace {

using fixtures::DvFixtureOptions;

DvFixtureOptions recording(std::vector<fixtures::DvSession> sessions, int type = 1) {
    DvFixtureOptions options;
    options.type = type;
    options.sessions = std::move(sessions);
    return options;
}

// Two sessions: 10:00:00 and 10:00:01 in the first 50 frames, then the second.
struct BreakCase {
    const char* name;
    scene::RecordingTime secondStart;
    int diff;
    std::vector<Span> expected;
};
void PrintTo(const BreakCase& c, std::ostream* os) { *os << c.name; }

class DvBreakRule : public ::testing::TestWithParam<BreakCase> {};

TEST_P(DvBreakRule, JumpLargerThanTheDifferenceStartsAScene) {
    ScopedTimeZone zone("UTC");
    TempDir dir;
    const BreakCase& c = GetParam();
    std::string path = writeRecording(
        dir, "tape.avi", recording({session(stamp(2006, 7, 1, 10, 0, 0), 50), session(c.secondStart, 25)}));
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 75)}, ui, c.diff, 0);
    EXPECT_EQ(spansOf(run.scenes), c.expected);
    EXPECT_EQ(run.result.status, 1);
    EXPECT_TRUE(ui.messages().empty()) << ui.allMessages();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DvBreakRule,
    ::testing::Values(BreakCase{"OneSecondOn", stamp(2006, 7, 1, 10, 0, 2), 1, {{0, 74}}},
                      BreakCase{"TwoSecondsOn", stamp(2006, 7, 1, 10, 0, 3), 1, {{0, 49}, {50, 74}}},
                      BreakCase{"TwoSecondsWithDiffTwo", stamp(2006, 7, 1, 10, 0, 3), 2, {{0, 74}}},
                      BreakCase{"SameSecondAgain", stamp(2006, 7, 1, 10, 0, 1), 1, {{0, 74}}},
                      BreakCase{"BackwardsOneHour", stamp(2006, 7, 1, 9, 0, 0), 1, {{0, 49}, {50, 74}}},
                      BreakCase{"OtherDaySameTime", stamp(2006, 7, 2, 10, 0, 2), 1, {{0, 49}, {50, 74}}}),
    [](const auto& info) { return std::string(info.param.name); });

class DvSceneDetection : public ::testing::Test {
protected:
    ScopedTimeZone m_zone{"UTC"};
    TempDir m_dir;
};

TEST_F(DvSceneDetection, TrimsInnerBoundariesAndFillsEveryField) {
    DvFixtureOptions options = recording({session(stamp(2006, 7, 1, 10, 0, 0), 300),
                                          session(stamp(2006, 7, 1, 11, 0, 0), 400),
                                          session(stamp(2006, 7, 2, 9, 30, 0), 300)},
                                         2);
    std::string path = writeRecording(m_dir, "three.avi", options);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 1000)}, ui, 1, 2);
    ASSERT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 297}, {302, 697}, {702, 999}}));
    EXPECT_TRUE(run.scenes.modified());
    EXPECT_EQ(run.result.sceneCount, 3);
    const int32_t firstFrames[] = {0, 300, 700};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const scene::SceneRecord& r = *run.scenes.record(i);
        EXPECT_EQ(scene::fieldText(r.sourceFile), path);
        EXPECT_EQ(r.definedStart, r.startFrame);
        EXPECT_EQ(r.definedStop, r.stopFrame);
        // Date and timecode are those of the scene's first recorded frame, before trimming.
        EXPECT_EQ(r.recordingTime, fixtures::expectedRecordingTime(options, firstFrames[i]));
        EXPECT_EQ(r.timecode, fixtures::expectedTimecode(options, firstFrames[i]));
        EXPECT_EQ(r.fileFirstFrame, 0);
        EXPECT_EQ(r.fileLastFrame, 1000);  // the frame count, as this detection always stored it
        EXPECT_EQ(r.dvType, 2);
        EXPECT_EQ(r.openDmlKind, 0);
        EXPECT_EQ(r.allKeyframes, 1);
        EXPECT_FLOAT_EQ(r.framesPerSecond, 25.0f);
        EXPECT_EQ(r.wideScreen, 0);
        EXPECT_EQ(scene::fieldText(r.videoFourcc), "dvsd");
    }
    EXPECT_EQ(scene::timecodeText(run.scenes.timecode(1)), "00:00:12:00");
    EXPECT_EQ(ui.progressSource, path);
    EXPECT_EQ(ui.progressDestination, app::loadString(341) + " 3");
    EXPECT_EQ(ui.progressOpened, 1);
    EXPECT_EQ(ui.progressClosed, 1);

    // Within a part of the file the range's own ends stay untrimmed.
    DetectionRun part;
    runDetection(part, {{path, 100, 899}}, ui, 1, 2);
    EXPECT_EQ(spansOf(part.scenes), (std::vector<Span>{{100, 297}, {302, 697}, {702, 899}}));
}

TEST_F(DvSceneDetection, TrimmingThatLeavesNothingKeepsTheScene) {
    // A recording of a single frame between two others, and a last one shorter than the trim.
    std::string a = writeRecording(m_dir, "a.avi",
                                   recording({session(stamp(2006, 7, 1, 10, 0, 0), 100),
                                              session(stamp(2006, 7, 1, 10, 1, 0), 1),
                                              session(stamp(2006, 7, 1, 10, 2, 0), 100)}));
    std::string b = writeRecording(
        m_dir, "b.avi",
        recording({session(stamp(2006, 7, 1, 12, 0, 0), 100), session(stamp(2006, 7, 1, 12, 5, 0), 3)}));
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(a, 201), wholeFile(b, 103)}, ui, 1, 5);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 94}, {100, 100}, {106, 200}, {0, 94}, {100, 102}}));
}

TEST_F(DvSceneDetection, BadSettingsAreMadeUsable) {
    std::string path = writeRecording(
        m_dir, "t.avi", recording({session(stamp(2006, 7, 1, 10, 0, 0), 50), session(stamp(2006, 7, 1, 10, 0, 3), 25)}));
    ScriptedUserInterface ui;
    scene::SceneList scenes;
    detect::DvDetectionSettings settings{0, -1};  // "TrimCount" -1: the trim list had no selection
    detect::FindPerDvDatestamp({wholeFile(path, 75)}, scenes, ui, settings);
    EXPECT_EQ(settings.datestampDiff, 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 49}, {50, 74}}));

    settings = {-5, 150};
    ui.expectQuestion(app::loadString(112), app::Answer::Ok);
    detect::FindPerDvDatestamp({wholeFile(path, 75)}, scenes, ui, settings);
    EXPECT_EQ(settings.datestampDiff, 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 49}, {50, 74}}));  // trim 99 leaves nothing: untrimmed
}

TEST_F(DvSceneDetection, SettingsComeFromTheStore) {
    app::SettingsStore store(m_dir.file("Klemora.ini"));
    EXPECT_EQ(detect::readDvDetectionSettings(store).datestampDiff, 1);
    EXPECT_EQ(detect::readDvDetectionSettings(store).trimCount, 1);
    store.writeInt("DatestampDiff", 7);
    store.writeInt("TrimCount", 12);
    EXPECT_EQ(detect::readDvDetectionSettings(store).datestampDiff, 7);
    EXPECT_EQ(detect::readDvDetectionSettings(store).trimCount, 12);
}

TEST_F(DvSceneDetection, FoundScenesAreReplacedOnlyAfterOk) {
    std::string path = writeRecording(m_dir, "t.avi", recording({session(stamp(2006, 7, 1, 10, 0, 0), 30)}));
    ScriptedUserInterface ui;
    scene::SceneList scenes;
    scenes.AddNewScene();
    scenes.AddNewScene();
    scenes.setModified(false);
    detect::DvDetectionSettings settings;
    std::vector<bool> running;
    auto hook = [&](bool on) { running.push_back(on); };

    ui.expectQuestion(app::loadString(112), app::Answer::Cancel);
    detect::DvDetectionResult kept = detect::FindPerDvDatestamp({wholeFile(path, 30)}, scenes, ui, settings, hook);
    EXPECT_FALSE(kept.started);
    EXPECT_EQ(scenes.count(), 2);
    EXPECT_FALSE(scenes.modified());
    EXPECT_TRUE(running.empty());
    EXPECT_EQ(ui.progressOpened, 0);

    ui.expectQuestion(app::loadString(112), app::Answer::Ok);
    detect::DvDetectionResult replaced = detect::FindPerDvDatestamp({wholeFile(path, 30)}, scenes, ui, settings, hook);
    EXPECT_TRUE(replaced.started);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 29}}));
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
    EXPECT_EQ(ui.questions().back().buttons, app::Buttons::OkCancel);
}

TEST_F(DvSceneDetection, CancelStillEndsTheLastSceneAtTheRangeEnd) {
    std::string path = writeRecording(m_dir, "long.avi", recording({session(stamp(2006, 7, 1, 10, 0, 0), 650)}));
    std::string next = writeRecording(m_dir, "next.avi", recording({session(stamp(2006, 7, 1, 11, 0, 0), 20)}));
    ScriptedUserInterface ui;
    ui.cancelAtPosition(400);
    DetectionRun run;
    runDetection(run, {wholeFile(path, 650), wholeFile(next, 20)}, ui, 1, 3);
    EXPECT_EQ(run.result.status, 2);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 649}}));
    EXPECT_EQ(ui.pumps(), 3);  // frames 0, 200, 400
    EXPECT_EQ(ui.progressMax(), 649);
    EXPECT_TRUE(ui.cancelled()) << "only the user side clears a Stop";
    EXPECT_TRUE(ui.messages().empty()) << ui.allMessages();
}

TEST_F(DvSceneDetection, FramesWithoutPacksNeverBreak) {
    DvFixtureOptions options =
        recording({session(stamp(2006, 7, 1, 10, 0, 0), 150), session(stamp(2006, 7, 1, 10, 5, 0), 100)});
    options.framesWithoutPacks = {{0, 9}, {60, 80}, {150, 155}};
    std::string path = writeRecording(m_dir, "gaps.avi", options);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 250)}, ui);
    // Frames 150-155 still carry the time of frame 149: the new recording shows from 156 on.
    ASSERT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 155}, {156, 249}}));
    // The leading frames without packs join the first scene, which takes its date from frame 10.
    EXPECT_EQ(run.scenes.recordingTime(0), fixtures::expectedRecordingTime(options, 10));
    EXPECT_EQ(run.scenes.timecode(0), fixtures::expectedTimecode(options, 10));
    EXPECT_EQ(run.scenes.recordingTime(1), fixtures::expectedRecordingTime(options, 156));
}

TEST_F(DvSceneDetection, WideScreenIsTakenForEveryScene) {
    DvFixtureOptions options =
        recording({session(stamp(2006, 7, 1, 10, 0, 0), 30), session(stamp(2006, 7, 1, 10, 5, 0), 30)});
    options.wideScreen = true;
    std::string path = writeRecording(m_dir, "wide.avi", options);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 60)}, ui);
    ASSERT_EQ(run.scenes.count(), 2);
    EXPECT_EQ(run.scenes.wideScreen(0), 1);
    EXPECT_EQ(run.scenes.wideScreen(1), 1);  // the last scene too
}

// A recording that runs through midnight or a daylight-saving change, then a
// stop of five minutes: only the stop starts a scene.
struct ClockCase {
    const char* name;
    const char* zone;
    scene::RecordingTime start;
};
void PrintTo(const ClockCase& c, std::ostream* os) { *os << c.name; }

class DvCameraClock : public ::testing::TestWithParam<ClockCase> {};

TEST_P(DvCameraClock, BreaksOnlyWhereTheCameraStopped) {
    const ClockCase& c = GetParam();
    ScopedTimeZone zone(c.zone);
    TempDir dir;
    scene::RecordingTime second = c.start;
    second.seconds += 4 + 300;  // 100 frames are 4 seconds
    std::tm fields = scene::toTm(second);
    timegm(&fields);
    second = scene::fromTm(fields);
    second.weekday = 0;
    second.dayOfYear = 0;
    second.daylightSaving = -1;
    std::string path = writeRecording(dir, "clock.avi", recording({session(c.start, 100), session(second, 25)}));
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 125)}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 99}, {100, 124}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DvCameraClock,
    ::testing::Values(ClockCase{"Midnight", "Europe/Berlin", stamp(2006, 12, 31, 23, 59, 58)},
                      ClockCase{"SpringGap", "Europe/Berlin", stamp(2006, 3, 26, 1, 59, 58)},
                      ClockCase{"SpringGapEnd", "Europe/Berlin", stamp(2006, 3, 26, 2, 59, 58)},
                      ClockCase{"AutumnIntoRepeat", "Europe/Berlin", stamp(2006, 10, 29, 1, 59, 58)},
                      ClockCase{"AutumnOutOfRepeat", "Europe/Berlin", stamp(2006, 10, 29, 2, 59, 58)},
                      ClockCase{"NewYorkSpring", "America/New_York", stamp(2006, 4, 2, 1, 59, 58)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DvCameraClockFollowingTheChange, AnHourJumpAtTheChangeIsNoStop) {
    ScopedTimeZone zone("Europe/Berlin");
    TempDir dir;
    // A camera that sets itself an hour on (spring) or back (autumn) while recording.
    std::string spring = writeRecording(
        dir, "spring.avi",
        recording({session(stamp(2006, 3, 26, 1, 59, 58), 50), session(stamp(2006, 3, 26, 3, 0, 0), 50)}));
    std::string autumn = writeRecording(
        dir, "autumn.avi",
        recording({session(stamp(2006, 10, 29, 2, 59, 58), 50), session(stamp(2006, 10, 29, 2, 0, 0), 50)}));
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(spring, 100), wholeFile(autumn, 100)}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 99}, {0, 99}}));
}

}  // namespace
}  // namespace klemora::test
