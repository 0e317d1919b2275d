// The capture thread against the simulated camera in wall time: a caller
// that does not get round to its waits loses no frame of the file, and a
// Stop from another thread ends the capture at once with a complete file.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/file_io.h"
#include "avi/avi_reader.h"
#include "tests/camera/camera_test_support.h"
#include "tests/support/shell_command.h"

namespace klemora::test {
namespace {

using WallClock = std::chrono::steady_clock;

class CaptureThreadTest : public ::testing::Test {
protected:
    CaptureThreadTest() {
        tape = makeTape(dir, "tape.avi", tapeOptions(250, 1));
        // A reader that is late by more than the unit's few buffered frames
        // loses frames, as on a real bus.
        bench.units->add(camera::systemClock(), {.tapePath = tape, .receiveFrames = 10});
        io = std::make_unique<camera::CameraIO>(bench.ui, camera::systemClock(), bench.factory(), bench.log.object());
        bindFirst(*io);
        avi::AviWriterOptions options;
        options.syncOnFinish = false;  // the disk's flush is not what these tests time
        io->setWriterOptions(options);
    }

    // The frames of the file, each the tape's, in order and without a gap.
    void expectTapeFramesWithoutGap(const std::string& file, int64_t frames) {
        std::vector<std::string> source = packetChecksums(tape, "v");
        std::vector<std::string> captured = packetChecksums(file, "v");
        ASSERT_EQ(static_cast<int64_t>(captured.size()), frames);
        ASSERT_FALSE(captured.empty());
        auto first = std::find(source.begin(), source.end(), captured[0]);
        ASSERT_NE(first, source.end());
        ASSERT_LE(static_cast<size_t>(first - source.begin()) + captured.size(), source.size());
        EXPECT_TRUE(std::equal(captured.begin(), captured.end(), first));
        std::string count = runShell("ffprobe -v error -count_packets -select_streams v:0 -show_entries "
                                     "stream=nb_read_packets -of csv=p=0 '" + file + "'").output;
        EXPECT_EQ(std::stoll(count), frames);
    }

    std::vector<std::string> folderEntries() {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.path().c_str())) {
            while (dirent* entry = readdir(d)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") names.push_back(name);  // a hidden temporary counts
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    CameraBench bench;
    std::string tape;
    std::unique_ptr<camera::CameraIO> io;
    camera::CaptureStop stop;
};

TEST_F(CaptureThreadTest, CallerBlockedForTwoSecondsLosesNoFrame) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg not available";
    RecordingPreviewWindow window;
    ASSERT_EQ(io->CameraPlay(), 1);
    ASSERT_EQ(io->AddCaptureGraph(1, true), 1);
    // The caller's thread hangs in a modal dialog for two seconds early on.
    bench.ui.onPump = [](ScriptedUserInterface& ui) {
        if (ui.pumps() == 3) std::this_thread::sleep_for(std::chrono::seconds(2));
    };
    io->onCaptureWait = [&](camera::CameraIO& camera) {
        int64_t saved = 0;
        if (camera.GetDroppedFramesInfo(nullptr, &saved) == 1 && saved >= 75) stop.finish(bench.ui);
    };
    std::string out = dir.file("blocked.avi");
    ASSERT_EQ(io->StartCapture(&window, out, &stop), 1);
    const int64_t previewDropped = io->previewFramesDropped();
    io->ReleaseCaptureGraph();

    int64_t dropped = -1, sent = -1;
    ASSERT_EQ(io->GetDroppedFramesInfo(&dropped, &sent), 1);
    EXPECT_EQ(dropped, 0);
    EXPECT_GE(sent, 75);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_EQ(reader.GetFrameCount(), sent);
    EXPECT_EQ(reader.fileSize(), app::readWholeFile(out)->size());
    reader.Close();
    expectTapeFramesWithoutGap(out, sent);
    // Only the preview went without while the caller was away.
    EXPECT_GT(previewDropped, 0);
    EXPECT_GT(window.frames, 0);
    EXPECT_LE(window.frames + previewDropped, sent);
}

TEST_F(CaptureThreadTest, StopFromAnotherThreadEndsTheCaptureWithACompleteFile) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg not available";
    ASSERT_EQ(io->CameraPlay(), 1);
    // The capture button's Stop is a normal end, any other Stop an abort.
    for (bool button : {true, false}) {
        SCOPED_TRACE(button);
        bench.ui.resetCancel();
        stop.clear();
        ASSERT_EQ(io->AddCaptureGraph(2, false), 1);
        std::string out = dir.file(button ? "stopped.avi" : "aborted.avi");
        bool finalNameSeen = false;
        io->onCaptureWait = [&](camera::CameraIO&) { finalNameSeen = finalNameSeen || app::fileExists(out); };
        WallClock::time_point pressed;
        std::thread user([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            pressed = WallClock::now();
            if (button) stop.finish(bench.ui);
            else bench.ui.requestCancel();
        });
        int rc = io->StartCapture(nullptr, out, &stop);
        const auto returned = WallClock::now();
        user.join();
        io->ReleaseCaptureGraph();
        EXPECT_EQ(rc, button ? 1 : 2);
        // The Stop ended it, not the tape (the time it takes: camera_capture_bench).
        EXPECT_GE(returned, pressed);
        EXPECT_FALSE(finalNameSeen) << "the file was visible under its name before it was complete";

        int64_t dropped = -1, sent = -1;
        ASSERT_EQ(io->GetDroppedFramesInfo(&dropped, &sent), 1);
        EXPECT_EQ(dropped, 0);
        EXPECT_GE(sent, 10);
        EXPECT_LT(sent, 200) << "the capture ran on to the tape's end";
        EXPECT_EQ(std::system(("ffprobe -v error '" + out + "' >/dev/null 2>&1").c_str()), 0);
        expectTapeFramesWithoutGap(out, sent);
    }
    // No temporary is left beside the files.
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"aborted.avi", "stopped.avi", "tape.avi"}));
}

}  // namespace
}  // namespace klemora::test
