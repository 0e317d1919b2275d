#include "scene/trim_edits.h"

#include <gtest/gtest.h>

#include <ctime>

#include "app/string_table.h"
#include "scene/time_text.h"
#include "tests/scene/scene_rows.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

class TrimEdits : public ::testing::Test {
protected:
    void SetUp() override {
        app::useGermanStrings();
        tzset();
    }
    // A scene start..stop inside the defined range lower..upper, first frame at 10:00:00 / 00:00:10:00.
    int add(std::string_view source, int32_t lower, int32_t start, int32_t stop, int32_t upper) {
        int i = test::addEditableScene(list, source, start, stop);
        list.setDefinedStart(i, lower);
        list.setDefinedStop(i, upper);
        SceneRecord& s = *list.mutableRecord(i);
        s.recordingTime = {0, 0, 10, 24, 11, 106, 0, 0, 0};
        s.timecode = {0, 0, 10, 0};
        s.fileFirstFrame = lower;
        s.fileLastFrame = upper;
        list.setModified(false);
        return i;
    }
    const SceneRecord& at(int i) const { return *list.record(i); }
    std::string lastMessage() const { return ui.messages().empty() ? "" : ui.messages().back().text; }

    test::ScopedEnv tz{"TZ", "UTC"};
    SceneList list;
    test::ScriptedUserInterface ui;
};

TEST_F(TrimEdits, InStopsOneFrameBeforeTheOutAndMovesTheTimeDataOutKeepsThem) {
    add("a.avi", 0, 100, 200, 400);
    EXPECT_EQ(setInPoint(list, 0, 200, ui), TrimEdit::Refused);
    EXPECT_EQ(lastMessage(), app::loadString(205));
    EXPECT_EQ(at(0).startFrame, 100);
    EXPECT_FALSE(list.modified());

    EXPECT_EQ(setInPoint(list, 0, 199, ui), TrimEdit::Done);  // a two-frame scene remains
    EXPECT_EQ(list.lengthFrames(0), 2);
    EXPECT_TRUE(list.modified());
    // 99 frames at 25 fps: 3 whole seconds for the date, 3 s 24 frames for the timecode.
    EXPECT_EQ(recordingTimeText(at(0).recordingTime), "24-12-2006 / 10:00:03");
    EXPECT_EQ(timecodeText(at(0).timecode), "00:00:13:24");
    EXPECT_EQ(setInPoint(list, 0, 0, ui), TrimEdit::Done);  // 199 frames back: 7 whole seconds
    EXPECT_EQ(timecodeText(at(0).timecode), "00:00:06:00");
    EXPECT_EQ(recordingTimeText(at(0).recordingTime), "24-12-2006 / 09:59:56");

    EXPECT_EQ(setOutPoint(list, 0, 0, ui), TrimEdit::Refused);
    EXPECT_EQ(lastMessage(), app::loadString(206));
    EXPECT_EQ(setOutPoint(list, 0, 1, ui), TrimEdit::Done);
    EXPECT_EQ(at(0).stopFrame, 1);
    EXPECT_EQ(recordingTimeText(at(0).recordingTime), "24-12-2006 / 09:59:56");
    EXPECT_EQ(ui.messages().size(), 2u);
}

