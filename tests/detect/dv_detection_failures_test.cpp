// Files the DV detection cannot use: not DV, missing, cut short, an empty
// range. Each is reported on its own and the user decides about the rest.
#include <gtest/gtest.h>

#include "app/string_table.h"
#include "detect/dv_scene_detection.h"
#include "tests/detect/dv_detection_support.h"

namespace klemora::test {
namespace {

class DvDetectionFailures : public ::testing::Test {
protected:
    std::string dvFile(const std::string& name, int frames, int hour = 10) {
        fixtures::DvFixtureOptions options;
        options.type = 1;
        options.sessions = {session(stamp(2006, 7, 1, hour, 0, 0), frames)};
        return writeRecording(m_dir, name, options);
    }

    std::string failureText(const std::string& path, int status, int readerResult) {
        return app::loadString(113) + " FindPerDvDatestamp()!\nFile: " + path + "\nCode: " + std::to_string(status) +
               "\nCode 2: " + std::to_string(readerResult);
    }

    ScopedTimeZone m_zone{"UTC"};
    TempDir m_dir;
};

TEST_F(DvDetectionFailures, NonDvFileNamesItsHandlerAndOkSkipsIt) {
    fixtures::DvFixtureOptions options;
    options.videoHandler = "MJPG";
    std::string mjpeg = writeRecording(m_dir, "mjpeg.avi", options);
    std::string dv = dvFile("dv.avi", 30);
    for (app::Answer answer : {app::Answer::Ok, app::Answer::Cancel}) {
        SCOPED_TRACE(app::answerName(answer));
        ScriptedUserInterface ui;
        ui.expectQuestion("\nFile: " + mjpeg + "\nType: MJPG", answer);
        DetectionRun run;
        runDetection(run, {wholeFile(mjpeg, 50), wholeFile(dv, 30)}, ui);
        ASSERT_EQ(ui.questions().size(), 1u);
        EXPECT_EQ(ui.questions()[0].text.rfind(app::loadString(342), 0), 0u);
        EXPECT_EQ(ui.questions()[0].buttons, app::Buttons::OkCancel);
        EXPECT_TRUE(ui.messages().empty()) << ui.allMessages();
        if (answer == app::Answer::Ok) {
            EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 29}}));
            EXPECT_EQ(run.result.status, 1);
            EXPECT_EQ(run.result.skippedFiles, 1);
        } else {
            EXPECT_EQ(run.scenes.count(), 0);
            EXPECT_EQ(run.result.status, 2);
            EXPECT_EQ(ui.progressPosition(), 0);
        }
    }
}

TEST_F(DvDetectionFailures, MissingFileAsksWhetherToGoOn) {
    std::string missing = m_dir.file("gone.avi");
    std::string dv = dvFile("dv.avi", 30);
    for (app::Answer answer : {app::Answer::Yes, app::Answer::No}) {
        SCOPED_TRACE(app::answerName(answer));
        ScriptedUserInterface ui;
        ui.expectQuestion(app::loadString(114), answer);
        DetectionRun run;
        runDetection(run, {{missing, 0, 99}, wholeFile(dv, 30)}, ui);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text, failureText(missing, -51, -2));
        EXPECT_EQ(ui.messages()[0].icon, app::Icon::Stop);
        EXPECT_EQ(ui.questions()[0].buttons, app::Buttons::YesNo);
        EXPECT_EQ(run.scenes.count(), answer == app::Answer::Yes ? 1 : 0);
        EXPECT_EQ(run.result.status, answer == app::Answer::Yes ? 1 : -51);
        EXPECT_EQ(run.result.failedFiles, 1);
        EXPECT_EQ(run.result.skippedFiles, 0);
    }
}

