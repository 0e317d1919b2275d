#include "scene/editing.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "app/string_table.h"
#include "scene/time_text.h"
#include "tests/scene/scene_rows.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

using app::Answer;
using app::Icon;

class Editing : public ::testing::Test {
protected:
    void SetUp() override { app::useGermanStrings(); }

    int add(SceneList& target, std::string_view source, int32_t start, int32_t stop, std::string_view comment = "") {
        return test::addEditableScene(target, source, start, stop, comment);
    }
    int add(std::string_view source, int32_t start, int32_t stop, std::string_view comment = "") {
        return add(list, source, start, stop, comment);
    }
    std::vector<std::string> comments(const SceneList& l) const {
        std::vector<std::string> out;
        for (int i = 0; i < l.count(); ++i) out.emplace_back(l.comment(i));
        return out;
    }
    const std::string& lastMessage() const { return ui.messages().back().text; }

    SceneList list;
    SceneList trash;
    test::ScriptedUserInterface ui;
};

using Rows = std::vector<int>;

TEST_F(Editing, SelectionIsCheckedFirst) {
    add("a.avi", 0, 9);
    EXPECT_EQ(toggleOkStatus(list, Rows{}, ui), EditResult::NothingSelected);
    EXPECT_EQ(lastMessage(), app::loadString(116));
    EXPECT_EQ(toggleOkStatus(list, Rows{1}, ui), EditResult::BadSelection);
    EXPECT_EQ(lastMessage(), app::loadString(117) + "\nCode: KLM-SL-1012");
    EXPECT_EQ(list.okStatus(0), 0);
}

TEST_F(Editing, ToggleFlipsEachSelectedScene) {
    for (int i = 0; i < 3; ++i) add("a.avi", i * 10, i * 10 + 9);
    list.setOkStatus(1, 7);
    EXPECT_EQ(toggleOkStatus(list, Rows{1, 2}, ui), EditResult::Ok);
    EXPECT_EQ(list.okStatus(0), 0);
    EXPECT_EQ(list.okStatus(1), 0);
    EXPECT_EQ(list.okStatus(2), 1);
}

TEST_F(Editing, MoveOneScene) {
    for (const char* c : {"a", "b", "c", "d"}) add("x.avi", 0, 9, c);
    int movedTo = -1;
    EXPECT_EQ(moveScene(list, Rows{0}, MoveDirection::Up, ui, &movedTo), EditResult::Ok);
    EXPECT_EQ(movedTo, 0);
    EXPECT_EQ(moveScene(list, Rows{3}, MoveDirection::Down, ui, &movedTo), EditResult::Ok);
    EXPECT_EQ(movedTo, 3);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(ui.messages().empty());

    EXPECT_EQ(moveScene(list, Rows{1}, MoveDirection::Down, ui, &movedTo), EditResult::Ok);
    EXPECT_EQ(movedTo, 2);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"a", "c", "b", "d"}));
    EXPECT_EQ(moveScene(list, Rows{2}, MoveDirection::ToTop, ui, &movedTo), EditResult::Ok);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"b", "a", "c", "d"}));
    EXPECT_EQ(moveScene(list, Rows{0}, MoveDirection::ToEnd, ui, &movedTo), EditResult::Ok);
    EXPECT_EQ(movedTo, 3);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"a", "c", "d", "b"}));

    EXPECT_EQ(moveScene(list, Rows{0, 1}, MoveDirection::Up, ui), EditResult::OnlyOneAllowed);
    EXPECT_EQ(lastMessage(), app::loadString(168));
    EXPECT_EQ(ui.messages().back().icon, Icon::Information);
}