TEST_F(TrimEdits, SplitAtTheDefinedEndsDoesNothingAndFollowsTheThreeCasesInside) {
    add("a.avi", 100, 150, 250, 300);
    TrimPlace place{-1, -1};
    EXPECT_EQ(splitBefore(list, 0, 100, ui, &place), TrimEdit::Unchanged);
    EXPECT_EQ(splitBefore(list, 0, 300, ui, &place), TrimEdit::Unchanged);
    EXPECT_EQ(list.count(), 1);
    EXPECT_FALSE(list.modified());

    struct Case {
        int32_t p;
        int32_t first[4];   // definedStart, start, stop, definedStop
        int32_t second[4];
        const char* firstTime;
        const char* secondTime;
    };
    const Case cases[] = {
        // Before the IN point: the head becomes its own scene, with the time of frame 100.
        {125, {100, 100, 124, 124}, {125, 150, 250, 300}, "00:00:00:00", "00:00:02:00"},
        {150, {100, 100, 149, 149}, {150, 150, 250, 300}, "00:00:00:00", "00:00:02:00"},
        // Inside the trimmed range.
        {151, {100, 150, 150, 150}, {151, 151, 250, 300}, "00:00:02:00", "00:00:02:01"},
        {250, {100, 150, 249, 249}, {250, 250, 250, 300}, "00:00:02:00", "00:00:06:00"},
        // After the OUT point: the second scene runs to the defined end.
        {275, {100, 150, 250, 274}, {275, 275, 300, 300}, "00:00:02:00", "00:00:07:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.p);
        list.clear();
        add("a.avi", 100, 150, 250, 300);
        list.mutableRecord(0)->timecode = {0, 0, 2, 0};  // of frame 150
        ASSERT_EQ(splitBefore(list, 0, c.p, ui, &place), TrimEdit::Done);
        ASSERT_EQ(list.count(), 2);
        EXPECT_TRUE(list.modified());
        EXPECT_EQ(place, (TrimPlace{1, c.second[1]}));
        for (int i = 0; i < 2; ++i) {
            const int32_t* want = i == 0 ? c.first : c.second;
            EXPECT_EQ(at(i).definedStart, want[0]) << i;
            EXPECT_EQ(at(i).startFrame, want[1]) << i;
            EXPECT_EQ(at(i).stopFrame, want[2]) << i;
            EXPECT_EQ(at(i).definedStop, want[3]) << i;
        }
        EXPECT_EQ(timecodeText(at(0).timecode), c.firstTime);
        EXPECT_EQ(timecodeText(at(1).timecode), c.secondTime);
    }
    // The head's recording time moved back with its start (50 frames = 2 s).
    list.clear();
    add("a.avi", 100, 150, 250, 300);
    splitBefore(list, 0, 125, ui, &place);
    EXPECT_EQ(recordingTimeText(at(0).recordingTime), "24-12-2006 / 09:59:58");
    EXPECT_EQ(recordingTimeText(at(1).recordingTime), "24-12-2006 / 10:00:00");
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(TrimEdits, MergeTakesTheRangeEndsFromTheSceneSupplyingThemAndRefusesTwoFiles) {
    add("/v/A.avi", 0, 10, 50, 60);
    add("/v/b.avi", 40, 51, 90, 95);
    TrimPlace place{-1, -1};
    EXPECT_EQ(mergeWithNext(list, 0, ui, &place), TrimEdit::Refused);
    EXPECT_EQ(lastMessage(), app::loadString(172));
    EXPECT_EQ(list.count(), 2);
    EXPECT_FALSE(list.modified());

    list.setSourceFile(1, "/v/a.AVI");  // the same file, written otherwise
    list.mutableRecord(1)->timecode = {0, 0, 2, 1};
    list.mutableRecord(0)->timecode = {0, 0, 0, 0};
    list.mutableRecord(1)->fileLastFrame = 999;
    list.setComment(0, "earlier");
    EXPECT_EQ(mergeWithPrevious(list, 1, ui, &place), TrimEdit::Done);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(place, (TrimPlace{0, 51}));  // the later scene's start
    EXPECT_EQ(at(0).startFrame, 10);
    EXPECT_EQ(at(0).stopFrame, 90);
    EXPECT_EQ(at(0).definedStart, 0);
    EXPECT_EQ(at(0).definedStop, 95);
    EXPECT_EQ(at(0).fileLastFrame, 999);
    EXPECT_EQ(timecodeText(at(0).timecode), "00:00:00:00");
    EXPECT_EQ(list.comment(0), "earlier");
    EXPECT_EQ(list.sourceFile(0), "/v/A.avi");

    // A tie: the later scene supplies both ends and its time data.
    list.clear();
    add("a.avi", 0, 10, 50, 60);
    add("a.avi", 5, 10, 50, 70);
    list.mutableRecord(1)->timecode = {1, 2, 3, 4};
    EXPECT_EQ(mergeWithNext(list, 0, ui, &place), TrimEdit::Done);
    EXPECT_EQ(place, (TrimPlace{0, 50}));  // the earlier scene's stop
    EXPECT_EQ(at(0).definedStart, 5);
    EXPECT_EQ(at(0).definedStop, 70);
    EXPECT_EQ(timecodeText(at(0).timecode), "01:02:03:04");
    EXPECT_EQ(mergeWithNext(list, 0, ui, &place), TrimEdit::Unchanged);
    EXPECT_EQ(mergeWithPrevious(list, 0, ui, &place), TrimEdit::Unchanged);
}

TEST_F(TrimEdits, DeleteAsksAndNeverTakesTheLastScene) {
    add("a.avi", 0, 0, 9, 9);
    add("a.avi", 10, 10, 19, 19);
    TrimPlace place{-1, -1};
    ui.expectQuestion(app::loadString(325), app::Answer::No);
    EXPECT_EQ(deleteCurrent(list, 1, ui, &place), TrimEdit::Declined);
    EXPECT_EQ(list.count(), 2);
    ui.expectQuestion(app::loadString(325), app::Answer::Yes);
    EXPECT_EQ(deleteCurrent(list, 1, ui, &place), TrimEdit::Done);
    EXPECT_EQ(place, (TrimPlace{0, 0}));  // past the end: the last scene
    EXPECT_EQ(deleteCurrent(list, 0, ui, &place), TrimEdit::Unchanged);  // no question either
    EXPECT_EQ(list.count(), 1);
}

TEST_F(TrimEdits, NavigationLandsOnStartsGoingForwardAndStopsGoingBack) {
    add("a.avi", 0, 5, 9, 12);
    add("a.avi", 10, 15, 19, 22);
    add("a.avi", 20, 25, 29, 32);
    EXPECT_EQ(previousScenePlace(list, 0), (TrimPlace{0, 5}));
    EXPECT_EQ(previousScenePlace(list, 2), (TrimPlace{1, 19}));
    EXPECT_EQ(nextScenePlace(list, 0), (TrimPlace{1, 15}));
    EXPECT_EQ(nextScenePlace(list, 2), (TrimPlace{2, 29}));
    EXPECT_EQ(chosenScenePlace(list, 0, 2), (TrimPlace{2, 25}));
    EXPECT_EQ(chosenScenePlace(list, 1, 1), (TrimPlace{1, 15}));
    EXPECT_EQ(chosenScenePlace(list, 2, 0), (TrimPlace{0, 9}));
    // Only a second scroll event at an end moves on; none beyond the first or last scene.
    EXPECT_EQ(sliderEndPlace(list, 1, 10, 11), std::nullopt);
    EXPECT_EQ(sliderEndPlace(list, 1, 10, 10), (TrimPlace{0, 9}));
    EXPECT_EQ(sliderEndPlace(list, 1, 22, 22), (TrimPlace{2, 25}));
    EXPECT_EQ(sliderEndPlace(list, 0, 0, 0), std::nullopt);
    EXPECT_EQ(sliderEndPlace(list, 2, 32, 32), std::nullopt);
    EXPECT_EQ(sliderEndPlace(list, 1, 15, 15), std::nullopt);
}

TEST_F(TrimEdits, SceneBoxLineAndTheThreeFormsOfTheStatusLine) {
    add("/videos/urlaub/tape1.avi", 0, 100, 199, 300);
    EXPECT_EQ(sceneBoxLine(list, 0), "1. -> Datei: tape1.avi / Start: 101 / Stop: 200 / Status: --");
    toggleSceneDone(list, 0);
    EXPECT_EQ(sceneBoxLine(list, 0), "1. -> Datei: tape1.avi / Start: 101 / Stop: 200 / Status: Ok");
    EXPECT_EQ(trimStatusLine(list, 0, 100), "Dauer: 00:00:04:00,    Bild: 1/100,    Zeit: 00:00:00:00");
    EXPECT_EQ(trimStatusLine(list, 0, 199), "Dauer: 00:00:04:00,    Bild: 100/100,    Zeit: 00:00:03:24");
    EXPECT_EQ(trimStatusLine(list, 0, 226), "Dauer: 00:00:04:00,    Bild: +27/100,    Zeit: +00:+00:+01:+02");
    EXPECT_EQ(trimStatusLine(list, 0, 74), "Dauer: 00:00:04:00,    Bild: -26/100,    Zeit: -00:-00:-01:-01");
    list.setFramesPerSecond(0, 29.97f);  // seconds from 29 frames, the duration from 30
    EXPECT_EQ(trimStatusLine(list, 0, 130), "Dauer: 00:00:03:10,    Bild: 31/100,    Zeit: 00:00:01:01");
}

TEST_F(TrimEdits, TimerPeriodStepAndTheEndOfTheRange) {
    EXPECT_EQ(timerPeriodMs(25.0f), 30);
    EXPECT_EQ(timerPeriodMs(29.97f), 24);  // 1000 / 29 - 10
    EXPECT_EQ(timerStepFrames(2), 3);      // "3x"
    EXPECT_EQ(nextTimerPosition(10, 2, 20), 13);
    EXPECT_EQ(nextTimerPosition(17, 2, 20), 20);
    EXPECT_EQ(nextTimerPosition(18, 2, 20), std::nullopt);
}

TEST_F(TrimEdits, PlayRangesRestartAtTheirBeginningAndPlayAllWrapsOnlyAtTheStart) {
    add("a.avi", 0, 10, 20, 30);
    add("a.avi", 40, 50, 60, 70);
    EXPECT_EQ(playSceneRange(list, 0, 5), (PlayRange{0, 5, 30}));
    EXPECT_EQ(playSceneRange(list, 0, 30), (PlayRange{0, 0, 30}));
    EXPECT_EQ(playTrimmedRange(list, 0, 15), (PlayRange{0, 15, 20}));
    EXPECT_EQ(playTrimmedRange(list, 0, 5), (PlayRange{0, 10, 20}));
    EXPECT_EQ(playTrimmedRange(list, 0, 20), (PlayRange{0, 10, 20}));
    EXPECT_EQ(playAllFirst(list, 0, 12), (PlayRange{0, 12, 20}));
    EXPECT_EQ(playAllFirst(list, 0, 20), (PlayRange{1, 50, 60}));
    EXPECT_EQ(playAllFirst(list, 1, 65), (PlayRange{0, 10, 20}));  // wraps to the first scene
    EXPECT_EQ(playAllNext(list, 0), (PlayRange{1, 50, 60}));
    EXPECT_EQ(playAllNext(list, 1), std::nullopt);  // the run itself does not wrap
}

}  // namespace
}  // namespace klemora::scene
