// Full pass over a big DV AVI reading recording date/time and timecode of
// every frame, as DV scene detection does, timed against `cat FILE >
// /dev/null` on the same file in the same run (warm page cache).
//
//   dv_pack_scan_bench [--gb 2.1] [--runs 3] [--keep] [--file PATH]
//
// Prints one JSON line per case: median seconds, ratio to cat, peak RSS.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "avi/avi_reader.h"
#include "bench/child_timing.h"
#include "avi/dv_pack.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using namespace klemora;
using bench::inChild;
using bench::largest;
using bench::Measurement;
using bench::median;

int catFile(const std::string& path) {
    std::string command = "cat '" + path + "' > /dev/null";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}

int scanFile(const std::string& path, avi::FrameLoad load, int32_t* framesSeen) {
    avi::AviReader reader;
    if (reader.Open(path, "r") != 1) return 2;
    scene::RecordingTime time = scene::kNoRecordingTime;
    scene::Timecode timecode{};
    uint64_t checksum = 0;
    int32_t frames = reader.GetFrameCount();
    for (int32_t frame = 0; frame < frames; ++frame) {
        if (reader.ReadRawPictureData(frame, load) != 1) return 3;
        avi::ReadDvDateTime(reader, time);
        avi::ReadDvTimecode(reader, timecode);
        checksum += static_cast<uint64_t>(time.seconds + time.minutes * 60 + timecode.frames);
    }
    if (framesSeen) *framesSeen = frames;
    return checksum == 0 ? 4 : 0;
}


}  // namespace

int main(int argc, char** argv) {
    double gigabytes = 2.1;
    int runs = 3;
    bool keep = false;
    std::string path = "/tmp/klemora-bench-" + std::to_string(::getpid()) + ".avi";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--gb" && i + 1 < argc) gigabytes = std::atof(argv[++i]);
        else if (arg == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--keep") keep = true;
        else if (arg == "--file" && i + 1 < argc) path = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--gb N] [--runs N] [--keep] [--file PATH]\n", argv[0]);
            return 2;
        }
    }

    fixtures::DvFixtureOptions options;
    options.type = 2;
    options.openDml = fixtures::OpenDmlLayout::Segments;
    const double bytesPerFrame = 144000 + 7680 + 16;
    const int32_t frames = static_cast<int32_t>(gigabytes * (1ull << 30) / bytesPerFrame) + 1;
    // Sessions of 10 minutes with a new date each, so every frame's packs change.
    for (int32_t left = frames, n = 0; left > 0; ++n) {
        fixtures::DvSession session;
        session.start = fixtures::defaultSessionStart();
        session.start.hours = 8 + n % 12;
        session.start.dayOfMonth = 1 + n % 28;
        session.frames = std::min(left, 15000);
        left -= session.frames;
        options.sessions.push_back(session);
    }
    auto generated = std::chrono::steady_clock::now();
    fixtures::DvFixtureInfo info;
    std::string error;
    if (fixtures::writeDvAvi(path, options, &info, &error) != 1) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        ::unlink(path.c_str());
        return 1;
    }
    double generateSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - generated).count();
    std::printf("{\"case\":\"generate\",\"file\":\"%s\",\"bytes\":%lld,\"frames\":%d,\"riffSegments\":%d,\"seconds\":%.3f}\n",
                path.c_str(), static_cast<long long>(info.fileSize), info.frameCount, info.riffSegments,
                generateSeconds);

    catFile(path);  // warm the page cache
    std::vector<double> catTimes, onDemandTimes, wholeTimes;
    std::vector<long> catRss, onDemandRss, wholeRss;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        Measurement c = inChild([&] { return catFile(path); });
        Measurement d = inChild([&] { return scanFile(path, avi::FrameLoad::OnDemand, nullptr); });
        Measurement w = inChild([&] { return scanFile(path, avi::FrameLoad::Whole, nullptr); });
        failures += (c.exitCode != 0) + (d.exitCode != 0) + (w.exitCode != 0);
        catTimes.push_back(c.seconds);
        onDemandTimes.push_back(d.seconds);
        wholeTimes.push_back(w.seconds);
        catRss.push_back(c.peakRssKb);
        onDemandRss.push_back(d.peakRssKb);
        wholeRss.push_back(w.peakRssKb);
    }
    const double cat = median(catTimes);
    std::printf("{\"case\":\"cat\",\"cache\":\"warm\",\"runs\":%d,\"medianSeconds\":%.3f,\"peakRssKb\":%ld}\n", runs, cat,
                largest(catRss));
    std::printf("{\"case\":\"packScanOnDemand\",\"cache\":\"warm\",\"runs\":%d,\"medianSeconds\":%.3f,\"ratioToCat\":%.3f,"
                "\"peakRssKb\":%ld}\n",
                runs, median(onDemandTimes), median(onDemandTimes) / cat, largest(onDemandRss));
    std::printf("{\"case\":\"packScanWholeFrames\",\"cache\":\"warm\",\"runs\":%d,\"medianSeconds\":%.3f,"
                "\"ratioToCat\":%.3f,\"peakRssKb\":%ld}\n",
                runs, median(wholeTimes), median(wholeTimes) / cat, largest(wholeRss));
    if (!keep) ::unlink(path.c_str());
    if (failures) std::fprintf(stderr, "%d runs failed\n", failures);
    return failures ? 1 : 0;
}
