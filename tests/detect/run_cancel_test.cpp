// A Stop from another thread during a detection, as the desktop program's
// Stop button gives it while the run works on a worker: the run ends with
// its stop result and leaves the Stop set for the user side to clear.
#include <gtest/gtest.h>

#include "detect/picture_detection_run.h"
#include "detect/picture_diff_detector.h"
#include "tests/detect/dv_detection_support.h"
#include "tests/support/cancel_from_thread.h"
#include "tests/support/recording_power.h"

namespace klemora::test {
namespace {

fixtures::DvFixtureOptions oneSession(int frames, int hour) {
    fixtures::DvFixtureOptions options;
    options.sessions = {session(stamp(2006, 7, 1, hour, 0, 0), frames)};
    return options;
}

TEST(RunCancel, DvDetectionStopsInTheFileInHandAndNeverClearsTheStop) {
    ScopedTimeZone zone("UTC");
    TempDir dir;
    std::string first = writeRecording(dir, "first.avi", oneSession(650, 10));
    std::string second = writeRecording(dir, "second.avi", oneSession(30, 11));
    CancelFromThread ui(400);
    DetectionRun run;
    ui.runAndCancel([&] { runDetection(run, {wholeFile(first, 650), wholeFile(second, 30)}, ui); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_EQ(run.result.status, 2);
    ASSERT_EQ(run.scenes.count(), 1);  // the second file was never opened
    EXPECT_EQ(std::string(run.scenes.sourceFile(0)), first);
    EXPECT_TRUE(ui.cancelled());
}

class PictureRunCancel : public ::testing::Test {
protected:
    PictureRunCancel() : store(dir.file("Klemora.ini")) {
        settings.trimCount = 0;
        first = writeRecording(dir, "first.avi", oneSession(200, 10));
        second = writeRecording(dir, "second.avi", oneSession(200, 11));
    }

    detect::PictureDetectionResult run(app::UserInterface& ui, scene::SceneList& scenes) {
        detect::PictureDiffDetector detector(ui);
        return detect::RunPictureDetection({{first, 0, INT32_MAX}, {second, 0, INT32_MAX}}, scenes, detector,
                                           settings, power, store);
    }

    TempDir dir;
    app::SettingsStore store;
    detect::PictureDetectionSettings settings;
    RecordingPower power;
    std::string first, second;
};

TEST_F(PictureRunCancel, AStopFromAnotherThreadEndsTheSearchOfTheFileAndTheRun) {
    CancelFromThread ui(50);
    scene::SceneList scenes;
    detect::PictureDetectionResult result;
    ui.runAndCancel([&] { result = run(ui, scenes); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_EQ(result.lastResult, 2);
    for (int i = 0; i < scenes.count(); ++i) EXPECT_EQ(std::string(scenes.sourceFile(i)), first);
    EXPECT_EQ(power.requests, 0);
    EXPECT_TRUE(ui.cancelled());
}

// A Stop given just as the next file comes up belongs to the run: it used to
// be cleared before that file's search began.
class StopAtSecondFile : public ScriptedUserInterface {
public:
    explicit StopAtSecondFile(std::string file) : m_file(std::move(file)) {}
    void setProgressSource(std::string_view text) override {
        ScriptedUserInterface::setProgressSource(text);
        if (text == m_file) requestCancel();
    }

private:
    std::string m_file;
};

TEST_F(PictureRunCancel, AStopBetweenTwoFilesIsNotLost) {
    StopAtSecondFile ui(second);
    scene::SceneList scenes;
    detect::PictureDetectionResult result = run(ui, scenes);
    EXPECT_EQ(result.lastResult, 2);
    // The second file's search saw the Stop (it ends its scene where it stood), so the run ends there.
    ASSERT_GE(scenes.count(), 2);
    EXPECT_EQ(std::string(scenes.sourceFile(scenes.count() - 1)), second);
}

}  // namespace
}  // namespace klemora::test
