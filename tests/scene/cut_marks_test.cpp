#include "scene/cut_marks.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/string_table.h"
#include "tests/support/scripted_ui.h"

namespace klemora::scene {
namespace {

using Entries = std::vector<int32_t>;

Entries entriesOf(const CutList& list) { return {list.entries().begin(), list.entries().end()}; }

class CutMarksTest : public ::testing::Test {
protected:
    void SetUp() override { app::useGermanStrings(); }
    test::ScriptedUserInterface ui;
};

TEST_F(CutMarksTest, MarksGoToTheirSortedPlaceAndTheBoundsOrAnEntryTwiceAreRefused) {
    CutList list(100, 200);
    EXPECT_FALSE(list.hasMarks());
    EXPECT_EQ(list.setMark(120, ui), 1);
    EXPECT_EQ(list.setMark(110, ui), 1);
    EXPECT_EQ(entriesOf(list), (Entries{100, 110, 120, 200}));
    EXPECT_TRUE(list.hasMarks());
    EXPECT_TRUE(ui.messages().empty());

    EXPECT_EQ(list.setMark(100, ui), -2);
    EXPECT_EQ(list.setMark(110, ui), -2);
    EXPECT_EQ(list.setMark(200, ui), -2);
    ASSERT_EQ(ui.messages().size(), 3u);
    for (const auto& message : ui.messages()) {
        EXPECT_EQ(message.text, "Diese Stelle ist schon als Schnittpunkt definiert!");
        EXPECT_EQ(message.icon, app::Icon::Stop);
    }
    EXPECT_EQ(list.setMark(201, ui), -3);
    EXPECT_EQ(entriesOf(list), (Entries{100, 110, 120, 200}));
}

TEST_F(CutMarksTest, TheTwoThousandthEntryIsTheLast) {
    CutList list(0, 5000);
    for (int32_t frame = 1; frame <= kMaxCutEntries - 2; ++frame) ASSERT_EQ(list.setMark(frame, ui), 1);
    EXPECT_EQ(list.entries().size(), size_t{kMaxCutEntries});
    EXPECT_EQ(list.setMark(3000, ui), -1);
    EXPECT_EQ(list.setMark(1, ui), -1);  // full is said first
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text, "Mehr Szenen können nicht eingefügt werden!");
    EXPECT_FALSE(list.contains(3000));
}

TEST_F(CutMarksTest, DelOnAMarkRemovesItAtOnceAndOnTheBoundsDoesNothing) {
    CutList list(100, 200);
    list.setMark(150, ui);
    EXPECT_EQ(list.deleteMark(100, ui), 0);
    EXPECT_EQ(list.deleteMark(200, ui), 0);
    EXPECT_EQ(list.deleteMark(150, ui), 1);
    EXPECT_EQ(entriesOf(list), (Entries{100, 200}));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.questions().empty());
}

TEST_F(CutMarksTest, DelNearAMarkAsksWithBothFramesCountedFromOne) {
    CutList list(100, 200);
    list.setMark(140, ui);
    ui.expectQuestion("Actual: 144\nPossible: 141", app::Answer::Yes);
    EXPECT_EQ(list.deleteMark(143, ui), 1);
    ASSERT_EQ(ui.questions().size(), 1u);
    EXPECT_EQ(ui.questions()[0].text,
              "Diese Stelle ist nicht als Schnittpunkt definiert. In der Nähe wurde aber ein benachbarter "
              "Schnittpunkt gefunden. Soll dieser Punkt gelöscht werden?\nActual: 144\nPossible: 141");
    EXPECT_EQ(ui.questions()[0].buttons, app::Buttons::YesNo);
    EXPECT_EQ(entriesOf(list), (Entries{100, 200}));

    list.setMark(140, ui);
    ui.expectQuestion("Possible: 141", app::Answer::No);
    EXPECT_EQ(list.deleteMark(165, ui), 0);  // 25 away: still found
    EXPECT_TRUE(list.contains(140));
}

TEST_F(CutMarksTest, DelBetweenTwoMarksAtTheSameDistanceOffersTheEarlierOne) {
    CutList list(100, 200);
    list.setMark(147, ui);
    list.setMark(153, ui);
    ui.expectQuestion("Actual: 151\nPossible: 148", app::Answer::Yes);
    EXPECT_EQ(list.deleteMark(150, ui), 1);
    EXPECT_EQ(entriesOf(list), (Entries{100, 153, 200}));
}

TEST_F(CutMarksTest, NoMarkWithinTwentyFiveFramesSaysSoAndTheBoundsAreNeverOffered) {
    CutList list(100, 200);
    list.setMark(150, ui);
    EXPECT_EQ(list.deleteMark(176, ui), -1);
    EXPECT_EQ(list.deleteMark(103, ui), -1);  // the start is 3 away, but it frames the scene
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text,
              "An dieser Stelle und im Umkreis von 25 Bildern ist kein Schnittpunkt definiert, der gelöscht "
              "werden könnte!");
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_EQ(entriesOf(list), (Entries{100, 150, 200}));
}

TEST_F(CutMarksTest, AltLeftAndAltRightGoToTheNeighbouringEntries) {
    CutList list(100, 200);
    list.setMark(130, ui);
    list.setMark(160, ui);
    EXPECT_EQ(list.entryBefore(145), 130);
    EXPECT_EQ(list.entryBefore(130), 100);
    EXPECT_EQ(list.entryBefore(100), 100);
    EXPECT_EQ(list.entryBefore(200), 160);
    EXPECT_EQ(list.entryAfter(145), 160);
    EXPECT_EQ(list.entryAfter(130), 160);
    EXPECT_EQ(list.entryAfter(160), 200);
    EXPECT_EQ(list.entryAfter(200), 200);
}

TEST_F(CutMarksTest, TheStatusLineCountsFromTheStartAtTheTruncatedRate) {
    EXPECT_EQ(cutStatusText(110, 100, 154, 25.0f), "Dauer: 00:00:02:05,    Bild: 11/55,    Zeit: 00:00:00:10");
    EXPECT_EQ(cutStatusText(100, 100, 100, 25.0f), "Dauer: 00:00:00:01,    Bild: 1/1,    Zeit: 00:00:00:00");
    EXPECT_EQ(cutStatusText(108031, 0, 108060, 30.0f),
              "Dauer: 01:00:02:01,    Bild: 108032/108061,    Zeit: 01:00:01:01");
    // 29.97 is cut to 29, not rounded to 30.
    EXPECT_EQ(cutStatusText(29, 0, 29, 29.97f), "Dauer: 00:00:01:01,    Bild: 30/30,    Zeit: 00:00:01:00");
}

}  // namespace
}  // namespace klemora::scene