TEST_F(Editing, DeleteIntoAFullTrashDropsTheOldestFirst) {
    for (int i = 0; i < 1998; ++i) add(trash, "old.avi", i, i);
    for (int i = 0; i < 8; ++i) add("new.avi", i * 10, i * 10 + 9, std::to_string(i));
    EXPECT_EQ(deleteScenes(list, Rows{7, 1, 3, 5, 6}, trash, ui), EditResult::Ok);
    EXPECT_EQ(trash.count(), 1998);
    EXPECT_EQ(trash.startFrame(0), 5);  // entries 0..4 dropped
    EXPECT_EQ(trash.sourceFile(1992), "old.avi");
    std::vector<std::string> kept;
    for (int i = 1993; i < 1998; ++i) kept.emplace_back(trash.comment(i));
    EXPECT_EQ(kept, (std::vector<std::string>{"1", "3", "5", "6", "7"}));
    EXPECT_EQ(comments(list), (std::vector<std::string>{"0", "2", "4"}));
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(Editing, RestoreAndFinalDeleteFromTheTrash) {
    EXPECT_EQ(restoreFromTrash(list, trash, Rows{0}, ui), EditResult::EmptyTrash);
    EXPECT_EQ(lastMessage(), app::loadString(178));
    for (const char* c : {"t0", "t1", "t2"}) add(trash, "a.avi", 0, 9, c);
    add("a.avi", 0, 9, "l0");
    EXPECT_EQ(restoreFromTrash(list, trash, Rows{2, 0}, ui), EditResult::Ok);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"l0", "t0", "t2"}));
    EXPECT_EQ(comments(trash), (std::vector<std::string>{"t1"}));

    ui.expectQuestion(app::loadString(191), Answer::No);
    EXPECT_EQ(deleteFromTrash(trash, Rows{0}, ui), EditResult::Declined);
    EXPECT_EQ(trash.count(), 1);
    ui.expectQuestion(app::loadString(191), Answer::Yes);
    EXPECT_EQ(deleteFromTrash(trash, Rows{0}, ui), EditResult::Ok);
    EXPECT_EQ(trash.count(), 0);
}

TEST_F(Editing, RestoreIntoAFullListKeepsWhatDidNotFit) {
    for (int i = 0; i < kMaxScenes - 1; ++i) add("a.avi", i, i);
    for (const char* c : {"t0", "t1"}) add(trash, "b.avi", 0, 9, c);
    EXPECT_EQ(restoreFromTrash(list, trash, Rows{0, 1}, ui), EditResult::InsertFailed);
    EXPECT_EQ(list.count(), kMaxScenes);
    EXPECT_EQ(list.comment(kMaxScenes - 1), "t0");
    EXPECT_EQ(comments(trash), (std::vector<std::string>{"t1"}));
    EXPECT_EQ(lastMessage(), app::loadString(113) + " AddNewScene()!\nCode: -1");
}

TEST_F(Editing, MergeGapOfTenFramesIsSilentElevenAsks) {
    add("a.avi", 0, 99);
    add("a.avi", 110, 199);
    EXPECT_EQ(mergeScenes(list, Rows{0, 1}, trash, ui), EditResult::Ok);
    EXPECT_TRUE(ui.questions().empty());
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.stopFrame(0), 199);

    list.clear();
    trash.clear();
    add("a.avi", 0, 99);
    add("a.avi", 111, 199);
    ui.expectQuestion(app::loadString(173), Answer::No);
    EXPECT_EQ(mergeScenes(list, Rows{0, 1}, trash, ui), EditResult::Declined);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(trash.count(), 0);
    ui.expectQuestion(app::loadString(173), Answer::Yes);
    EXPECT_EQ(mergeScenes(list, Rows{0, 1}, trash, ui), EditResult::Ok);
    EXPECT_EQ(list.count(), 1);
}

TEST_F(Editing, MergeGapIsMeasuredOverTheCoveredFrames) {
    // An overlapping middle scene closes the hole between the outer ones.
    add("a.avi", 0, 50);
    add("a.avi", 200, 300);
    add("a.avi", 40, 210);
    std::vector<int> rows{0, 1, 2};
    EXPECT_EQ(longestUncoveredRun(list, rows), 0);
    list.setStopFrame(2, 188);
    EXPECT_EQ(longestUncoveredRun(list, rows), 11);
}

TEST_F(Editing, MergeRefusals) {
    add("a.avi", 0, 9);
    add("A.avi", 10, 19);
    EXPECT_EQ(mergeScenes(list, Rows{0}, trash, ui), EditResult::NothingSelected);
    EXPECT_EQ(lastMessage(), app::loadString(170));
    EXPECT_EQ(mergeScenes(list, Rows{0, 0}, trash, ui), EditResult::NothingSelected);
    EXPECT_EQ(mergeScenes(list, Rows{0, 1}, trash, ui), EditResult::DifferentSources);
    EXPECT_EQ(lastMessage(), app::loadString(172));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(trash.count(), 0);
}

