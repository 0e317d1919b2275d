// StartCapture against the simulated camera: the frames of the file are
// the tape's from the capture start, in both DV types, and every end leaves
// a complete AVI file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "avi/avi_reader.h"
#include "camera/camera_codes.h"
#include "tests/camera/camera_test_support.h"

namespace klemora::test {
namespace {

class CaptureTest : public ::testing::Test {
protected:
    // Plays the tape and captures until `frames` frames are saved, or the
    // tape gives no more (then `ending` runs; by default the capture button).
    int capture(camera::CameraIO& io, int dvType, const std::string& file, int frames,
                std::function<void(camera::CameraIO&)> ending = nullptr) {
        if (io.AddCaptureGraph(dvType, false) != 1) return -100;
        bench.ui.resetCancel();  // the user side, before each capture
        stop.clear();
        FramesSaved enough(frames);
        io.onCaptureWait = [&](camera::CameraIO& camera) {
            bench.clock.release(kReleasePerWait);
            if (!enough.reached(camera)) return;
            if (ending) ending(camera);
            else stop.finish(bench.ui);
        };
        int rc = io.StartCapture(nullptr, file, &stop);
        io.onCaptureWait = nullptr;
        io.ReleaseCaptureGraph();
        return rc;
    }

    TempDir dir;
    CameraBench bench;
    camera::CaptureStop stop;
};

// Index of the tape frame the capture began with, from the checksums.
int startOnTape(const std::vector<std::string>& tape, const std::vector<std::string>& captured) {
    if (captured.empty()) return -1;
    for (size_t i = 0; i < tape.size(); ++i)
        if (tape[i] == captured[0]) return static_cast<int>(i);
    return -1;
}

void expectFramesFromTape(const std::string& tapeFile, const std::string& capturedFile, size_t minimum) {
    std::vector<std::string> tape = packetChecksums(tapeFile, "v");
    std::vector<std::string> captured = packetChecksums(capturedFile, "v");
    ASSERT_GE(captured.size(), minimum);
    int start = startOnTape(tape, captured);
    ASSERT_GE(start, 0) << "first captured frame is not on the tape";
    ASSERT_LE(start + captured.size(), tape.size());
    for (size_t i = 0; i < captured.size(); ++i) EXPECT_EQ(captured[i], tape[start + i]) << "frame " << i;
}

TEST_F(CaptureTest, TypeOneFramesAreTheTapeFramesFromTheStart) {
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(120, 1));
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    unit->deck().cue(17);
    ASSERT_EQ(io->CameraPlay(), 1);
    std::string out = dir.file("one.avi");
    ASSERT_EQ(capture(*io, 1, out, 40), 1);

    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_EQ(reader.GetDvType(), 1);
    EXPECT_GE(reader.GetFrameCount(), 35);
    // The first frame went out at the first tick after the stream started.
    avi::AviReader source;
    ASSERT_EQ(source.Open(tape, "r"), 1);
    ASSERT_EQ(reader.ReadRawPictureData(0), 1);
    std::vector<uint8_t> first(reader.frameBuffer().begin(), reader.frameBuffer().begin() + 144000);
    ASSERT_EQ(source.ReadRawPictureData(17), 1);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), source.frameBuffer().begin()));
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg not available";
    expectFramesFromTape(tape, out, 35);
}

TEST_F(CaptureTest, TypeTwoCarriesTheTapeSound) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg not available";
    // From a type-1 tape ffmpeg takes the sound out of the DV frames itself:
    // the independent reading of what the splitter must deliver.
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(120, 1));
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    unit->deck().cue(30);
    ASSERT_EQ(io->CameraPlay(), 1);
    std::string out = dir.file("two.avi");
    ASSERT_EQ(capture(*io, 2, out, 50), 1);

    expectFramesFromTape(tape, out, 45);
    std::vector<std::string> tapeFrames = packetChecksums(tape, "v");
    int start = startOnTape(tapeFrames, packetChecksums(out, "v"));
    ASSERT_GE(start, 0);
    std::vector<uint8_t> tapeSound = decodedAudio(tape);
    std::vector<uint8_t> sound = decodedAudio(out);
    const size_t bytesPerFrame = 1920 * 4;  // 48 kHz stereo at 25 frames per second
    ASSERT_GE(sound.size(), 45 * bytesPerFrame);
    ASSERT_LE(start * bytesPerFrame + sound.size(), tapeSound.size());
    EXPECT_TRUE(std::equal(sound.begin(), sound.end(), tapeSound.begin() + start * bytesPerFrame));

    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_EQ(reader.GetDvType(), 2);
    ASSERT_GE(reader.audioFormat().size(), 16u);
    EXPECT_EQ(reader.audioFormat()[0], 1);   // PCM
    EXPECT_EQ(reader.audioFormat()[4], 0x80);  // 48000 = 0xBB80
    EXPECT_EQ(reader.audioFormat()[5], 0xBB);
}

