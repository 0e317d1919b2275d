// The timecode detection: recording-start marks and timecode breaks on
// generated tapes, the timecode arithmetic it rests on, and the per-file
// choice of "auto".
#include "detect/timecode_scene_detection.h"

#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "detect/detection_choice.h"
#include "detect/dv_recording_start.h"
#include "detect/timecode_count.h"
#include "tests/detect/dv_detection_support.h"

namespace klemora::test {
namespace {

using detect::TimecodeSignals;
using fixtures::DatePacks;
using fixtures::DvFixtureOptions;
using scene::Timecode;

TEST(TimecodeCount, FollowsByExactlyTheFramesBetween) {
    EXPECT_TRUE(detect::timecodeFollows({0, 0, 0, 24}, {0, 0, 1, 0}, 1, 25));
    EXPECT_TRUE(detect::timecodeFollows({23, 59, 59, 24}, {0, 0, 0, 0}, 1, 25));  // midnight
    EXPECT_TRUE(detect::timecodeFollows({0, 0, 0, 10}, {0, 0, 0, 15}, 5, 25));   // five frames without a pack between
    EXPECT_FALSE(detect::timecodeFollows({0, 0, 0, 10}, {0, 0, 0, 10}, 1, 25));  // a still timecode
    EXPECT_FALSE(detect::timecodeFollows({0, 0, 0, 10}, {0, 0, 0, 9}, 1, 25));
    EXPECT_FALSE(detect::timecodeFollows({0, 0, 0, 10}, {0, 0, 0, 12}, 1, 25));
    EXPECT_FALSE(detect::timecodeFollows({1, 0, 0, 0}, {0, 0, 0, 0}, 1, 25));     // reset
}

TEST(TimecodeCount, NtscTakesDropFrameAndPlainCounting) {
    // Drop-frame skips frames 0 and 1 at every minute but each tenth.
    EXPECT_TRUE(detect::timecodeFollows({0, 0, 59, 29}, {0, 1, 0, 2}, 1, 30));
    EXPECT_TRUE(detect::timecodeFollows({0, 0, 59, 29}, {0, 1, 0, 0}, 1, 30));
    EXPECT_TRUE(detect::timecodeFollows({0, 9, 59, 29}, {0, 10, 0, 0}, 1, 30));
    EXPECT_TRUE(detect::timecodeFollows({0, 0, 59, 28}, {0, 1, 0, 3}, 3, 30));  // across the skip with a gap
    EXPECT_FALSE(detect::timecodeFollows({0, 9, 59, 29}, {0, 10, 0, 2}, 1, 30));
    EXPECT_FALSE(detect::timecodeFollows({0, 0, 59, 24}, {0, 1, 0, 2}, 1, 25));  // 625/50 never drops
    EXPECT_EQ(detect::timecodeFrameCount({23, 59, 59, 29}, 30, true) + 1, 2589408);  // a drop-frame day
}

TEST(TimecodeCount, PackFieldsAreMaskedAndOutOfRangeIsNoTimecode) {
    auto tc = detect::timecodeOfPack({0x13, 0x40 | 0x24, 0x80 | 0x59, 0x80 | 0x07, 0xC0 | 0x23}, 25);
    ASSERT_TRUE(tc);
    EXPECT_EQ(*tc, (Timecode{23, 7, 59, 24}));
    EXPECT_FALSE(detect::timecodeOfPack({0x13, 0xFF, 0xFF, 0xFF, 0xFF}, 25));
    EXPECT_FALSE(detect::timecodeOfPack({0x13, 0x25, 0, 0, 0}, 25));  // frame 25 at 25 a second
    EXPECT_TRUE(detect::timecodeOfPack({0x13, 0x25, 0, 0, 0}, 30));
}

TEST(TimecodeBreakRule, AMarkedRunIsOneStartAndSignalsCountOnlyWhenChosen) {
    detect::TimecodeBreakRule both(TimecodeSignals::Both);
    both.begin(25);
    both.startsScene({0, true, Timecode{0, 0, 0, 0}});  // the walk ignores the answer for its first frame
    EXPECT_FALSE(both.startsScene({1, false, Timecode{0, 0, 0, 1}}));
    EXPECT_TRUE(both.startsScene({2, true, Timecode{0, 0, 0, 2}}));   // the mark alone
    EXPECT_FALSE(both.startsScene({3, true, Timecode{0, 0, 0, 3}}));  // still the same start
    EXPECT_FALSE(both.startsScene({4, false, std::nullopt}));
    EXPECT_TRUE(both.startsScene({5, false, Timecode{0, 0, 0, 9}}));   // four frames later, six on

    detect::TimecodeBreakRule mark(TimecodeSignals::Mark), timecode(TimecodeSignals::Timecode);
    mark.begin(25);
    timecode.begin(25);
    for (detect::TimecodeBreakRule* rule : {&mark, &timecode}) rule->startsScene({0, false, Timecode{1, 0, 0, 0}});
    EXPECT_FALSE(mark.startsScene({1, false, Timecode{0, 0, 0, 0}}));
    EXPECT_TRUE(timecode.startsScene({1, false, Timecode{0, 0, 0, 0}}));
    EXPECT_TRUE(mark.startsScene({2, true, Timecode{0, 0, 0, 1}}));
    EXPECT_FALSE(timecode.startsScene({2, true, Timecode{0, 0, 0, 1}}));
}

TEST(TimecodeDetectionSettings, StoredSignalsAndTrim) {
    TempDir dir;
    app::SettingsStore store(dir.file("Klemora.ini"));
    EXPECT_EQ(detect::readTimecodeDetectionSettings(store).breakSignals, TimecodeSignals::Both);
    EXPECT_EQ(detect::readTimecodeDetectionSettings(store).trimCount, 1);
    store.writeInt("TimecodeSignals", 2);
    store.writeInt("TrimCount", 4);
    EXPECT_EQ(detect::readTimecodeDetectionSettings(store).breakSignals, TimecodeSignals::Timecode);
    EXPECT_EQ(detect::readTimecodeDetectionSettings(store).trimCount, 4);
    store.writeInt("TimecodeSignals", 7);
    EXPECT_EQ(detect::readTimecodeDetectionSettings(store).breakSignals, TimecodeSignals::Both);
}

// Takes 30 frames long from the default start, a minute apart.
fixtures::DvSession take(int index, std::optional<Timecode> timecodeStart = std::nullopt, int frames = 30) {
    fixtures::DvSession s = session(stamp(2006, 7, 1, 10, index, 0), frames);
    s.timecodeStart = timecodeStart;
    return s;
}

class TimecodeDetection : public ::testing::Test {
protected:
    std::vector<Span> detect(const DvFixtureOptions& options, TimecodeSignals chosen, int trim = 0) {
        std::string path = writeRecording(m_dir, "tape" + std::to_string(m_files++) + ".avi", options);
        detect::TimecodeDetectionSettings settings;
        settings.breakSignals = chosen;
        settings.trimCount = trim;
        m_scenes = scene::SceneList();
        m_result = detect::FindPerDvTimecode({wholeFile(path, fixtures::totalFrames(options))}, m_scenes, m_ui,
                                             settings);
        EXPECT_TRUE(m_ui.messages().empty()) << m_ui.allMessages();
        return spansOf(m_scenes);
    }