TEST_F(Editing, MergedSceneFields) {
    add("a.avi", 300, 399, "first");
    add("a.avi", 0, 99, "earliest");
    add("x.avi", 0, 5, "other");
    add("a.avi", 100, 305, "last");
    list.setOkStatus(0, 1);
    list.setDestName(0, "dest");
    list.setSpeedFactor(0, 2.0f);
    list.setTimecode(0, {1, 0, 0, 0});
    list.setTimecode(1, {0, 30, 0, 0});
    RecordingTime earliest{9, 8, 7, 6, 5, 104, 0, 0, -1};
    list.setRecordingTime(1, &earliest);
    list.setFramesPerSecond(3, 29.97f);
    list.setDvType(3, 2);
    list.setFileLastFrame(3, 999);
    list.setWideScreen(3, 1);
    list.setVideoFourcc(3, "dvsd");
    list.setDefinedStart(0, 250);

    EXPECT_EQ(mergeScenes(list, Rows{3, 0, 1}, trash, ui), EditResult::Ok);
    ASSERT_EQ(list.count(), 2);
    const SceneRecord& m = *list.record(0);
    EXPECT_EQ(m.startFrame, 0);
    EXPECT_EQ(m.stopFrame, 399);
    EXPECT_EQ(m.definedStart, 0);
    EXPECT_EQ(m.definedStop, 399);
    EXPECT_EQ(m.recordingTime, earliest);
    EXPECT_EQ(m.timecode, (Timecode{0, 30, 0, 0}));
    EXPECT_FLOAT_EQ(m.framesPerSecond, 29.97f);
    EXPECT_EQ(m.dvType, 2);
    EXPECT_EQ(m.fileLastFrame, 999);
    EXPECT_EQ(m.wideScreen, 1);
    EXPECT_EQ(fieldText(m.videoFourcc), "dvsd");
    EXPECT_FLOAT_EQ(m.speedFactor, 1.0f);
    EXPECT_EQ(fieldText(m.comment), "");
    EXPECT_EQ(fieldText(m.destName), "");
    EXPECT_EQ(m.okStatus, 1);
    EXPECT_EQ(list.comment(1), "other");
    EXPECT_EQ(comments(trash), (std::vector<std::string>{"first", "earliest", "last"}));
}

TEST_F(Editing, SortByTimecodeAcrossTheHour) {
    add("a.avi", 0, 9, "one");
    add("a.avi", 0, 9, "before");
    list.setTimecode(0, {1, 0, 0, 0});
    list.setTimecode(1, {0, 59, 59, 24});
    EXPECT_EQ(sortShownList(list, SortKey::Timecode, SortDirection::Ascending, ui), EditResult::Ok);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"before", "one"}));
    EXPECT_EQ(sortShownList(list, SortKey::Timecode, SortDirection::Descending, ui), EditResult::Ok);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"one", "before"}));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(list.modified());
}

TEST_F(Editing, SortWithoutAUsableKeyWarnsOnce) {
    add("b.avi", 0, 9, "b");
    add("", 0, 9, "none");
    add("A.avi", 0, 9, "a");
    EXPECT_EQ(sortShownList(list, SortKey::SourceFile, SortDirection::Ascending, ui), EditResult::Ok);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"none", "a", "b"}));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(lastMessage(), app::loadString(332));
    EXPECT_EQ(ui.messages().back().icon, Icon::Information);
    EXPECT_EQ(sortShownList(list, SortKey::Stop, SortDirection::Descending, ui), EditResult::Ok);
    EXPECT_EQ(ui.messages().size(), 1u);

    list.clear();
    EXPECT_EQ(sortShownList(list, SortKey::Start, SortDirection::Ascending, ui), EditResult::NothingSelected);
    EXPECT_EQ(lastMessage(), app::loadString(174));
}

TEST_F(Editing, SortKeysAndTieBreaks) {
    add("b.avi", 50, 59, "b50");
    add("a.avi", 70, 79, "a70");
    add("B.avi", 10, 99, "B10");
    add("a.avi", 20, 29, "a20");
    bool missing = true;
    sortScenes(list, SortKey::SourceFile, SortDirection::Ascending, &missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"a20", "a70", "B10", "b50"}));
    sortScenes(list, SortKey::SourceFile, SortDirection::Descending);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"b50", "B10", "a70", "a20"}));
    // Equal lengths fall back to the source; equal sources keep their order.
    sortScenes(list, SortKey::Length, SortDirection::Ascending);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"a70", "a20", "b50", "B10"}));
    list.setOkStatus(3, 1);  // B10
    sortScenes(list, SortKey::Status, SortDirection::Descending);
    EXPECT_EQ(comments(list).front(), "B10");
    EXPECT_EQ(sortKeyFromDialogIndex(0), SortKey::SourceFile);
    EXPECT_EQ(sortKeyFromDialogIndex(8), SortKey::Status);
    EXPECT_EQ(sortKeyFromDialogIndex(9), SortKey::SourceFile);
}

