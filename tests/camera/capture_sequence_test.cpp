// The capture button without the dialog: name rules, the overwrite and
// start questions, camera control, and the captured-files list.
#include <gtest/gtest.h>

#include "app/file_io.h"
#include "avi/avi_reader.h"
#include "camera/camera_codes.h"
#include "camera/capture_name.h"
#include "camera/capture_sequence.h"
#include "camera/capture_status.h"
#include "tests/camera/camera_test_support.h"

namespace klemora::test {
namespace {

TEST(CaptureName, RulesForTheDestination) {
    std::string path;
    EXPECT_EQ(camera::checkCaptureName("", path), 360);
    EXPECT_EQ(camera::checkCaptureName("Clip.avi", path), 449);
    EXPECT_EQ(camera::checkCaptureName("video/Clip", path), 449);
    ASSERT_EQ(camera::checkCaptureName("D:\\Video\\Clip", path), 0);
    EXPECT_EQ(path, "d:\\video\\clip.avi");
    ASSERT_EQ(camera::checkCaptureName("\\\\server\\Share\\Take", path), 0);
    EXPECT_EQ(path, "\\\\server\\share\\take.avi");
    // Folders here are case-sensitive: only the file name is lowered.
    ASSERT_EQ(camera::checkCaptureName("/home/Anna/Video/Clip", path), 0);
    EXPECT_EQ(path, "/home/Anna/Video/clip.avi");
    ASSERT_EQ(camera::checkCaptureName("/tmp/Take.AVI", path), 0);
    EXPECT_EQ(path, "/tmp/take.avi");
    ASSERT_EQ(camera::checkCaptureName("/tmp/Übung", path), 0);
    EXPECT_EQ(path, "/tmp/Übung.avi");
}

TEST(StatusLine, CountsLengthAndFormat) {
    EXPECT_EQ(camera::statusLine(false, 0, 0, 25.0, "--:--:--:--", 0),
              "Saved: --- / Dropped: --- / Length: --- / Timecode: --:--:--:-- / Format: ---");
    EXPECT_EQ(camera::statusLine(true, 1, 0, 25.0, "00:00:00:00", 1),
              "Saved: --- / Dropped: --- / Length: --- / Timecode: 00:00:00:00 / Format: PAL");
    EXPECT_EQ(camera::statusLine(true, 1, 93777, 25.0, "01:02:31:02", 1),
              "Saved: 93777 / Dropped: 0 / Length: 01:02:31:02 / Timecode: 01:02:31:02 / Format: PAL");
    EXPECT_EQ(camera::statusLine(true, 5, 1800, 29.97, "00:01:00:00", 2),
              "Saved: 1800 / Dropped: 5 / Length: 00:01:00:00 / Timecode: 00:01:00:00 / Format: NTSC");
}

class SequenceTest : public ::testing::Test {
protected:
    SequenceTest() {
        options = tapeOptions(150, 1);
        tape = makeTape(dir, "tape.avi", options);
    }

    // Captures until `frames` frames are saved, then presses the capture button.
    int run(camera::CameraIO& io, camera::CaptureRequest request, int frames,
            std::function<void(camera::CameraIO&)> ending = nullptr) {
        bench.ui.resetCancel();  // the user side, before each capture
        stop.clear();
        request.stop = &stop;
        FramesSaved enough(frames);
        io.onCaptureWait = [&](camera::CameraIO& camera) {
            bench.clock.release(kReleasePerWait);
            if (!enough.reached(camera)) return;
            if (ending) ending(camera);
            else stop.finish(bench.ui);
        };
        camera::CaptureHooks hooks;
        hooks.showState = [&](std::string_view text) { states.emplace_back(text); };
        hooks.statusTimer = [&](bool on) { timer.push_back(on); };
        int rc = camera::RunCapture(io, request, bench.ui, bench.clock, captured, hooks, &outcome);
        io.onCaptureWait = nullptr;
        return rc;
    }

