// CameraIO against the simulated camera: device list, binding, signal
// format, transport, timecode, preview graph and window placement.
#include <gtest/gtest.h>

#include <cstdlib>

#include "avi/avi_reader.h"
#include "camera/camera_codes.h"
#include "camera/camera_filter.h"
#include "camera/preview_window.h"
#include "camera/simulated_tape.h"
#include "camera/system_buses.h"
#include "camera/timecode_text.h"
#include "tests/camera/camera_test_support.h"

namespace klemora::test {
namespace {

using camera::SimulatedCameraSpec;

class CameraIoTest : public ::testing::Test {
protected:
    TempDir dir;
    CameraBench bench;
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(50, 1, false, {1, 23, 45, 12}));
};

TEST_F(CameraIoTest, ListsNameAndDescriptionAndLeavesOutDevicesWithoutPath) {
    LogCapture& log = bench.log;
    bench.add({.tapePath = tape});
    bench.add({.tapePath = tape, .friendlyName = "Deck B", .devicePath = "sim:b", .withoutDescription = true});
    bench.add({.tapePath = tape, .friendlyName = "Deck C", .withoutDevicePath = true});
    bench.add({.tapePath = tape, .friendlyName = "Deck D", .description = "Studio", .devicePath = "sim:d"});
    auto io = bench.makeIo();
    std::vector<std::string> list{"stale entry"};
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    EXPECT_EQ(list, (std::vector<std::string>{"Simulated DV Camera / DV tape tape.avi", "Deck B / ---",
                                              "Deck D / Studio"}));
    ASSERT_EQ(io->deviceTable().size(), 3u);
    EXPECT_EQ(io->deviceTable()[2].devicePath, "sim:d");
    EXPECT_EQ(io->currentDevice(), -1);
    EXPECT_TRUE(log.contains("CameraIO: ListCaptureDevices: Start"));
    EXPECT_TRUE(log.contains("CameraIO: CaptureDeviceDescription 1: Error"));
    EXPECT_TRUE(log.contains("CameraIO: CaptureDeviceDevicePath 2: Error"));
    EXPECT_TRUE(log.contains("CameraIO: CaptureDeviceDevicePath: 3: sim:d"));
    EXPECT_TRUE(log.contains("CameraIO: ListCaptureDevices: Ok"));
    EXPECT_EQ(io->ListCaptureDevices(nullptr), -1);
}

TEST_F(CameraIoTest, NoDevicesGivesMinusThreeAndAnEmptyList) {
    LogCapture& log = bench.log;
    auto io = bench.makeIo();
    std::vector<std::string> list{"stale"};
    EXPECT_EQ(io->ListCaptureDevices(&list), -3);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(log.contains("CameraIO: ListCaptureDevices: No devices / ffffffed / ENODEV"));
    EXPECT_TRUE(log.contains("---------"));
    EXPECT_TRUE(log.contains("CameraIO: Constructor: Ok"));
}

TEST_F(CameraIoTest, AtMostFiftyDevicesAreListed) {
    for (int i = 0; i < 55; ++i) bench.add({.tapePath = tape, .devicePath = "sim:" + std::to_string(i)});
    auto io = bench.makeIo();
    std::vector<std::string> list;
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    EXPECT_EQ(list.size(), 50u);
}

TEST_F(CameraIoTest, CurrentDeviceIsFoundAgainByItsPathAfterReordering) {
    auto first = bench.add({.tapePath = tape, .friendlyName = "First", .devicePath = "sim:first"});
    auto second = bench.add({.tapePath = tape, .friendlyName = "Second", .devicePath = "sim:second"});
    auto io = bench.makeIo();
    std::vector<std::string> list;
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    ASSERT_EQ(io->AddCamera(1), 1);
    EXPECT_EQ(io->currentDevice(), 1);

    bench.units->moveToFront(second);
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    EXPECT_EQ(list[0], "Second / DV tape tape.avi");
    EXPECT_EQ(io->currentDevice(), 0);

    // Binding by index goes through the path, so index 1 is now "First".
    ASSERT_EQ(io->AddCamera(1), 1);
    EXPECT_EQ(io->CameraPlay(), 1);
    EXPECT_EQ(first->deck().mode(), static_cast<int>(camera::TransportMode::Play));
    EXPECT_EQ(second->deck().mode(), static_cast<int>(camera::TransportMode::Stop));

    first->unplug();
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(io->currentDevice(), -1);
}

TEST_F(CameraIoTest, DeckWithoutCassetteKeepsPalRateAndNoFormat) {
    LogCapture& log = bench.log;
    auto deck = bench.add({.tapePath = ""});
    auto io = bench.makeIo();
    bindFirst(*io);
    EXPECT_DOUBLE_EQ(io->frameRate(), 25.0);
    EXPECT_EQ(io->videoFormat(), 0);
    EXPECT_EQ(io->GetCameraState(), static_cast<int>(camera::TransportMode::Stop));
    EXPECT_EQ(io->CameraPlay(), -1);
    EXPECT_TRUE(log.contains("CameraIO: CameraPlay failed / ffffff85 / ENOMEDIUM"));
    EXPECT_TRUE(log.contains("CameraIO: AddCamera-Idx: 0"));
    EXPECT_TRUE(log.contains("CameraIO: AddCamera Ok"));
}

TEST_F(CameraIoTest, SignalGivesFormatAndRate) {
    std::string ntsc = makeTape(dir, "ntsc.avi", tapeOptions(30, 2, true));
    bench.add({.tapePath = ntsc, .devicePath = "sim:ntsc"});
    bench.add({.tapePath = tape, .devicePath = "sim:pal"});
    auto io = bench.makeIo();
    std::vector<std::string> list;
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    ASSERT_EQ(io->AddCamera(0), 1);
    EXPECT_DOUBLE_EQ(io->frameRate(), 29.97);
    EXPECT_EQ(io->videoFormat(), 2);
    ASSERT_EQ(io->AddCamera(1), 1);
    EXPECT_DOUBLE_EQ(io->frameRate(), 25.0);
    EXPECT_EQ(io->videoFormat(), 1);
}

TEST_F(CameraIoTest, CameraWithoutTransportReadsMinusOne) {
    LogCapture& log = bench.log;
    bench.add({.tapePath = tape, .transport = false});
    auto io = bench.makeIo();
    bindFirst(*io);
    EXPECT_FALSE(io->hasTransport());
    EXPECT_EQ(io->GetCameraState(), -1);
    EXPECT_EQ(io->CameraPlay(), -1);
    EXPECT_EQ(io->CameraStop(), -1);
    EXPECT_EQ(io->videoFormat(), 0);  // nothing to ask the signal of
    EXPECT_TRUE(log.contains("CameraIO: AddCamera: No Transport Interface / "));
}

TEST_F(CameraIoTest, TransportCommandsSetTheirModes) {
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    using M = camera::TransportMode;
    struct Case {
        int (camera::CameraIO::*command)();
        M mode;
    };
    for (Case c : {Case{&camera::CameraIO::CameraPlay, M::Play}, Case{&camera::CameraIO::CameraPause, M::Freeze},
                   Case{&camera::CameraIO::CameraPlayFastForward, M::PlayFastestForward},
                   Case{&camera::CameraIO::CameraPlayFastBackward, M::PlayFastestReverse},
                   Case{&camera::CameraIO::CameraForward, M::FastForward},
                   Case{&camera::CameraIO::CameraBackward, M::Rewind}, Case{&camera::CameraIO::CameraStop, M::Stop}}) {
        unit->deck().cue(25);
        EXPECT_EQ(((*io).*c.command)(), 1);
        EXPECT_EQ(io->GetCameraState(), static_cast<int>(c.mode));
    }
    // Releasing the camera stops the tape, unless told otherwise.
    ASSERT_EQ(io->CameraPlay(), 1);
    io->ReleaseCamera();
    EXPECT_EQ(unit->deck().mode(), static_cast<int>(M::Stop));
    bindFirst(*io);
    io->setStopOnRelease(false);
    ASSERT_EQ(io->CameraPlay(), 1);
    io->ReleaseCamera();
    EXPECT_EQ(unit->deck().mode(), static_cast<int>(M::Play));
    bindFirst(*io);

    unit->unplug();
    LogCapture& log = bench.log;
    EXPECT_EQ(io->GetCameraState(), -2);
    EXPECT_TRUE(log.contains("CameraIO: GetCameraState failed / ffffffed / ENODEV"));
}

TEST(TransportModeText, EveryModeAndTheRest) {
    EXPECT_EQ(camera::transportModeText(4296), "Camera: Play");
    EXPECT_EQ(camera::transportModeText(4297), "Camera: Stop");
    EXPECT_EQ(camera::transportModeText(4298), "Camera: Pause");
    EXPECT_EQ(camera::transportModeText(4300), "Camera: Forward");
    EXPECT_EQ(camera::transportModeText(4301), "Camera: Backward");
    EXPECT_EQ(camera::transportModeText(4302), "Camera: Record");
    EXPECT_EQ(camera::transportModeText(4904), "Camera: RecordPause");
    EXPECT_EQ(camera::transportModeText(5029), "Camera: PlayFastForward");
    EXPECT_EQ(camera::transportModeText(5031), "Camera: PlayFastBackward");
    for (int other : {4299, 0, -1, -2, 5030}) {
        EXPECT_EQ(camera::transportModeText(other), "Camera: State unknown");
        EXPECT_FALSE(camera::isKnownTransportMode(other));
    }
}

TEST_F(CameraIoTest, TimecodeTextAndItsFailure) {
    fixtures::DvFixtureOptions blank = tapeOptions(10);
    blank.framesWithoutPacks.push_back({0, 9});
    std::string blankTape = makeTape(dir, "blank.avi", blank);
    auto unit = bench.add({.tapePath = tape, .devicePath = "sim:tc"});
    bench.add({.tapePath = blankTape, .devicePath = "sim:blank"});
    bench.add({.tapePath = tape, .devicePath = "sim:none", .timecodeReader = false});
    auto io = bench.makeIo();
    std::vector<std::string> list;
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);