TEST_F(Editing, SortByRecordingTimeUsesLocalTime) {
    test::ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    // 02:30 on the last Sunday of October 2006 (still summer time, flag 1)
    // comes before 02:10 of the same night in winter time.
    RecordingTime summer{0, 30, 2, 29, 9, 106, 0, 0, 1};
    RecordingTime winter{0, 10, 2, 29, 9, 106, 0, 0, 0};
    RecordingTime earlier{0, 0, 23, 28, 9, 106, 0, 0, -1};
    add("a.avi", 0, 9, "winter");
    add("a.avi", 0, 9, "summer");
    add("a.avi", 0, 9, "earlier");
    list.setRecordingTime(0, &winter);
    list.setRecordingTime(1, &summer);
    list.setRecordingTime(2, &earlier);
    bool missing = true;
    sortScenes(list, SortKey::RecordingTime, SortDirection::Ascending, &missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"earlier", "summer", "winter"}));
}

TEST_F(Editing, SplitAtCutPoints) {
    test::ScopedEnv tz("TZ", "UTC");
    tzset();
    add("a.avi", 100, 399, "Urlaub");
    add("b.avi", 0, 9, "next");
    SceneRecord& s = *list.mutableRecord(0);
    s.timecode = {0, 0, 59, 20};
    s.recordingTime = {58, 59, 23, 31, 11, 106, 0, 0, 0};
    s.okStatus = 1;
    assignField(s.destName, "dest");
    assignField(s.videoFourcc, "dvsd");
    s.dvType = 1;
    s.speedFactor = 0.0f;  // broken: the pieces get 1.0

    std::vector<int32_t> cuts{100, 150, 375, 399};
    EXPECT_EQ(splitScene(list, Rows{0}, cuts, trash, ui), EditResult::Ok);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"Urlaub - 1", "Urlaub - 2", "Urlaub - 3", "next"}));
    const int32_t starts[] = {100, 150, 375}, stops[] = {149, 374, 399};
    for (int j = 0; j < 3; ++j) {
        const SceneRecord& p = *list.record(j);
        EXPECT_EQ(p.startFrame, starts[j]);
        EXPECT_EQ(p.stopFrame, stops[j]);
        EXPECT_EQ(p.definedStart, starts[j]);
        EXPECT_EQ(p.definedStop, stops[j]);
        EXPECT_EQ(fieldText(p.sourceFile), "a.avi");
        EXPECT_EQ(fieldText(p.destName), "");
        EXPECT_EQ(fieldText(p.videoFourcc), "dvsd");
        EXPECT_EQ(p.dvType, 1);
        EXPECT_FLOAT_EQ(p.speedFactor, 1.0f);
        EXPECT_EQ(p.okStatus, 0);
    }
    EXPECT_EQ(timecodeText(list.timecode(1)), "00:01:01:20");   // + 50 frames
    EXPECT_EQ(recordingTimeText(list.recordingTime(0)), "31-12-2006 / 23:59:58");
    EXPECT_EQ(recordingTimeText(list.recordingTime(1)), "01-01-2007 / 00:00:00");  // + 2 s
    EXPECT_EQ(recordingTimeText(list.recordingTime(2)), "01-01-2007 / 00:00:09");  // + 11 s
    EXPECT_EQ(timecodeText(list.timecode(2)), "00:01:10:20");   // + 275 frames
    ASSERT_EQ(trash.count(), 1);
    EXPECT_EQ(trash.comment(0), "Urlaub");
}

TEST_F(Editing, SplitEdgeCases) {
    add("a.avi", 0, 99);
    std::vector<int32_t> two{0, 99};
    EXPECT_EQ(splitScene(list, Rows{0}, two, trash, ui), EditResult::Ok);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(trash.count(), 0);

    std::vector<int32_t> pieces{0, 50, 99};
    EXPECT_EQ(splitScene(list, Rows{0}, pieces, trash, ui), EditResult::Ok);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(list.stopFrame(0), 49);

    for (const auto& bad : {std::vector<int32_t>{0, 60, 49}, std::vector<int32_t>{1, 20, 49},
                            std::vector<int32_t>{0, 20, 20, 49}, std::vector<int32_t>{0}}) {
        EXPECT_EQ(splitScene(list, Rows{0}, bad, trash, ui), EditResult::BadInput);
        EXPECT_EQ(lastMessage(), app::loadString(117) + "\nCode: KLM-SL-1018");
    }
    EXPECT_EQ(splitScene(list, Rows{0, 1}, pieces, trash, ui), EditResult::OnlyOneAllowed);
    EXPECT_EQ(ui.messages().back().icon, Icon::Stop);
    EXPECT_EQ(list.count(), 2);
}

