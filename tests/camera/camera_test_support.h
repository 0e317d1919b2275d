#pragma once
// A camera bench for the tests: simulated units on a virtual clock, tapes
// from the fixture generator, a preview window that records what it got,
// the debug log, and ffmpeg's per-frame checksums as the independent check.
#include <cerrno>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "camera/camera_clock.h"
#include "camera/camera_io.h"
#include "camera/simulated_camera.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {

// Writes a DV AVI tape; fails the test when the generator does.
std::string makeTape(const TempDir& dir, const std::string& name, const fixtures::DvFixtureOptions& options);
// A PAL type-1 tape of `frames` frames starting at timecode `start`.
fixtures::DvFixtureOptions tapeOptions(int frames, int type = 1, bool ntsc = false,
                                       scene::Timecode start = {0, 0, 0, 0});

struct CameraBench {
    camera::ManualClock clock{1000000};
    ScriptedUserInterface ui;
    std::shared_ptr<camera::SimulatedCameraSet> units = std::make_shared<camera::SimulatedCameraSet>();

    std::shared_ptr<camera::SimulatedCamera> add(camera::SimulatedCameraSpec spec) {
        return units->add(clock, std::move(spec));
    }
    camera::BusFactory factory() {
        auto set = units;
        return [set](camera::BusList& buses) {
            buses.push_back(camera::makeSimulatedBus(set));
            return 0;
        };
    }
    std::unique_ptr<camera::CameraIO> makeIo() {
        return std::make_unique<camera::CameraIO>(ui, clock, factory());
    }
};

// Lists the devices and binds the first; fails the test otherwise.
void bindFirst(camera::CameraIO& io);

class RecordingPreviewWindow : public camera::PreviewWindow {
public:
    int width = 800, height = 450;
    int failStep = 0;  // 3 embed, 5 place, 6 show, 7 raise
    camera::PreviewRect placed;
    bool visible = false;
    int frames = 0;

    int clientSize(int& w, int& h) override {
        w = width;
        h = height;
        return 0;
    }
    int embedVideo() override { return failStep == 3 ? -EPERM : 0; }
    int placeVideo(const camera::PreviewRect& rect) override {
        if (failStep == 5) return -EINVAL;
        placed = rect;
        return 0;
    }
    int showVideo(bool on) override {
        if (failStep == 6) return -EIO;
        visible = on;
        return 0;
    }
    int raiseVideo() override { return failStep == 7 ? -EIO : 0; }
    void showFrame(std::span<const uint8_t>, bool) override { ++frames; }
};

// The debug log of a test: level 1 into a temporary folder.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::string text() const;
    bool contains(const std::string& line) const { return text().find(line) != std::string::npos; }

private:
    TempDir m_dir;
};

bool haveFfmpeg();
// ffmpeg -f framemd5 of one stream ("v" or "a"): the checksum of each packet.
std::vector<std::string> packetChecksums(const std::string& file, const std::string& stream);
// The whole audio as 16-bit little-endian PCM, through ffmpeg.
std::vector<uint8_t> decodedAudio(const std::string& file);

}  // namespace klemora::test
