#include "scene/scene_list.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "scene/list_failure.h"
#include "scene/time_text.h"
#include "tests/support/scripted_ui.h"

namespace klemora::scene {
namespace {

using test::ScriptedUserInterface;

SceneList listOf(int n) {
    SceneList list;
    for (int i = 0; i < n; ++i) {
        int index = list.AddNewScene();
        list.setStartFrame(index, i * 10);
        list.setStopFrame(index, i * 10 + 9);
    }
    return list;
}

std::vector<int> starts(const SceneList& list) {
    std::vector<int> s;
    for (int i = 0; i < list.count(); ++i) s.push_back(list.startFrame(i));
    return s;
}

TEST(SceneList, FreshRecordDefaults) {
    SceneList list;
    EXPECT_EQ(list.nameTemplate(), "%Q_%N3");
    ASSERT_EQ(list.AddNewScene(), 0);
    const SceneRecord& r = *list.record(0);
    EXPECT_EQ(r.speedFactor, 1.0f);
    EXPECT_EQ(r.framesPerSecond, 25.0f);
    EXPECT_EQ(recordingTimeText(r.recordingTime), "11-02-1970 / 00:00:00");
    EXPECT_EQ(r.recordingTime.daylightSaving, -1);
    EXPECT_TRUE(list.modified());
}

TEST(SceneList, HoldsAtMost2000ScenesAndItsCallersSaySo) {
    ScriptedUserInterface ui;
    SceneList list = listOf(2000);
    EXPECT_EQ(list.capacity(), 2000);
    int added = list.AddNewScene();
    EXPECT_EQ(added, -1);
    EXPECT_EQ(list.InsertNewScene(0), -1);
    EXPECT_EQ(list.count(), 2000);
    EXPECT_TRUE(ui.messages().empty());  // the list itself shows nothing
    showListFailure(ui, added);
    showListFailure(ui, -2);
    showShrinkFailure(ui, -1);
    showListFailure(ui, 1);
    ASSERT_EQ(ui.messages().size(), 3u);
    EXPECT_EQ(ui.messages()[0].text, app::loadString(140));
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Stop);
    EXPECT_EQ(ui.messages()[1].text, app::loadString(109));
    EXPECT_EQ(ui.messages()[2].text, app::loadString(141));
}

TEST(SceneList, GrowsAndShrinksInStepsOfFifty) {
    SceneList list = listOf(51);
    EXPECT_EQ(list.capacity(), 100);
    list.removeRecords(0, 49);  // one step per call, however many went
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.capacity(), 50);
    list.removeRecord(0);
    EXPECT_EQ(list.capacity(), 50);
    list.removeRecord(0);
    EXPECT_EQ(list.capacity(), 0);
    EXPECT_EQ(list.AddNewScene(), 0);
    EXPECT_EQ(list.capacity(), 50);
}

TEST(SceneList, VacatedSlotsHoldDefaults) {
    SceneList list = listOf(3);
    list.setComment(2, "last");
    list.removeRecord(0);
    EXPECT_EQ(fieldText(list.slot(2).comment), "");
    EXPECT_EQ(list.slot(2).speedFactor, 1.0f);
    EXPECT_EQ(fieldText(list.slot(1).comment), "last");
    EXPECT_EQ(list.removeRecords(2, 1), -1);
}

TEST(SceneList, InsertMoveAndSwap) {
    SceneList list = listOf(4);
    EXPECT_EQ(list.InsertNewScene(5), -1);
    EXPECT_EQ(list.InsertNewScene(1), 1);
    EXPECT_EQ(starts(list), (std::vector<int>{0, 10, 10, 20, 30}));  // slot 1 keeps the old record
    list.removeRecord(1);
    EXPECT_EQ(list.moveRecord(0, 3), 1);
    EXPECT_EQ(starts(list), (std::vector<int>{10, 20, 30, 0}));
    EXPECT_EQ(list.moveRecord(3, 1), 1);
    EXPECT_EQ(starts(list), (std::vector<int>{10, 0, 20, 30}));
    EXPECT_EQ(list.moveRecord(4, 0), -1);
    EXPECT_EQ(list.moveRecord(0, 4), -2);
    EXPECT_EQ(list.swapWithNeighbour(0, -1), 1);
    EXPECT_EQ(list.swapWithNeighbour(3, +1), 1);
    EXPECT_EQ(starts(list), (std::vector<int>{10, 0, 20, 30}));
    EXPECT_EQ(list.swapWithNeighbour(1, +1), 1);
    EXPECT_EQ(starts(list), (std::vector<int>{10, 20, 0, 30}));
    EXPECT_EQ(list.totalFrames(), 40);
}