    ASSERT_EQ(io->AddCamera(0), 1);
    std::string text;
    EXPECT_EQ(io->GetTimecodeString(&text), 1);
    EXPECT_EQ(text, "01:23:45:12");
    unit->deck().cue(13);
    EXPECT_EQ(io->GetTimecodeString(&text), 1);
    EXPECT_EQ(text, "01:23:46:00");

    LogCapture& log = bench.log;
    ASSERT_EQ(io->AddCamera(1), 1);
    EXPECT_EQ(io->GetTimecodeString(&text), -2);
    EXPECT_EQ(text, "--:--:--:--");
    EXPECT_TRUE(log.contains("CameraIO: GetTimecodeString(): GetTimecode: ffffffc3 ENODATA"));

    ASSERT_EQ(io->AddCamera(2), 1);
    EXPECT_FALSE(io->hasTimecodeReader());
    EXPECT_EQ(io->GetTimecodeString(&text), -1);
}

TEST_F(CameraIoTest, RawDvFileServesAsTape) {
    // The frames of the AVI one after the other: a raw DV file.
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(tape, "r"), 1);
    std::string raw;
    for (int32_t i = 0; i < reader.GetFrameCount(); ++i) {
        ASSERT_EQ(reader.ReadRawPictureData(i), 1);
        raw.append(reinterpret_cast<const char*>(reader.frameBuffer().data()), 144000);
    }
    std::string rawTape = dir.file("tape.dv");
    writeTextFile(rawTape, raw);
    camera::SimulatedTape dv;
    ASSERT_EQ(dv.load(rawTape), 0);
    EXPECT_EQ(dv.frameCount(), 50);
    EXPECT_TRUE(dv.pal());
    ASSERT_TRUE(dv.timecodeAt(1));
    EXPECT_EQ(*dv.timecodeAt(1), (scene::Timecode{1, 23, 45, 13}));
    camera::SimulatedTape bad;
    EXPECT_EQ(bad.load(dir.file("missing.dv")), -ENOENT);
    writeTextFile(dir.file("text.dv"), std::string(200000, 'a'));
    EXPECT_EQ(bad.load(dir.file("text.dv")), -EINVAL);
}

