// DV scene detection over a big generated DV AVI, timed against the reader's
// own full pass over the same file in the same run (every frame read on
// demand, its recording date/time and timecode decoded), warm page cache,
// trace off. A run over the first quarter of the file shows whether memory
// grows with the length. The timecode detection (recording-start marks and
// timecode, both signals) reads the same packs plus the AAUX control pack and
// is timed against the date detection as well; the load average is printed
// before and after.
//
//   dv_detect_bench [--gb 2.1] [--runs 5] [--scene-seconds 20] [--keep] [--file PATH]
//
// With --file and an existing file, that file is used as it is. Prints one
// JSON line per case: median seconds, ratio to the reader pass, peak RSS.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/ui.h"
#include "avi/avi_reader.h"
#include "bench/child_timing.h"
#include "avi/dv_pack.h"
#include "detect/dv_scene_detection.h"
#include "detect/timecode_scene_detection.h"
#include "scene/scene_list.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using namespace klemora;
using bench::inChild;
using bench::largest;
using bench::Measurement;
using bench::median;

int readerPass(const std::string& path) {
    avi::AviReader reader;
    if (reader.Open(path, "r") != 1) return 2;
    scene::RecordingTime time = scene::kNoRecordingTime;
    scene::Timecode timecode{};
    uint64_t checksum = 0;
    for (int32_t frame = 0; frame < reader.GetFrameCount(); ++frame) {
        if (reader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand) != 1) return 3;
        avi::ReadDvDateTime(reader, time);
        avi::ReadDvTimecode(reader, timecode);
        checksum += static_cast<uint64_t>(time.seconds + timecode.frames);
    }
    return checksum == 0 ? 4 : 0;
}

// Exit code 0 when the scenes found are the sessions written.
int detection(const std::string& path, int32_t lastFrame, int expectedScenes) {
    app::SilentUserInterface ui;
    scene::SceneList scenes;
    detect::DvDetectionSettings settings{1, 0};
    detect::DvDetectionResult result = detect::FindPerDvDatestamp({{path, 0, lastFrame}}, scenes, ui, settings);
    if (result.status != 1) return 5;
    return expectedScenes < 0 || scenes.count() == expectedScenes ? 0 : 6;
}

int timecodeDetection(const std::string& path, int32_t lastFrame, int expectedScenes) {
    app::SilentUserInterface ui;
    scene::SceneList scenes;
    detect::TimecodeDetectionSettings settings;
    settings.trimCount = 0;
    detect::DvDetectionResult result = detect::FindPerDvTimecode({{path, 0, lastFrame}}, scenes, ui, settings);
    if (result.status != 1) return 5;
    return expectedScenes < 0 || scenes.count() == expectedScenes ? 0 : 6;
}

struct Case {
    const char* name;
    std::vector<double> seconds;
    std::vector<long> rss;
    void add(const Measurement& s) {
        seconds.push_back(s.seconds);
        rss.push_back(s.peakRssKb);
    }
};

// Recordings of `sceneSeconds` each, a minute apart, until the file has its size.
fixtures::DvFixtureOptions recordingOptions(double gigabytes, int sceneSeconds, int& sessions) {
    fixtures::DvFixtureOptions options;
    options.type = 2;
    options.openDml = fixtures::OpenDmlLayout::Segments;
    // The timecode runs on across the sessions; the marks tell them to the timecode detection.
    options.recordingStartMarks = true;
    const double bytesPerFrame = 144000 + 8 + 7680 + 16;
    int32_t left = static_cast<int32_t>(gigabytes * (1ull << 30) / bytesPerFrame) + 1;
    scene::RecordingTime start = fixtures::defaultSessionStart();
    for (sessions = 0; left > 0; ++sessions) {
        fixtures::DvSession session;
        session.start = start;
        session.start.minutes = sessions % 60;
        session.start.hours = 8 + sessions / 60;
        session.frames = std::min(left, sceneSeconds * 25);
        left -= session.frames;
        options.sessions.push_back(session);
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    double gigabytes = 2.1;
    int runs = 5;
    int sceneSeconds = 20;
    bool keep = false;
    std::string path = "/tmp/klemora-detect-bench-" + std::to_string(::getpid()) + ".avi";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--gb" && i + 1 < argc) gigabytes = std::atof(argv[++i]);
        else if (arg == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--scene-seconds" && i + 1 < argc) sceneSeconds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--keep") keep = true;
        else if (arg == "--file" && i + 1 < argc) path = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--gb N] [--runs N] [--scene-seconds N] [--keep] [--file PATH]\n", argv[0]);
            return 2;
        }
    }
    // The detection converts to local time: the same zone on every machine.
    ::setenv("TZ", "UTC", 1);

    int expectedScenes = -1;
    bool generated = !app::fileExists(path);
    if (generated) {
        int sessions = 0;
        fixtures::DvFixtureOptions options = recordingOptions(gigabytes, sceneSeconds, sessions);
        auto started = std::chrono::steady_clock::now();
        fixtures::DvFixtureInfo info;
        std::string error;
        if (fixtures::writeDvAvi(path, options, &info, &error) != 1) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
            ::unlink(path.c_str());
            return 1;
        }
        expectedScenes = sessions;
        std::printf("{\"case\":\"generate\",\"file\":\"%s\",\"bytes\":%lld,\"frames\":%d,\"scenes\":%d,\"seconds\":%.3f}\n",
                    path.c_str(), static_cast<long long>(info.fileSize), info.frameCount, sessions,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
    int32_t frames = 0;
    {
        avi::AviReader reader;
        if (reader.Open(path, "r") != 1) {
            std::fprintf(stderr, "cannot open %s\n", path.c_str());
            return 1;
        }
        frames = reader.GetFrameCount();
    }

    inChild([&] { return readerPass(path); });  // warm the page cache
    std::printf("{\"case\":\"load\",\"before\":\"%s\"}\n", bench::loadAverage().c_str());
    Case reader{"readerPass"}, detect{"detection"}, quarter{"detectionFirstQuarter"}, timecode{"timecodeDetection"};
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        Measurement r = inChild([&] { return readerPass(path); });
        Measurement d = inChild([&] { return detection(path, frames - 1, expectedScenes); });
        Measurement q = inChild([&] { return detection(path, frames / 4, -1); });
        Measurement t = inChild([&] { return timecodeDetection(path, frames - 1, expectedScenes); });
        failures += (r.exitCode != 0) + (d.exitCode != 0) + (q.exitCode != 0) + (t.exitCode != 0);
        reader.add(r);
        detect.add(d);
        quarter.add(q);
        timecode.add(t);
    }
    const double base = median(reader.seconds);
    for (const Case* c : {&reader, &detect, &quarter, &timecode}) {
        std::printf("{\"case\":\"%s\",\"cache\":\"warm\",\"frames\":%d,\"runs\":%d,\"medianSeconds\":%.3f,"
                    "\"ratioToReaderPass\":%.3f,\"ratioToDetection\":%.3f,\"peakRssKb\":%ld}\n",
                    c->name, c == &quarter ? frames / 4 + 1 : frames, runs, median(c->seconds),
                    median(c->seconds) / base, median(c->seconds) / median(detect.seconds), largest(c->rss));
    }
    std::printf("{\"case\":\"load\",\"after\":\"%s\"}\n", bench::loadAverage().c_str());
    if (generated && !keep) ::unlink(path.c_str());
    if (failures) std::fprintf(stderr, "%d runs failed\n", failures);
    return failures ? 1 : 0;
}
