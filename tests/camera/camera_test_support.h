#pragma once
// A camera bench for the tests: simulated units on a virtual clock, tapes
// from the fixture generator, a preview window that records what it got,
// the debug log, and ffmpeg's per-frame checksums as the independent check.
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <span>
#include <string>
#include <vector>

#include "camera/camera_clock.h"
#include "camera/camera_io.h"
#include "camera/capture_stop.h"
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

// Virtual time for captures. The test's own thread drives it: its sleeps
// move time on at once. Any other thread (the capture thread) gets no
// further than the test has let it with release(), so a capture delivers
// the frames of the time released and no more, however fast the machine.
// A sleeper held at the limit returns after a moment of wall time, so a
// thread asked to stop is never kept waiting.
class LockstepClock : public camera::Clock {
public:
    explicit LockstepClock(int64_t start) : m_now(start), m_limit(start) {}
    int64_t nowMicroseconds() const override;
    void sleepMicroseconds(int64_t duration) override;
    // Lets the other threads' time run on by `duration` past now.
    void release(int64_t duration);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    int64_t m_now;
    int64_t m_limit;
    const std::thread::id m_driver = std::this_thread::get_id();
};

// Time a test releases per wait of the capture loop: five PAL frames.
inline constexpr int64_t kReleasePerWait = 200000;

// The debug log of a test: level 1 into a temporary folder.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::string text() const;
    bool contains(const std::string& line) const { return text().find(line) != std::string::npos; }
    // What the camera code is handed.
    app::DebugLog object() const { return app::DebugLog(1, m_dir.path()); }

private:
    TempDir m_dir;
};

struct CameraBench {
    LogCapture log;  // first: the component logs from its construction on
    LockstepClock clock{1000000};
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
        return std::make_unique<camera::CameraIO>(ui, clock, factory(), log.object());
    }
};

// Lists the devices and binds the first; fails the test otherwise.
void bindFirst(camera::CameraIO& io);

// When a capture has what a test wants: `frames` frames saved, or no new
// frame for a second of the caller's waits (the tape stopped or ended). The
// capture thread runs the virtual clock on its own, so a count of waits
// says nothing about the frames.
class FramesSaved {
public:
    explicit FramesSaved(int64_t frames) : m_frames(frames) {}
    bool reached(camera::CameraIO& io);

private:
    int64_t m_frames;
    int64_t m_last = -1;
    int m_stalledWaits = 0;
};

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

bool haveFfmpeg();
// ffmpeg -f framemd5 of one stream ("v" or "a"): the checksum of each packet.
std::vector<std::string> packetChecksums(const std::string& file, const std::string& stream);
// The whole audio as 16-bit little-endian PCM, through ffmpeg.
std::vector<uint8_t> decodedAudio(const std::string& file);

}  // namespace klemora::test
