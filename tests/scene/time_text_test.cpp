#include "scene/time_text.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

TEST(TimeText, PositionTexts) {
    EXPECT_EQ(positionText(0, 25), "00:00:00:00");
    EXPECT_EQ(positionText(24, 25), "00:00:00:24");
    EXPECT_EQ(positionText(25, 25), "00:00:01:00");
    EXPECT_EQ(positionText(90000, 25), "01:00:00:00");
    EXPECT_EQ(positionText(29, 29.97f), "00:00:01:29");  // seconds from 29, frames modulo 30
    EXPECT_EQ(positionText(30, 29.97f), "00:00:01:00");
    EXPECT_EQ(positionFileText(102, 25), "00-00-04-02");
}

TEST(TimeText, LengthTexts) {
    EXPECT_EQ(lengthText(25, 25), "00:00:01:00");
    EXPECT_EQ(lengthText(90001, 25), "01:00:00:01");
    EXPECT_EQ(lengthText(31, 29.97f), "00:00:01:01");
}

TEST(TimeText, AddingFramesToATimecode) {
    EXPECT_EQ(timecodeText(addFramesToTimecode({0, 59, 59, 24}, 1, 25)), "01:00:00:00");
    EXPECT_EQ(timecodeText(addFramesToTimecode({1, 0, 0, 0}, -1, 25)), "00:59:59:24");
    EXPECT_EQ(timecodeText(addFramesToTimecode({1, 2, 3, 4}, 0, 25)), "01:02:03:04");
    // At 29.97 the second holds 29 whole frames, so frame 30 is 1 s + 1 frame.
    EXPECT_EQ(timecodeText(addFramesToTimecode({0, 0, 0, 29}, 1, 29.97f)), "00:00:01:01");
    SceneRecord r;
    r.startFrame = 0;
    r.stopFrame = 24;
    EXPECT_EQ(timecodeText(stopTimecode(r)), "00:00:01:00");
    EXPECT_EQ(timecodeFileText({1, 12, 0, 5}), "01-12-00-05");
}

TEST(TimeText, ParsingRecordingTimes) {
    RecordingTime t;
    ASSERT_EQ(parseRecordingTime("24-12-2006 / 18:05:09", &t), 1);
    EXPECT_EQ(t, (RecordingTime{9, 5, 18, 24, 11, 106, 0, 0, 0}));
    EXPECT_EQ(recordingTimeText(t), "24-12-2006 / 18:05:09");
    EXPECT_EQ(recordingTimeFileText(t), "2006-12-24_18-05-09");
    EXPECT_EQ(pictureDateSuffix(t), "_2006-12-24_18-05-09.bmp");
    EXPECT_EQ(parseRecordingTime("24-12-2006", &t), -6);
    EXPECT_EQ(parseRecordingTime("", &t), -3);
    EXPECT_EQ(parseRecordingTime("24", &t), -4);
    EXPECT_EQ(parseRecordingTime("24-12-2006 / 18:05", &t), -8);
    EXPECT_EQ(parseRecordingTime("24-12-2006 / 18:05:09", nullptr), -2);
    ASSERT_EQ(parseRecordingTime(" 1-2-2003 /  4x:5:6", &t), 1);  // blanks and trailing garbage
    EXPECT_EQ(t.hours, 4);
}

TEST(TimeText, ParsingTimecodes) {
    Timecode tc;
    ASSERT_EQ(parseTimecode("01:23:45:12", &tc), 1);
    EXPECT_EQ(tc, (Timecode{1, 23, 45, 12}));
    EXPECT_EQ(parseTimecode("", &tc), -3);
    EXPECT_EQ(parseTimecode("01:23", &tc), -5);
    EXPECT_EQ(parseTimecode("01:23:45", &tc), -6);
    EXPECT_EQ(parseTimecode("01:23:45:00", nullptr), -2);
}

TEST(TimeText, RecordingTimeAdvancesInLocalTime) {
    test::ScopedEnv tz("TZ", "Europe/Berlin");
    RecordingTime t{50, 59, 23, 31, 11, 106, 0, 0, -1};  // 31-12-2006 23:59:50
    EXPECT_EQ(recordingTimeText(addFramesToRecordingTime(t, 250, 25)), "01-01-2007 / 00:00:00");
    EXPECT_EQ(recordingTimeText(addFramesToRecordingTime(t, -249, 25)), "31-12-2006 / 23:59:41");
    // 26 March 2006: clocks jump from 02:00 to 03:00.
    RecordingTime spring{59, 59, 1, 26, 2, 106, 0, 0, -1};
    RecordingTime moved = addFramesToRecordingTime(spring, 25, 25);
    EXPECT_EQ(recordingTimeText(moved), "26-03-2006 / 03:00:00");
    EXPECT_EQ(moved.daylightSaving, -1);  // weekday, day of year and flag stay
    EXPECT_EQ(addFramesToRecordingTime(t, 0, 25), t);
}

TEST(TimeText, ComparesAsLocalCalendarSeconds) {
    test::ScopedEnv tz("TZ", "UTC");
    RecordingTime a{0, 0, 10, 1, 0, 100, 0, 0, -1}, b{1, 0, 10, 1, 0, 100, 0, 0, -1};
    EXPECT_LT(compareRecordingTimes(a, b), 0);
    EXPECT_GT(compareRecordingTimes(b, a), 0);
    EXPECT_EQ(compareRecordingTimes(a, a), 0);
}

TEST(TimeText, SceneTextsOfAList) {
    SceneList list;
    list.AddNewScene();
    list.setStartFrame(0, 25);
    list.setStopFrame(0, 49);
    std::string text;
    EXPECT_EQ(sceneText(list, 0, SceneText::Start, &text), 1);
    EXPECT_EQ(text, "00:00:01:00");
    EXPECT_EQ(sceneText(list, 0, SceneText::Length, &text), 1);
    EXPECT_EQ(text, "00:00:01:00");
    EXPECT_EQ(sceneText(list, 0, SceneText::StopTimecode, &text), 1);
    EXPECT_EQ(text, "00:00:01:00");
    EXPECT_EQ(sceneText(list, 1, SceneText::Start, &text), -1);
    EXPECT_EQ(sceneText(list, 0, SceneText::Start, nullptr), -2);
}

}  // namespace
}  // namespace klemora::scene