TEST_F(Editing, SplitThatWouldOverfillTheListChangesNothing) {
    for (int i = 0; i < kMaxScenes - 1; ++i) add("a.avi", 0, 99);
    std::vector<int32_t> cuts{0, 10, 20, 99};
    EXPECT_EQ(splitScene(list, Rows{5}, cuts, trash, ui), EditResult::TooManyScenes);
    EXPECT_EQ(lastMessage(), app::loadString(140));
    EXPECT_EQ(list.count(), kMaxScenes - 1);
    EXPECT_EQ(trash.count(), 0);
    std::vector<int32_t> fits{0, 10, 99};
    EXPECT_EQ(splitScene(list, Rows{5}, fits, trash, ui), EditResult::Ok);
    EXPECT_EQ(list.count(), kMaxScenes);
}

TEST_F(Editing, TrimWritesBackRangeTimesAndStatus) {
    add("a.avi", 100, 200);
    SceneRecord trimmed = *list.record(0);
    trimmed.startFrame = 90;
    trimmed.stopFrame = 150;
    trimmed.definedStart = 0;
    trimmed.timecode = {0, 0, 3, 15};
    trimmed.recordingTime = {1, 2, 3, 4, 5, 106, 0, 0, 0};
    trimmed.okStatus = 1;
    assignField(trimmed.comment, "not taken");
    EXPECT_EQ(applyTrim(list, Rows{0}, trimmed, ui), EditResult::Ok);
    const SceneRecord& r = *list.record(0);
    EXPECT_EQ(r.startFrame, 90);
    EXPECT_EQ(r.stopFrame, 150);
    EXPECT_EQ(r.definedStart, 100);
    EXPECT_EQ(r.definedStop, 200);
    EXPECT_EQ(r.timecode, trimmed.timecode);
    EXPECT_EQ(r.recordingTime, trimmed.recordingTime);
    EXPECT_EQ(r.okStatus, 1);
    EXPECT_EQ(fieldText(r.comment), "");

    trimmed.stopFrame = 80;
    EXPECT_EQ(applyTrim(list, Rows{0}, trimmed, ui), EditResult::BadInput);
    EXPECT_EQ(list.stopFrame(0), 150);
}

TEST_F(Editing, FoundScenesReplaceTheSelectedOnes) {
    add("a.avi", 0, 999, "a whole");
    add("b.avi", 0, 499, "b whole");
    add("c.avi", 0, 99, "c not searched");
    add("a.avi", 2000, 2999, "a second");
    SceneList found;
    add(found, "a.avi", 0, 297, "a1");
    add(found, "b.avi", 0, 499, "b1");
    add(found, "a.avi", 302, 697, "a2");
    add(found, "a.avi", 702, 1000, "a outside");
    add(found, "a.avi", 2000, 2999, "a3");
    add(found, "A.avi", 10, 20, "other case");
    EXPECT_EQ(replaceByFoundScenes(list, Rows{0, 1, 2, 3}, found, ui, true), EditResult::Ok);
    EXPECT_EQ(comments(list), (std::vector<std::string>{"a1", "a2", "b1", "c not searched", "a3"}));
    EXPECT_EQ(ui.progressOpened, 1);
    EXPECT_EQ(ui.progressClosed, 1);
    EXPECT_EQ(ui.progressSource, "a.avi (1 -> 1000)");
    EXPECT_EQ(ui.progressLine1, app::loadString(341) + " 4 " + app::loadString(156) + " 6");
}

TEST_F(Editing, ReplacementThatWouldOverfillTheListChangesNothing) {
    for (int i = 0; i < kMaxScenes; ++i) add("a.avi", i * 10, i * 10 + 9);
    SceneList found;
    add(found, "a.avi", 0, 4);
    add(found, "a.avi", 5, 9);
    EXPECT_EQ(replaceByFoundScenes(list, Rows{0}, found, ui), EditResult::TooManyScenes);
    EXPECT_EQ(list.count(), kMaxScenes);
    EXPECT_EQ(list.stopFrame(0), 9);
    EXPECT_EQ(ui.progressOpened, 0);
}

}  // namespace
}  // namespace klemora::scene
