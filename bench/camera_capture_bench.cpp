// Captures a generated DV tape from the simulated camera as fast as the
// capture path goes (virtual clock: no waiting for the tape), DV type 1 and
// type 2, and times `cp` of the tape in the same run. The figure that
// matters is the real-time factor: seconds of video captured per second of
// work; below 1 a real camera would lose frames. One JSON line per run and
// type, one with the medians; the files are deleted afterwards. Then, in
// real time, how long a capture takes to end after a Stop from another
// thread (the file made complete included).
//
//   camera_capture_bench [--seconds N] [--dir DIR] [--runs N]
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ui.h"
#include "avi/avi_reader.h"
#include "camera/camera_clock.h"
#include "camera/camera_io.h"
#include "camera/capture_stop.h"
#include "camera/simulated_camera.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using namespace klemora;
using WallClock = std::chrono::steady_clock;

double secondsSince(WallClock::time_point start) {
    return std::chrono::duration<double>(WallClock::now() - start).count();
}

long peakRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The simulated camera playing `tape` on `clock`, ready to capture DV type
// `dvType`; nullptr when a step fails.
std::unique_ptr<camera::CameraIO> playingCamera(app::UserInterface& ui, camera::Clock& clock, const std::string& tape,
                                                int dvType) {
    auto units = std::make_shared<camera::SimulatedCameraSet>();
    units->add(clock, {.tapePath = tape});
    auto io = std::make_unique<camera::CameraIO>(ui, clock, [units](camera::BusList& buses) {
        buses.push_back(camera::makeSimulatedBus(units));
        return 0;
    });
    std::vector<std::string> list;
    if (io->ListCaptureDevices(&list) != 1 || io->AddCamera(0) != 1 || io->CameraPlay() != 1) return nullptr;
    if (io->AddCaptureGraph(dvType, false) != 1) return nullptr;
    return io;
}

// Seconds of wall time to capture the whole tape; -1 on failure.
double captureTape(const std::string& tape, const std::string& out, int dvType, int32_t frames) {
    app::SilentUserInterface ui;
    camera::CaptureStop stop;
    camera::ManualClock clock;
    std::unique_ptr<camera::CameraIO> camera = playingCamera(ui, clock, tape, dvType);
    if (!camera) return -1;
    camera::CameraIO& io = *camera;
    io.onCaptureWait = [&](camera::CameraIO& camera) {
        int64_t saved = 0;
        camera.GetDroppedFramesInfo(nullptr, &saved);
        if (saved >= frames) stop.finish(ui);
    };
    auto start = WallClock::now();
    int rc = io.StartCapture(nullptr, out, &stop);
    double seconds = secondsSince(start);
    io.ReleaseCaptureGraph();
    avi::AviReader check;  // the whole tape must be in the file
    if (rc != 1 || check.Open(out, "r") != 1 || check.GetFrameCount() != frames) return -1;
    return seconds;
}

// Milliseconds from a Stop given by another thread one second into a
// real-time capture until StartCapture returns; -1 on failure.
double stopLatencyMs(const std::string& tape, const std::string& out, int dvType) {
    app::SilentUserInterface ui;
    camera::CaptureStop stop;
    std::unique_ptr<camera::CameraIO> camera = playingCamera(ui, camera::systemClock(), tape, dvType);
    if (!camera) return -1;
    camera::CameraIO& io = *camera;
    WallClock::time_point pressed;
    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        pressed = WallClock::now();
        stop.finish(ui);
    });
    int rc = io.StartCapture(nullptr, out, &stop);
    auto returned = WallClock::now();
    user.join();
    io.ReleaseCaptureGraph();
    if (rc != 1) return -1;
    return std::chrono::duration<double, std::milli>(returned - pressed).count();
}

}  // namespace

int main(int argc, char** argv) {
    int videoSeconds = 120;
    std::string dir = "/tmp";
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds")) videoSeconds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--dir")) dir = argv[i + 1];
        else if (!std::strcmp(argv[i], "--runs")) runs = std::atoi(argv[i + 1]);
    }
    const std::string stem = dir + "/klemora_camera_bench_" + std::to_string(::getpid());
    const std::string tape = stem + "_tape.avi", out = stem + "_out.avi", copy = stem + "_copy.avi";
    fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions.push_back({fixtures::defaultSessionStart(), videoSeconds * 25, scene::Timecode{}});
    options.openDml = fixtures::OpenDmlLayout::Segments;
    std::string error;
    if (fixtures::writeDvAvi(tape, options, nullptr, &error) != 1) {
        std::fprintf(stderr, "camera_capture_bench: %s\n", error.c_str());
        return 1;
    }
    const int32_t frames = videoSeconds * 25;
    std::vector<double> cpTimes, times[3];
    for (int run = 0; run < runs; ++run) {
        std::system(("sync; cat '" + tape + "' > /dev/null").c_str());  // warm cache for both
        auto start = WallClock::now();
        std::system(("cp '" + tape + "' '" + copy + "'").c_str());
        cpTimes.push_back(secondsSince(start));
        ::unlink(copy.c_str());
        for (int type : {1, 2}) {
            double seconds = captureTape(tape, out, type, frames);
            ::unlink(out.c_str());
            if (seconds < 0) {
                std::fprintf(stderr, "camera_capture_bench: capture type %d failed\n", type);
                ::unlink(tape.c_str());
                return 1;
            }
            times[type].push_back(seconds);
            std::printf("{\"run\":%d,\"type\":%d,\"video_s\":%d,\"capture_s\":%.3f,\"cp_s\":%.3f,"
                        "\"realtime_factor\":%.1f,\"ratio_to_cp\":%.2f,\"peak_rss_kb\":%ld}\n",
                        run, type, videoSeconds, seconds, cpTimes.back(), videoSeconds / seconds,
                        seconds / cpTimes.back(), peakRssKilobytes());
        }
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("{\"median\":true,\"video_s\":%d,\"cp_s\":%.3f,\"type1_s\":%.3f,\"type2_s\":%.3f,"
                "\"type1_realtime_factor\":%.1f,\"type2_realtime_factor\":%.1f,\"peak_rss_kb\":%ld}\n",
                videoSeconds, median(cpTimes), median(times[1]), median(times[2]), videoSeconds / median(times[1]),
                videoSeconds / median(times[2]), peakRssKilobytes());
    std::vector<double> latencies;
    for (int run = 0; run < runs; ++run) {
        for (int type : {1, 2}) {
            latencies.push_back(stopLatencyMs(tape, out, type));
            ::unlink(out.c_str());
        }
    }
    std::printf("{\"stop_from_another_thread\":true,\"captures\":%zu,\"median_ms\":%.1f,\"max_ms\":%.1f}\n",
                latencies.size(), median(latencies), *std::max_element(latencies.begin(), latencies.end()));
    ::unlink(tape.c_str());
    return 0;
}
