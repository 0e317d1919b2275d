#include "scene/scene_properties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/string_table.h"
#include "scene/time_text.h"
#include "tests/scene/scene_rows.h"
#include "tests/support/scripted_ui.h"

namespace klemora::scene {
namespace {

using Rows = std::vector<int>;

class PropertyValues : public ::testing::Test {
protected:
    void SetUp() override { app::useGermanStrings(); }

    // A scene of a file of `fileFrames` frames.
    SceneProperties scene(int32_t first, int32_t last, int32_t fileFrames = 500) {
        SceneRecord r;
        r.startFrame = first - 1;
        r.stopFrame = last - 1;
        r.fileLastFrame = fileFrames - 1;
        r.allKeyframes = 1;
        return propertiesOf(r);
    }

    static std::string text(int id) { return app::loadString(id); }
    test::ScriptedUserInterface ui;
};

TEST_F(PropertyValues, FramesAreCheckedAgainstTheFileInOrder) {
    EXPECT_TRUE(checkSceneProperties(scene(1, 500)).passed());

    PropertyRefusal r = checkSceneProperties(scene(1, 501));
    EXPECT_EQ(r.field, PropertyField::LastFrame);
    EXPECT_EQ(r.message, text(185) + "\nMax.: 500");

    r = checkSceneProperties(scene(0, 10));
    EXPECT_EQ(r.field, PropertyField::FirstFrame);
    EXPECT_EQ(r.message, text(181) + "\nMin.: 1");
    r = checkSceneProperties(scene(501, 501));
    EXPECT_EQ(r.message, text(182) + "\nMax.: 500");
    r = checkSceneProperties(scene(20, 19));
    EXPECT_EQ(r.field, PropertyField::LastFrame);
    EXPECT_EQ(r.message, text(183));

    SceneProperties late = scene(300, 310);
    late.fileFirstFrame = 305;  // the file's range need not start at 0
    EXPECT_EQ(checkSceneProperties(late).message, text(181) + "\nMin.: 306");
    late.firstFrame = 306;
    late.lastFrame = 305;
    EXPECT_EQ(checkSceneProperties(late).message, text(183));  // before 184: the order of the checks

    // The frame limits come before the speed and the name.
    SceneProperties both = scene(1, 501);
    both.speedFactor = 0;
    both.destName = "a:b";
    EXPECT_EQ(checkSceneProperties(both).field, PropertyField::LastFrame);
    both.lastFrame = 500;
    EXPECT_EQ(checkSceneProperties(both).field, PropertyField::SpeedFactor);
    both.speedFactor = 1;
    EXPECT_EQ(checkSceneProperties(both).field, PropertyField::DestName);
}

TEST_F(PropertyValues, SpeedFactorRangeIncludesBothEnds) {
    for (double ok : {0.001, 1.0, 100.0}) EXPECT_TRUE(checkSpeed(ok).passed()) << ok;
    for (double bad : {0.0005, 0.0, -1.0, 100.01, std::nan("")}) {
        PropertyRefusal r = checkSpeed(bad);
        EXPECT_EQ(r.field, PropertyField::SpeedFactor) << bad;
        EXPECT_EQ(r.message, text(187));
    }
    double speed = 0;
    EXPECT_TRUE(readSpeedText("0.5", speed).passed());
    EXPECT_EQ(speed, 0.5);
    EXPECT_EQ(readSpeedText("0,5", speed).message, text(189));
    EXPECT_EQ(readSpeedText("", speed).message, text(187));
    EXPECT_EQ(readSpeedText("2x", speed).message, text(187));
}

TEST_F(PropertyValues, NamePartNamesItsBadCharacter) {
    PropertyRefusal r = checkDestName("a:b");
    EXPECT_EQ(r.field, PropertyField::DestName);
    EXPECT_EQ(r.message, text(409) + "\nChar:    :");
    EXPECT_EQ(r.invalidCharAt, 1u);
    for (const char* bad : {"\"", "*", "/", "<", ">", "?", "\\", "|"}) EXPECT_FALSE(checkDestName(bad).passed()) << bad;
    EXPECT_TRUE(checkDestName("Urlaub % 2006").passed());
}

TEST_F(PropertyValues, LengthRuleOfNameAndComment) {
    EXPECT_TRUE(checkFieldLength(PropertyField::DestName, 260).passed());
    EXPECT_EQ(checkFieldLength(PropertyField::DestName, 261).message, text(188) + "\nMax: 260");
    EXPECT_TRUE(checkFieldLength(PropertyField::Comment, 1024).passed());
    EXPECT_EQ(checkFieldLength(PropertyField::Comment, 1025).message, text(188) + "\nMax: 1024");
}

TEST_F(PropertyValues, MovingTheFirstFrameMovesDateAndTimecode) {
    SceneProperties v = scene(1, 100);
    v.recordingTime = v.anchorTime = recordingTimeOf(2006, 12, 24, 18, 5, 9);
    v.startTimecode = v.anchorTimecode = Timecode{0, 59, 59, 20};
    // Ten steps of 5 frames are two whole seconds, as one step of 50 is.
    for (int first = 6; first <= 51; first += 5) moveFirstFrame(v, first);
    EXPECT_EQ(recordingTimeText(v.recordingTime), "24-12-2006 / 18:05:11");
    EXPECT_EQ(timecodeText(v.startTimecode), "01:00:01:20");
    EXPECT_EQ(timecodeText(stopTimecodeOf(v)), "01:00:03:20");  // 50 frames: first 51 .. last 100
    moveFirstFrame(v, 1);
    EXPECT_EQ(recordingTimeText(v.recordingTime), "24-12-2006 / 18:05:09");
    EXPECT_EQ(timecodeText(v.startTimecode), "00:59:59:20");

    // A typed date is where later moves start from.
    setRecordingTime(v, recordingTimeOf(2007, 1, 1, 0, 0, 0));
    moveFirstFrame(v, 26);
    EXPECT_EQ(recordingTimeText(v.recordingTime), "01-01-2007 / 00:00:01");

    SceneProperties undated = scene(1, 100);
    moveFirstFrame(undated, 76);
    EXPECT_EQ(undated.recordingTime, kNoRecordingTime);
    EXPECT_EQ(timecodeText(undated.startTimecode), "00:00:03:00");
}

class SharedEdit : public PropertyValues {
protected:
    void SetUp() override {
        PropertyValues::SetUp();
        test::addEditableScene(list, "a.avi", 0, 9, "Strand");
        test::addEditableScene(list, "a.avi", 10, 19, "");
        test::addEditableScene(list, "b.avi", 0, 9, "Berg");
        list.setDestName(0, "tag1");
    }
    SceneList list;
};

TEST_F(SharedEdit, PercentStandsForEachScenesPresentText) {
    SharedProperties v = sharedPropertiesOf(list, Rows{0, 2});
    EXPECT_EQ(v.comment, "%");
    EXPECT_EQ(v.destName, "%");
    ASSERT_TRUE(v.speedFactor.has_value());
    EXPECT_EQ(*v.speedFactor, 1.0);
    v.comment = "Urlaub: %";
    v.destName = "%_2006";
    v.speedFactor = 2.0;
    EXPECT_EQ(applySharedProperties(list, Rows{2, 0}, v, ui), EditResult::Ok);
    EXPECT_EQ(list.comment(0), "Urlaub: Strand");
    EXPECT_EQ(list.comment(2), "Urlaub: Berg");
    EXPECT_EQ(list.destName(0), "tag1_2006");
    EXPECT_EQ(list.destName(2), "_2006");
    EXPECT_EQ(list.comment(1), "");  // not selected
    EXPECT_EQ(list.speedFactor(0), 2.0f);
    EXPECT_EQ(list.speedFactor(1), 1.0f);
    EXPECT_EQ(list.startFrame(2), 0);
}

TEST_F(SharedEdit, DifferingSpeedsStayUnlessOneIsTyped) {
    list.setSpeedFactor(1, 3.0f);
    SharedProperties v = sharedPropertiesOf(list, Rows{0, 1});
    EXPECT_FALSE(v.speedFactor.has_value());
    v.comment = "x";
    EXPECT_EQ(applySharedProperties(list, Rows{0, 1}, v, ui), EditResult::Ok);
    EXPECT_EQ(list.speedFactor(0), 1.0f);
    EXPECT_EQ(list.speedFactor(1), 3.0f);
    EXPECT_EQ(list.comment(1), "x");
}

TEST_F(SharedEdit, RefusalsChangeNoScene) {
    SharedProperties v;
    v.destName = "a:%";
    EXPECT_EQ(applySharedProperties(list, Rows{0, 1}, v, ui), EditResult::BadInput);
    EXPECT_EQ(ui.messages().back().text, text(409) + "\nChar:    :");

    // Growing past the field for one scene stops all of them.
    list.setComment(2, std::string(1000, 'c'));
    v = SharedProperties{};
    v.comment = "% und noch ein langer Zusatz, der nicht mehr passt";
    EXPECT_EQ(applySharedProperties(list, Rows{0, 2}, v, ui), EditResult::BadInput);
    EXPECT_EQ(ui.messages().back().text, text(188) + "\nMax: 1024");
    EXPECT_EQ(list.comment(0), "Strand");

    EXPECT_EQ(applySharedProperties(list, Rows{}, v, ui), EditResult::NothingSelected);
}

TEST_F(SharedEdit, OneSceneTakesEveryValueAndWidensItsDefinedRange) {
    list.setFileLastFrame(1, 99);
    list.setOpenDmlKind(1, 2);
    SceneProperties v = propertiesOf(*list.record(1));
    EXPECT_TRUE(v.problematicOpenDml);
    EXPECT_TRUE(v.notAllKeyframes);
    v.firstFrame = 5;
    v.lastFrame = 40;
    v.destName = "neu";
    v.comment = "100%";  // no placeholder for one scene
    v.speedFactor = 0.001;
    v.done = true;
    v.startTimecode = Timecode{1, 2, 3, 4};
    EXPECT_EQ(applySceneProperties(list, Rows{1}, v, ui), EditResult::Ok);
    const SceneRecord& r = *list.record(1);
    EXPECT_EQ(r.startFrame, 4);
    EXPECT_EQ(r.stopFrame, 39);
    EXPECT_EQ(r.definedStart, 4);
    EXPECT_EQ(r.definedStop, 39);
    EXPECT_EQ(fieldText(r.comment), "100%");
    EXPECT_EQ(fieldText(r.destName), "neu");
    EXPECT_EQ(r.speedFactor, 0.001f);
    EXPECT_EQ(r.okStatus, 1);
    EXPECT_EQ(r.timecode, (Timecode{1, 2, 3, 4}));
    EXPECT_EQ(fieldText(r.sourceFile), "a.avi");

    v.lastFrame = 101;
    EXPECT_EQ(applySceneProperties(list, Rows{1}, v, ui), EditResult::BadInput);
    EXPECT_EQ(ui.messages().back().text, text(185) + "\nMax.: 100");
    EXPECT_EQ(list.stopFrame(1), 39);
    EXPECT_EQ(applySceneProperties(list, Rows{0, 1}, v, ui), EditResult::OnlyOneAllowed);
}

TEST_F(SharedEdit, TrimmedSceneComesBackIntoTheValues) {
    SceneProperties v = propertiesOf(*list.record(0));
    SceneRecord trimmed = sceneFromProperties(*list.record(0), v);
    trimmed.startFrame = 3;
    trimmed.stopFrame = 7;
    trimmed.okStatus = 1;
    trimmed.timecode = Timecode{0, 0, 0, 3};
    takeTrimmedScene(v, trimmed);
    EXPECT_EQ(v.firstFrame, 4);
    EXPECT_EQ(v.lastFrame, 8);
    EXPECT_TRUE(v.done);
    moveFirstFrame(v, 5);  // moves on from the trimmed start
    EXPECT_EQ(timecodeText(v.startTimecode), "00:00:00:04");
}

}  // namespace
}  // namespace klemora::scene