    TempDir dir;
    CameraBench bench;
    fixtures::DvFixtureOptions options;
    std::string tape;
    camera::CapturedFiles captured{bench.ui};
    camera::CaptureOutcome outcome;
    camera::CaptureStop stop;
    std::vector<std::string> states;
    std::vector<bool> timer;
};

TEST_F(SequenceTest, NamesAreCheckedBeforeAnythingHappens) {
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    EXPECT_EQ(run(*io, {.fileName = ""}, 5), 0);
    EXPECT_TRUE(bench.ui.hasMessage("Es wurde kein Dateiname angegeben!"));
    EXPECT_EQ(run(*io, {.fileName = "Clip.avi"}, 5), 0);
    EXPECT_TRUE(bench.ui.hasMessage("Bitte einen kompletten Pfad incl. Dateinamen"));
    EXPECT_TRUE(states.empty());
    EXPECT_EQ(unit->deck().mode(), static_cast<int>(camera::TransportMode::Stop));

    std::string existing = dir.file("keep.avi");
    writeTextFile(existing, "old");
    bench.ui.expectQuestion("Die Datei existiert schon!", app::Answer::No);
    EXPECT_EQ(run(*io, {.fileName = dir.file("Keep")}, 5), 0);
    EXPECT_EQ(readTextFile(existing), "old");
    EXPECT_EQ(captured.scenes().count(), 0);
}

TEST_F(SequenceTest, CameraControlAroundANormalCaptureAndItsScene) {
    // The dialog's window outlives the camera component, which detaches from it on release.
    RecordingPreviewWindow window;
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    ASSERT_EQ(io->AddPreviewGraph(), 1);
    ASSERT_EQ(io->StartPreview(), 1);
    std::string existing = dir.file("take.avi");
    writeTextFile(existing, "old");
    bench.ui.expectQuestion("Die Datei existiert schon!", app::Answer::Yes);
    bench.ui.expectQuestion("Drücken Sie 'OK' um das Capturing zu starten...", app::Answer::Ok);
    EXPECT_EQ(run(*io, {.fileName = dir.file("Take"), .dvType = 2, .window = &window}, 60), 1);
    EXPECT_EQ(outcome.path, existing);
    EXPECT_EQ(states, (std::vector<std::string>{"Camera: Pause", "Camera: Play", "Camera: Stop"}));
    EXPECT_EQ(timer, (std::vector<bool>{true, false}));
    EXPECT_EQ(unit->deck().mode(), static_cast<int>(camera::TransportMode::Stop));
    // The preview is back afterwards.
    EXPECT_TRUE(io->previewGraphAdded());
    EXPECT_TRUE(io->running());
    EXPECT_TRUE(window.visible);

    ASSERT_EQ(outcome.listed, 1);
    ASSERT_EQ(captured.scenes().count(), 1);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(existing, "r"), 1);
    const scene::SceneRecord* r = captured.scenes().record(0);
    EXPECT_EQ(scene::fieldText(r->sourceFile), existing);
    EXPECT_EQ(r->startFrame, 0);
    EXPECT_EQ(r->stopFrame, reader.GetFrameCount() - 1);
    EXPECT_EQ(r->fileFirstFrame, 0);
    EXPECT_EQ(r->fileLastFrame, reader.GetFrameCount() - 1);
    EXPECT_FLOAT_EQ(r->framesPerSecond, 25.0f);
    EXPECT_EQ(r->dvType, 2);
    // Recording time of the first captured frame: the tape frame under the
    // head when the capture began (after the pause and the run-up).
    scene::Timecode first = reader.timecode();
    int32_t tapeFrame = first.seconds * 25 + first.frames;
    EXPECT_GT(tapeFrame, 0);
    EXPECT_EQ(r->recordingTime, fixtures::expectedRecordingTime(options, tapeFrame));
    EXPECT_GE(reader.GetFrameCount(), 55);

    // The same file again (in other case) is not listed twice.
    EXPECT_EQ(captured.add(dir.file("TAKE.avi")), 0);
    EXPECT_EQ(captured.scenes().count(), 1);
}

TEST_F(SequenceTest, CameraWithoutTransportCapturesWithoutControl) {
    bench.add({.tapePath = tape, .transport = false, .startPlaying = true});
    auto io = bench.makeIo();
    bindFirst(*io);
    bench.ui.alwaysAnswer("Drücken Sie 'OK'", app::Answer::Ok);
    EXPECT_EQ(run(*io, {.fileName = dir.file("live"), .cameraControl = true}, 30), 1);
    EXPECT_TRUE(states.empty());
    ASSERT_EQ(captured.scenes().count(), 1);
    EXPECT_GE(captured.scenes().lengthFrames(0), 25);
    EXPECT_EQ(io->GetCameraState(), -1);
}

TEST_F(SequenceTest, CancelAtTheStartQuestionStopsTheCamera) {
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    bench.ui.expectQuestion("Drücken Sie 'OK'", app::Answer::Cancel);
    EXPECT_EQ(run(*io, {.fileName = dir.file("never")}, 5), 0);
    EXPECT_EQ(states, (std::vector<std::string>{"Camera: Pause", "Camera: Stop"}));
    EXPECT_FALSE(app::fileExists(dir.file("never.avi")));
    EXPECT_TRUE(timer.empty());
    EXPECT_FALSE(io->captureGraphAdded());
}

TEST_F(SequenceTest, AbortAndLostDeviceAreNotHandedOver) {
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    bench.ui.alwaysAnswer("Drücken Sie 'OK'", app::Answer::Ok);
    EXPECT_EQ(run(*io, {.fileName = dir.file("abort")}, 10, [&](camera::CameraIO&) { bench.ui.requestCancel(); }),
              2);
    EXPECT_EQ(captured.scenes().count(), 0);
    EXPECT_TRUE(app::fileExists(dir.file("abort.avi")));
    EXPECT_TRUE(io->previewGraphAdded());  // an abort still gets its preview back

    bench.ui.resetCancel();
    EXPECT_EQ(run(*io, {.fileName = dir.file("lost")}, 10, [&](camera::CameraIO&) { unit->unplug(); }), 3);
    EXPECT_EQ(captured.scenes().count(), 0);
    EXPECT_FALSE(io->previewGraphAdded());
    avi::AviReader reader;
    EXPECT_EQ(reader.Open(dir.file("lost.avi"), "r"), 1);
}

}  // namespace
}  // namespace klemora::test