TEST_F(CaptureTest, NtscTypeTwoKeepsTheRateAndSampleCounts) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg not available";
    std::string tape = makeTape(dir, "ntsc.avi", tapeOptions(90, 1, true));
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    ASSERT_EQ(io->CameraPlay(), 1);
    std::string out = dir.file("ntsc2.avi");
    ASSERT_EQ(capture(*io, 2, out, 60), 1);
    expectFramesFromTape(tape, out, 55);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_NEAR(reader.GetFrameRate(), 29.97, 0.01);
    // 48 kHz locked to 29.97 frames: 8008 samples per 5 frames.
    const int64_t frames = reader.GetFrameCount();
    const int64_t samples = static_cast<int64_t>(decodedAudio(out).size() / 4);
    EXPECT_NEAR(static_cast<double>(samples), frames * 48000.0 * 1001 / 30000, 2.0);
}

TEST_F(CaptureTest, ExistingFileIsReplaced) {
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(60, 1));
    bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    ASSERT_EQ(io->CameraPlay(), 1);
    std::string out = dir.file("old.avi");
    writeTextFile(out, std::string(3000000, 'x'));
    ASSERT_EQ(capture(*io, 1, out, 10), 1);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_GE(reader.GetFrameCount(), 8);
    struct stat info {};
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, reader.fileSize());
}

TEST_F(CaptureTest, AbortAndUnplugEachLeaveACompleteFile) {
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(100, 2));
    for (int dvType : {1, 2}) {
        SCOPED_TRACE(dvType);
        auto unit = bench.add({.tapePath = tape, .devicePath = "sim:" + std::to_string(dvType)});
        auto io = bench.makeIo();
        std::vector<std::string> list;
        ASSERT_EQ(io->ListCaptureDevices(&list), 1);
        ASSERT_EQ(io->AddCamera(static_cast<int>(list.size()) - 1), 1);
        ASSERT_EQ(io->CameraPlay(), 1);

        LogCapture& log = bench.log;
        std::string aborted = dir.file("aborted" + std::to_string(dvType) + ".avi");
        EXPECT_EQ(capture(*io, dvType, aborted, 15, [&](camera::CameraIO&) { bench.ui.requestCancel(); }), 2);
        bench.ui.resetCancel();
        EXPECT_TRUE(log.contains("CameraIO: StartCapture: Stopped because 2"));
        avi::AviReader reader;
        ASSERT_EQ(reader.Open(aborted, "r"), 1);
        EXPECT_GE(reader.GetFrameCount(), 12);
        EXPECT_EQ(reader.GetDvType(), dvType);
        reader.Close();

        std::string lost = dir.file("lost" + std::to_string(dvType) + ".avi");
        EXPECT_EQ(capture(*io, dvType, lost, 10, [&](camera::CameraIO&) { unit->unplug(); }), 3);
        EXPECT_TRUE(log.contains("CameraIO: StartCapture: DXEvent-Code: 1f"));
        EXPECT_TRUE(log.contains("CameraIO: StartCapture: Stopped because 3"));
        ASSERT_EQ(reader.Open(lost, "r"), 1);
        EXPECT_GE(reader.GetFrameCount(), 8);
        if (haveFfmpeg()) expectFramesFromTape(tape, lost, 8);
    }
}