TEST_F(DvDetectionFailures, LastFileFailingAsksNothing) {
    ScriptedUserInterface ui;
    DetectionRun run;
    std::string missing = m_dir.file("gone.avi");
    runDetection(run, {{missing, 0, 99}}, ui);
    EXPECT_EQ(run.result.status, -51);
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(DvDetectionFailures, DamagedChunkSizeStillFindsTheCut) {
    fixtures::DvFixtureOptions options;
    options.type = 2;
    options.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 20), session(stamp(2006, 7, 1, 10, 5, 0), 30)};
    options.damagedSizeFields = {{10, 0xFFFFFFF0u}};
    std::string damaged = writeRecording(m_dir, "damaged.avi", options);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(damaged, 50)}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 19}, {20, 49}}));
    EXPECT_EQ(run.result.status, 1);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find("Damaged chunks: 1"), std::string::npos) << ui.messages()[0].text;
}

TEST_F(DvDetectionFailures, HeaderCountBeyondTheFileEndsAtTheLastFrame) {
    fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 20), session(stamp(2006, 7, 1, 10, 5, 0), 30)};
    std::string path = writeRecording(m_dir, "count.avi", options);
    patchHeaderFrameCount(path, 2020501605u);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 2020501605)}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 19}, {20, 49}}));
    EXPECT_EQ(run.result.status, 1);
}

TEST_F(DvDetectionFailures, CutFileEndsTheLastSceneAtItsLastWholeFrame) {
    fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 20), session(stamp(2006, 7, 1, 10, 5, 0), 30)};
    options.truncateInsideFrame = 30;
    std::string cut = writeRecording(m_dir, "cut.avi", options);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(cut, 50)}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 19}, {20, 29}}));
    EXPECT_EQ(run.result.status, 1);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Warning);
    EXPECT_NE(ui.messages()[0].text.find(app::loadString(840) + "\nFile: " + cut + "\nFrames (header): 50\nFrames (file): 30"),
              std::string::npos)
        << ui.messages()[0].text;
}

TEST_F(DvDetectionFailures, RangeIsCutToTheFile) {
    std::string dv = dvFile("dv.avi", 40);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {{dv, 10, 500}, {dv, -5, 20}}, ui);
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{10, 39}, {0, 20}}));
    EXPECT_TRUE(ui.messages().empty()) << ui.allMessages();

    // Nothing of the range lies in the file: reported, no scene invented.
    DetectionRun outside;
    runDetection(outside, {{dv, 40, 60}}, ui);
    EXPECT_EQ(outside.scenes.count(), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, failureText(dv, -55, -12));
}

TEST_F(DvDetectionFailures, FullListStopsTheFileWithoutALastScene) {
    std::string single = dvFile("single.avi", 1);
    std::string other = dvFile("other.avi", 30, 12);
    fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 20), session(stamp(2006, 7, 1, 10, 5, 0), 20),
                        session(stamp(2006, 7, 1, 10, 9, 0), 20)};
    std::string three = writeRecording(m_dir, "three.avi", options);
    // 1999 scenes, then "three.avi" fills the list at its first break.
    std::vector<detect::SearchSource> sources(scene::kMaxScenes - 1, {single, 0, 0});
    sources.push_back(wholeFile(three, 60));
    sources.push_back(wholeFile(other, 30));
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, sources, ui);
    ASSERT_EQ(run.scenes.count(), scene::kMaxScenes);
    EXPECT_EQ(run.scenes.sourceFile(scene::kMaxScenes - 1), three);
    EXPECT_EQ(run.scenes.stopFrame(scene::kMaxScenes - 1), 19);
    // Message 140 of the list and 113 of the detection: at the second break of
    // "three.avi" (its last scene is not tried) and for the only scene of "other.avi".
    ASSERT_EQ(ui.messages().size(), 4u) << ui.allMessages();
    EXPECT_EQ(ui.messages()[0].text, app::loadString(140));
    EXPECT_EQ(ui.messages()[1].text, app::loadString(113) + " AddNewScene()!\nCode: -1");
    EXPECT_EQ(ui.messages()[3].text, app::loadString(113) + " AddNewScene()!\nCode: -1");
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_EQ(run.result.status, 1);
}

}  // namespace
}  // namespace klemora::test