TEST(TimecodeText, BcdBytesHoursFirst) {
    EXPECT_EQ(camera::timecodeText(0x01234512), "01:23:45:12");
    EXPECT_EQ(camera::timecodeText(camera::bcdTimecode({23, 59, 59, 24})), "23:59:59:24");
}

TEST_F(CameraIoTest, FailuresWithoutBaseGraphOrDevice) {
    LogCapture& log = bench.log;
    camera::CameraIO broken(bench.ui, bench.clock, [](camera::BusList&) { return -EACCES; }, log.object());
    EXPECT_FALSE(broken.baseGraphReady());
    EXPECT_TRUE(log.contains("CameraIO: Constructor: 6 failed/ fffffff3 / EACCES"));
    EXPECT_EQ(broken.AddCamera(0), -1);
    EXPECT_TRUE(bench.ui.hasMessage("AddCamera()!\nCode: -1"));
    EXPECT_EQ(broken.AddPreviewGraph(), -1);
    EXPECT_EQ(broken.AddCaptureGraph(1, false), -1);
    EXPECT_EQ(broken.RestartBaseGraph(), -6);
    EXPECT_TRUE(log.contains("CameraIO: RestartBaseGraph: 6 failed/ "));

    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    std::vector<std::string> list;
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    unit->unplug();  // gone between listing and binding
    EXPECT_EQ(io->AddCamera(0), -2);
    EXPECT_TRUE(bench.ui.hasMessage("AddCamera()!\nCode 1: -2\nCode 2: ffffffed\nCode 3: ENODEV\nCamera: 0"));
    EXPECT_FALSE(io->cameraAdded());
    EXPECT_EQ(io->currentDevice(), -1);
}

