// GrabFrame over a PAL DV file at its own size: a sequential pass timed
// against `ffmpeg -i FILE -f null -` (decode only) on the same file in the
// same run, and random frames as the trim slider asks for them (warm page
// cache).
//
//   frame_grab_bench [--frames 1500] [--type 2] [--runs 3] [--random 300] [--keep] [--file PATH]
//
// Prints one JSON line per case: median frames per second and the ratio to
// ffmpeg, or the per-frame latency percentiles; peak RSS.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/ui.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using namespace klemora;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    size_t at = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

long peakRssKb() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// User + system seconds of this process (RUSAGE_SELF) or of its waited-for
// children (RUSAGE_CHILDREN): on a busy machine the wall clock alone says
// little, so both are reported.
double cpuSeconds(int who) {
    struct rusage usage {};
    ::getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ffmpegSeconds(const std::string& path) {
    std::string command = "ffmpeg -v error -nostdin -i '" + path + "' -f null - ";
    auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return secondsSince(start);
}

// Seconds for GrabFrame 0 .. frames-1, or -1.
double sequentialSeconds(const std::string& path, int32_t& frames) {
    app::SilentUserInterface ui;
    auto start = Clock::now();
    media::MediaInfo info;
    if (media::ProbeMedia(path, info, ui) != 1) return -1;
    std::vector<uint8_t> buffer(static_cast<size_t>(media::GetPictureBufferSize(0, 0, info)));
    frames = info.frameCount;
    for (int32_t frame = 0; frame < frames; ++frame)
        if (media::GrabFrame(info, frame, buffer, 0, 0, ui) != 1) return -1;
    return secondsSince(start);
}

// Milliseconds per GrabFrame of `count` random frames (fixed seed).
std::vector<double> randomLatencies(const std::string& path, int count) {
    app::SilentUserInterface ui;
    media::MediaInfo info;
    std::vector<double> latencies;
    if (media::ProbeMedia(path, info, ui) != 1) return latencies;
    std::vector<uint8_t> buffer(static_cast<size_t>(media::GetPictureBufferSize(0, 0, info)));
    std::mt19937 random(20060701);
    std::uniform_int_distribution<int32_t> pick(0, info.frameCount - 1);
    media::GrabFrame(info, 0, buffer, 0, 0, ui);  // opens the decoder, as the dialog's first picture does
    for (int i = 0; i < count; ++i) {
        int32_t frame = pick(random);
        auto start = Clock::now();
        if (media::GrabFrame(info, frame, buffer, 0, 0, ui) != 1) return {};
        latencies.push_back(secondsSince(start) * 1000);
    }
    return latencies;
}

bool makeFile(const std::string& path, int type, int32_t frames) {
    // Several sessions, so that the pictures are not all one.
    fixtures::DvFixtureOptions options = fixtures::hourlySessionsOptions(frames, type);
    std::string error;
    if (fixtures::writeDvAvi(path, options, nullptr, &error) == 1) return true;
    std::fprintf(stderr, "fixture: %s\n", error.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int32_t frames = 1500;
    int type = 2;
    int runs = 3;
    int randomCount = 300;
    bool keep = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--frames") frames = std::atoi(value());
        else if (arg == "--type") type = std::atoi(value());
        else if (arg == "--runs") runs = std::max(1, std::atoi(value()));
        else if (arg == "--random") randomCount = std::max(1, std::atoi(value()));
        else if (arg == "--keep") keep = true;
        else if (arg == "--file") path = value();
        else {
            std::fprintf(stderr, "usage: frame_grab_bench [--frames N] [--type 1|2] [--runs N] [--random N] [--keep] [--file PATH]\n");
            return 2;
        }
    }
    bool generated = path.empty();
    if (generated) {
        path = "/tmp/klemora_grab_bench_" + std::to_string(::getpid()) + ".avi";
        if (!makeFile(path, type, frames)) return 1;
    }
    ffmpegSeconds(path);  // warms the page cache for both

    std::vector<double> ours, reference;
    int32_t grabbed = 0;
    double ffmpegCpu = 0, ourCpu = 0;
    for (int run = 0; run < runs; ++run) {
        double before = cpuSeconds(RUSAGE_CHILDREN);
        reference.push_back(ffmpegSeconds(path));
        ffmpegCpu += cpuSeconds(RUSAGE_CHILDREN) - before;
        before = cpuSeconds(RUSAGE_SELF);
        ours.push_back(sequentialSeconds(path, grabbed));
        ourCpu += cpuSeconds(RUSAGE_SELF) - before;
    }
    std::vector<double> latencies = randomLatencies(path, randomCount);
    if (generated && !keep) std::remove(path.c_str());
    if (grabbed <= 0 || latencies.empty() || *std::min_element(ours.begin(), ours.end()) < 0 ||
        *std::min_element(reference.begin(), reference.end()) < 0) {
        std::fprintf(stderr, "frame_grab_bench: a run failed\n");
        return 1;
    }
    double ourRate = grabbed / median(ours);
    double ffmpegRate = grabbed / median(reference);
    std::string typeText = generated ? std::to_string(type) : "\"file\"";
    double perFrame = 1000.0 / (static_cast<double>(grabbed) * runs);
    std::printf("{\"case\":\"sequential_grab\",\"dvType\":%s,\"frames\":%d,\"runs\":%d,\"grabFps\":%.1f,"
                "\"ffmpegNullFps\":%.1f,\"ratio\":%.3f,\"grabCpuMsPerFrame\":%.3f,\"ffmpegCpuMsPerFrame\":%.3f,"
                "\"peakRssKb\":%ld}\n",
                typeText.c_str(), grabbed, runs, ourRate, ffmpegRate, ourRate / ffmpegRate, ourCpu * perFrame,
                ffmpegCpu * perFrame, peakRssKb());
    std::printf("{\"case\":\"random_grab\",\"dvType\":%s,\"frames\":%d,\"samples\":%zu,\"p50Ms\":%.2f,"
                "\"p95Ms\":%.2f,\"maxMs\":%.2f,\"peakRssKb\":%ld}\n",
                typeText.c_str(), grabbed, latencies.size(), percentile(latencies, 0.5), percentile(latencies, 0.95),
                *std::max_element(latencies.begin(), latencies.end()), peakRssKb());
    return 0;
}