    ScopedTimeZone m_zone{"UTC"};
    TempDir m_dir;
    ScriptedUserInterface m_ui;
    scene::SceneList m_scenes;
    detect::DvDetectionResult m_result;
    int m_files = 0;
};

TEST_F(TimecodeDetection, MarksFindEveryTakeOfATapeWithoutDates) {
    // The timecode runs on across every stop: only the marks tell the takes.
    DvFixtureOptions options;
    options.datePacks = DatePacks::Missing;
    options.recordingStartMarks = true;
    options.sessions = {take(0), take(1), take(2)};
    const std::vector<Span> takes = {{0, 29}, {30, 59}, {60, 89}};
    EXPECT_EQ(detect(options, TimecodeSignals::Both), takes);
    EXPECT_EQ(m_result.status, 1);
    EXPECT_EQ(m_result.sceneCount, 3);
    EXPECT_EQ(m_scenes.timecode(1), (Timecode{0, 0, 1, 5}));
    EXPECT_EQ(m_scenes.recordingTime(1), scene::kNoRecordingTime);
    EXPECT_EQ(detect(options, TimecodeSignals::Mark), takes);
    EXPECT_EQ(detect(options, TimecodeSignals::Timecode), (std::vector<Span>{{0, 89}}));
    // A take that starts without its mark joins the one before.
    options.sessions[1].unmarkedStart = true;
    EXPECT_EQ(detect(options, TimecodeSignals::Both), (std::vector<Span>{{0, 59}, {60, 89}}));
}

TEST_F(TimecodeDetection, ResetsAndJumpsEitherWayStartScenes) {
    DvFixtureOptions options;
    options.datePacks = DatePacks::Unset;  // one invalid date on every frame
    options.sessions = {take(0, Timecode{1, 0, 0, 0}), take(1, Timecode{0, 0, 0, 0}),  // reset
                        take(2, Timecode{0, 10, 0, 0}),                                  // forward
                        take(3, Timecode{0, 5, 0, 0}),                                   // backward
                        take(4, Timecode{0, 5, 1, 6})};                                  // one frame too far
    const std::vector<Span> takes = {{0, 29}, {30, 59}, {60, 89}, {90, 119}, {120, 149}};
    EXPECT_EQ(detect(options, TimecodeSignals::Timecode), takes);
    EXPECT_EQ(m_scenes.timecode(3), (Timecode{0, 5, 0, 0}));
    EXPECT_EQ(detect(options, TimecodeSignals::Both), takes);
    EXPECT_EQ(detect(options, TimecodeSignals::Mark), (std::vector<Span>{{0, 149}}));
    // Trimmed at the inner boundaries only, as the date detection does.
    EXPECT_EQ(detect(options, TimecodeSignals::Both, 2),
              (std::vector<Span>{{0, 27}, {32, 57}, {62, 87}, {92, 117}, {122, 149}}));
}

TEST_F(TimecodeDetection, FramesWithoutTimecodeInsideATakeCutNothing) {
    DvFixtureOptions options;
    options.sessions = {take(0, std::nullopt, 50), take(1, Timecode{2, 0, 0, 0})};
    options.framesWithoutPacks = {{10, 14}, {49, 51}};  // the second one hides the break itself
    EXPECT_EQ(detect(options, TimecodeSignals::Timecode), (std::vector<Span>{{0, 51}, {52, 79}}));
    // The scenes carry date and timecode of their first frame where it has them.
    EXPECT_EQ(m_scenes.recordingTime(0), fixtures::expectedRecordingTime(options, 0));
}

TEST_F(TimecodeDetection, NtscTimecodeBreaks) {
    DvFixtureOptions options;
    options.ntsc = true;
    options.datePacks = DatePacks::Missing;
    options.sessions = {take(0, Timecode{0, 0, 59, 0}, 40), take(1, Timecode{0, 0, 0, 0})};
    EXPECT_EQ(detect(options, TimecodeSignals::Both), (std::vector<Span>{{0, 39}, {40, 69}}));
}

TEST_F(TimecodeDetection, FailuresNameTheirRun) {
    std::string missing = m_dir.file("missing.avi");
    detect::TimecodeDetectionSettings settings;
    detect::FindPerDvTimecode({{missing, 0, 10}}, m_scenes, m_ui, settings);
    EXPECT_NE(m_ui.allMessages().find(" FindPerDvTimecode()!\nFile: " + missing), std::string::npos)
        << m_ui.allMessages();
}

TEST(RecordingStartFixture, MarksOnlyTheFirstFrameOfEachMarkedTake) {
    DvFixtureOptions options;
    options.sessions = {take(0, std::nullopt, 3), take(1, std::nullopt, 3), take(2, std::nullopt, 3)};
    options.sessions[2].unmarkedStart = true;
    for (int32_t f = 0; f < 9; ++f) EXPECT_FALSE(detect::isRecordingStart(fixtures::makeDvFrame(options, f))) << f;
    options.recordingStartMarks = true;
    for (int32_t f = 0; f < 9; ++f)
        EXPECT_EQ(detect::isRecordingStart(fixtures::makeDvFrame(options, f)), f == 0 || f == 3) << f;
    // The pack is the muxer's own, with only the start bit changed.
    avi::DvPack plain{}, marked{};
    options.recordingStartMarks = false;
    ASSERT_EQ(detect::findAauxPack(fixtures::makeDvFrame(options, 0), avi::kPackAudioControl, plain), 1);
    options.recordingStartMarks = true;
    ASSERT_EQ(detect::findAauxPack(fixtures::makeDvFrame(options, 0), avi::kPackAudioControl, marked), 1);
    plain[2] &= 0x7F;
    EXPECT_EQ(plain, marked);
}

class AutoChoice : public TimecodeDetection {
protected:
    bool changingDates(const DvFixtureOptions& options) {
        std::string path = writeRecording(m_dir, "probe" + std::to_string(m_files++) + ".avi", options);
        avi::AviReader reader;
        EXPECT_EQ(reader.Open(path, "r"), 1);
        return detect::carriesChangingRecordingDates(reader, 0, reader.GetFrameCount() - 1);
    }
};

TEST_F(AutoChoice, UsableDatesNeedTwoDistinctValidTimes) {
    DvFixtureOptions options;
    options.sessions = {take(0, std::nullopt, 30)};
    EXPECT_TRUE(changingDates(options));
    options.sessions = {take(0, std::nullopt, 25)};  // one second: one time only
    EXPECT_FALSE(changingDates(options));
    options.sessions = {take(0, std::nullopt, 30), take(1, std::nullopt, 30)};
    options.datePacks = DatePacks::Missing;
    EXPECT_FALSE(changingDates(options));
    options.datePacks = DatePacks::Unset;
    EXPECT_FALSE(changingDates(options));
}

TEST_F(AutoChoice, EachFileGetsItsOwnDetection) {
    // Dated takes whose timecode runs on, and a dateless tape with marks.
    DvFixtureOptions dated;
    dated.sessions = {take(0), take(7)};
    DvFixtureOptions dateless;
    dateless.datePacks = DatePacks::Missing;
    dateless.recordingStartMarks = true;
    dateless.sessions = {take(0), take(1), take(2)};
    std::string first = writeRecording(m_dir, "dated.avi", dated);
    std::string second = writeRecording(m_dir, "dateless.avi", dateless);
    detect::DvDetectionSettings settings{1, 0};
    std::vector<detect::DetectionChoice> choices;
    detect::DvDetectionResult result = detect::FindPerDvAuto({wholeFile(first, 60), wholeFile(second, 90)}, m_scenes,
                                                             m_ui, settings, TimecodeSignals::Both, &choices);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(spansOf(m_scenes), (std::vector<Span>{{0, 29}, {30, 59}, {0, 29}, {30, 59}, {60, 89}}));
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_TRUE(choices[0].byDate);
    EXPECT_FALSE(choices[1].byDate);
    EXPECT_EQ(choices[1].path, second);
}

}  // namespace
}  // namespace klemora::test