TEST_F(CameraIoTest, RestartBaseGraphReleasesTheCamera) {
    LogCapture& log = bench.log;
    bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    ASSERT_EQ(io->AddPreviewGraph(), 1);
    EXPECT_EQ(io->RestartBaseGraph(), 1);
    EXPECT_FALSE(io->cameraAdded());
    EXPECT_FALSE(io->previewGraphAdded());
    EXPECT_TRUE(io->deviceTable().empty());
    EXPECT_EQ(io->graph()->filterCount(), 0);
    EXPECT_TRUE(log.contains("CameraIO: BaseGraph restarted"));
}

TEST(PreviewRectangle, CentredFourByThree) {
    EXPECT_EQ(camera::previewRectangle(800, 450), (camera::PreviewRect{100, 0, 700, 450}));
    EXPECT_EQ(camera::previewRectangle(640, 600), (camera::PreviewRect{0, 60, 640, 540}));
    EXPECT_EQ(camera::previewRectangle(640, 480), (camera::PreviewRect{0, 0, 640, 480}));
    EXPECT_EQ(camera::previewRectangle(0, 480), camera::PreviewRect{});
}

TEST_F(CameraIoTest, PreviewGraphShowsFramesInThePlacedWindow) {
    auto unit = bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    std::vector<std::string> list;
    ASSERT_EQ(io->ListCaptureDevices(&list), 1);
    EXPECT_EQ(io->AddPreviewGraph(), -2);
    EXPECT_TRUE(bench.ui.hasMessage("StartPreview()!\nCode: -2"));
    EXPECT_EQ(io->StartPreview(), -1);
    ASSERT_EQ(io->AddCamera(0), 1);
    ASSERT_EQ(io->AddPreviewGraph(), 1);
    EXPECT_EQ(io->SetPreviewWindow(nullptr), -2);

    RecordingPreviewWindow window;
    ASSERT_EQ(io->SetPreviewWindow(&window), 1);
    EXPECT_EQ(window.placed, (camera::PreviewRect{100, 0, 700, 450}));
    EXPECT_TRUE(window.visible);
    ASSERT_EQ(io->StartPreview(), 1);
    EXPECT_TRUE(io->running());
    ASSERT_EQ(io->CameraPlay(), 1);
    for (int i = 0; i < 30; ++i) io->ServiceGraph(40000);
    EXPECT_GE(window.frames, 20);

    io->ReleasePreviewGraph();
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(io->running());
    EXPECT_EQ(io->graph()->filterCount(), 1);  // the camera stays
    EXPECT_NE(io->graph()->findFilter("Capture"), nullptr);

    // A window that cannot be placed: its step code and the message.
    ASSERT_EQ(io->AddPreviewGraph(), 1);
    RecordingPreviewWindow bad;
    bad.failStep = 5;
    EXPECT_EQ(io->SetPreviewWindow(&bad), -5);
    EXPECT_TRUE(bench.ui.hasMessage("SetPreviewWindow()!\nCode 1: -5"));
    unit->unplug();
    io->ServiceGraph(40000);  // the lost device stops the preview
    EXPECT_FALSE(io->running());
}