TEST(SceneList, SetterLimitsAndModifiedRules) {
    SceneList list = listOf(1);
    list.setModified(false);
    EXPECT_EQ(list.setSourceFile(0, std::string(261, 'a')), -2);
    EXPECT_EQ(list.setSourceFile(0, std::string(260, 'a')), 1);
    EXPECT_EQ(list.sourceFile(0).size(), 260u);
    EXPECT_EQ(list.setComment(0, std::string(1025, 'c')), -2);
    EXPECT_EQ(list.setComment(0, std::string(1024, 'c')), 1);
    EXPECT_EQ(list.setStartFrame(0, -1), -2);
    EXPECT_EQ(list.setDefinedStop(0, -5), -2);
    EXPECT_TRUE(list.modified());

    list.setModified(false);
    EXPECT_EQ(list.setFramesPerSecond(0, 0), -2);
    EXPECT_EQ(list.setVideoFourcc(0, nullptr), -2);
    EXPECT_EQ(list.setVideoFourcc(0, "dvsdx"), -3);
    EXPECT_EQ(list.setVideoFourcc(0, "dvsd"), 1);
    EXPECT_EQ(list.setRecordingTime(0, nullptr), -2);
    EXPECT_EQ(list.setDvType(0, 2), 1);
    EXPECT_FALSE(list.modified());  // source facts are no user edit

    for (float f : {0.0f, 0.0005f}) {
        list.setSpeedFactor(0, f);
        EXPECT_FLOAT_EQ(list.speedFactor(0), 0.001f);
    }
    EXPECT_EQ(list.setNameTemplate(nullptr), -1);
    EXPECT_EQ(list.setNameTemplate(std::string(261, 'x').c_str()), -2);
}

TEST(SceneList, OutOfRangeGettersAndSetters) {
    SceneList list = listOf(1);
    EXPECT_EQ(list.setStartFrame(1, 0), -1);
    EXPECT_EQ(list.setComment(-1, ""), -1);
    EXPECT_EQ(list.startFrame(5), 0);
    EXPECT_EQ(list.sourceFile(5), "");
    EXPECT_EQ(list.framesPerSecond(5), 25.0f);
    EXPECT_EQ(list.videoFourcc(5), "----");
    list.mutableRecord(0)->framesPerSecond = 0;  // as an old project file may hold it
    EXPECT_EQ(list.framesPerSecond(0), 25.0f);
    EXPECT_EQ(list.replaceRecord(0, nullptr), -2);
}

TEST(SceneList, CopyFromTakesRecordsAndNames) {
    SceneList source = listOf(3);
    source.setGroupName("Urlaub");
    source.setProjectPath("/p/a.scn");
    source.setNameTemplate("%N3");
    SceneList target = listOf(1);
    EXPECT_EQ(target.copyFrom(source), 1);
    EXPECT_EQ(starts(target), starts(source));
    EXPECT_EQ(target.groupName(), "Urlaub");
    EXPECT_EQ(target.projectPath(), "/p/a.scn");
    EXPECT_EQ(target.nameTemplate(), "%N3");
    target.clear();
    EXPECT_EQ(target.count(), 0);
    EXPECT_EQ(target.nameTemplate(), "%Q_%N3");
    EXPECT_EQ(target.groupName(), "");
}

}  // namespace
}  // namespace klemora::scene