TEST_F(CaptureTest, LongCaptureGoesOnInOpenDmlSegments) {
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(150, 1));
    bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    avi::AviWriterOptions options;
    options.segmentLimitBytes = 4u << 20;  // stands in for 1 GiB
    io->setWriterOptions(options);
    ASSERT_EQ(io->CameraPlay(), 1);
    std::string out = dir.file("long.avi");
    ASSERT_EQ(capture(*io, 1, out, 200), 1);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_EQ(reader.GetFrameCount(), 150);  // the whole tape: the deck stopped at its end
    EXPECT_NE(reader.GetOpenDmlType(), 0);
    if (haveFfmpeg()) expectFramesFromTape(tape, out, 150);
}

// Room at the first check, almost none at the next.
int g_spaceChecks = 0;
std::optional<int64_t> fillingUp(const std::string&) {
    return ++g_spaceChecks == 1 ? int64_t{1} << 40 : int64_t{1} << 20;
}

TEST_F(CaptureTest, DiskNearlyFullEndsWithACompleteFileAndAFailure) {
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(60, 1));
    bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    g_spaceChecks = 0;
    io->setFreeSpaceProbe(fillingUp);
    ASSERT_EQ(io->CameraPlay(), 1);
    std::string out = dir.file("full.avi");
    EXPECT_EQ(capture(*io, 1, out, 100), -8);
    EXPECT_TRUE(bench.ui.hasMessage("StartCapture()!\nCode 1: -8\nCode 2: ffffffe4\nCode 3: ENOSPC"));
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_EQ(reader.GetFrameCount(), 25);  // up to the check that found the disk full
    if (haveFfmpeg()) expectFramesFromTape(tape, out, 25);
}

TEST_F(CaptureTest, StoppedTapeGivesAnEmptyButValidFile) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffprobe not available";
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(30, 2));
    bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    std::string out = dir.file("empty.avi");
    ASSERT_EQ(capture(*io, 2, out, 10), 1);
    EXPECT_EQ(std::system(("ffprobe -v error '" + out + "' >/dev/null 2>&1").c_str()), 0);
    EXPECT_TRUE(packetChecksums(out, "v").empty());
}

TEST_F(CaptureTest, StepFailuresAndDroppedFrames) {
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(80, 1));
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    EXPECT_EQ(io->StartCapture(nullptr, dir.file("x.avi")), -1);
    EXPECT_TRUE(bench.ui.hasMessage("StartCapture()!\nCode: -1"));
    ASSERT_EQ(io->AddCaptureGraph(1, false), 1);
    EXPECT_EQ(io->StartCapture(nullptr, dir.file("x.avi")), -2);
    io->ReleaseCaptureGraph();
    bindFirst(*io);
    ASSERT_EQ(io->AddCaptureGraph(1, false), 1);
    EXPECT_EQ(io->StartCapture(nullptr, ""), -3);
    EXPECT_TRUE(bench.ui.hasMessage("Es wurde kein Dateiname angegeben!"));
    EXPECT_EQ(io->StartCapture(nullptr, dir.file("no/such/folder.avi")), -4);
    EXPECT_TRUE(bench.ui.hasMessage("StartCapture()!\nCode 1: -4\nCode 2: fffffffe\nCode 3: ENOENT"));
    io->ReleaseCaptureGraph();

    ASSERT_EQ(io->CameraPlay(), 1);
    // The counts since the stream started, read once the capture has ended
    // (during it they are the capture thread's latest reading).
    int64_t dropped = -1, saved = -1;
    std::string out = dir.file("dropped.avi");
    EXPECT_EQ(capture(*io, 1, out, 30), 1);
    EXPECT_EQ(io->GetDroppedFramesInfo(&dropped, &saved), 1);
    EXPECT_EQ(dropped, 0);
    ASSERT_EQ(io->CameraStop(), 1);
    unit->deck().cue(0);
    ASSERT_EQ(io->CameraPlay(), 1);
    unit->dropFrames(4);
    EXPECT_EQ(capture(*io, 1, out, 30), 1);
    EXPECT_EQ(io->GetDroppedFramesInfo(&dropped, &saved), 1);
    EXPECT_EQ(dropped, 4);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(out, "r"), 1);
    EXPECT_EQ(reader.GetFrameCount(), saved);
}

}  // namespace
}  // namespace klemora::test