TEST_F(CameraIoTest, DeleteFiltersFromGraphKeepsTheCamera) {
    LogCapture& log = bench.log;
    bench.add({.tapePath = tape});
    auto io = bench.makeIo();
    bindFirst(*io);
    ASSERT_EQ(io->AddCaptureGraph(2, true), 1);
    ASSERT_EQ(io->AddPreviewGraph(), 1);
    EXPECT_EQ(io->graph()->filterCount(), 3);  // camera, splitter, renderer
    EXPECT_EQ(io->DeleteFiltersFromGraph(io->cameraFilter(), true), 1);
    EXPECT_EQ(io->graph()->filterCount(), 2);  // the splitter was never connected
    EXPECT_TRUE(log.contains("CameraIO: DeleteFiltersFromGraph: ConnectTo: ffffff95 ENOTCONN"));
    EXPECT_EQ(io->DeleteFiltersFromGraph(nullptr, true), -1);
    io->ReleaseCaptureGraph();
    EXPECT_EQ(io->graph()->filterCount(), 1);
}

}  // namespace
}  // namespace klemora::test

namespace klemora::test {
namespace {

// The component, its filters and its buses write to the log they were
// handed, whatever the process-wide level says; the simulated camera is the
// tape the caller names, not a setting read later.
TEST(CameraLog, EveryLineGoesToTheHandedLog) {
    TempDir dir;
    std::string tape = makeTape(dir, "tape.avi", tapeOptions(40, 2));
    ::unsetenv(camera::kSimulatedCameraVariable);
    const app::DebugLog log(1, dir.path());
    ScriptedUserInterface ui;
    camera::CameraIO io(ui, camera::systemClock(), camera::systemBusFactory(camera::systemClock(), tape, log), log);
    std::vector<std::string> list;
    ASSERT_EQ(io.ListCaptureDevices(&list), 1);
    ASSERT_EQ(list.back(), "Simulated DV Camera / DV tape tape.avi");
    ASSERT_EQ(io.AddCamera(static_cast<int>(list.size()) - 1), 1);
    ASSERT_EQ(io.AddCaptureGraph(2, false), 1);
    EXPECT_EQ(io.StartCapture(nullptr, dir.file("no-such-folder/x.avi")), -4);
    // The multiplexer's own line: a disk full from the first frame on.
    io.setFreeSpaceProbe([](const std::string&) { return std::optional<int64_t>(0); });
    ASSERT_EQ(io.CameraPlay(), 1);
    EXPECT_EQ(io.StartCapture(nullptr, dir.file("take.avi")), -8);
    io.ReleaseCaptureGraph();
    std::string text = readTextFile(dir.file("klemoradbg.log"));
    for (const char* line : {"CameraIO: Constructor: Ok", "CameraIO: ListCaptureDevices: Ok", "CameraIO: AddCamera Ok",
                             "StartCapture()!\nCode 1: -4", "CameraIO: AVI Mux: disk nearly full",
                             "CameraIO: StartCapture: DXEvent-Code: "})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    // A tape that cannot be played is logged when the factory is made.
    camera::systemBusFactory(camera::systemClock(), dir.file("missing.avi"), log);
    EXPECT_NE(readTextFile(dir.file("klemoradbg.log")).find("Simulated camera: tape "), std::string::npos);
}

}  // namespace
}  // namespace klemora::test
