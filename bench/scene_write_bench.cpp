// Writes one scene of about 1 GB out of a generated 2 GB DV type-2 source
// (OpenDML, RIFF 'AVIX' segments) with WriteScene, and in the same run the
// same frames with `ffmpeg -ss START -i SRC -frames:v N -c copy` and a `cp`
// of a 1 GB file, each followed by a sync of its output. Each write runs in
// a child process, so its peak resident memory is its own. Then a speed copy
// of the whole source past 4 GB is written and read to its last frame by
// `ffprobe -count_frames`. Warm cache (the source is read once first);
// medians of --runs runs; one JSON line per case. Files go to --dir and are
// deleted afterwards.
//
// With --no-sync nobody syncs: the writers are compared on the page cache.
// With --plain our writes read every chunk and write it out themselves
// instead of letting the kernel copy it from file to file.
//
//   scene_write_bench [--source-bytes N] [--scene-bytes N] [--dir DIR] [--runs N] [--no-large] [--no-sync] [--plain]
//   scene_write_bench --child SRC DST FIRST LAST SPEED SYNC   (one write; SYNC sync|nosync[-plain]; used by the above)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/ui.h"
#include "output/scene_writer.h"
#include "output/write_context.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/shell_command.h"

extern char** environ;

namespace {

using namespace klemora;
using Clock = std::chrono::steady_clock;

constexpr int64_t kBytesPerFrame = 144000 + 7680 + 16;  // DV frame, its PCM, two chunk headers

struct Options {
    int64_t sourceBytes = 2'000'000'000;
    int64_t sceneBytes = 1'000'000'000;
    std::string dir = "/tmp";
    int runs = 3;
    bool large = true;
    bool sync = true;
    bool plain = false;
};

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }
std::string quote(const std::string& text) { return "'" + text + "'"; }

std::string runOutput(const std::string& command) { return test::runShell(command).output; }

struct Run {
    int rc = -1;
    double seconds = 0;
    long peakRssKib = 0;
};

// Runs argv as a child and measures its wall time and peak memory.
Run runChild(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Run run;
    auto start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return run;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) < 0) return run;
    run.seconds = secondsSince(start);
    run.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakRssKib = usage.ru_maxrss;
    return run;
}

Run runShell(const std::string& command) { return runChild({"/bin/sh", "-c", command}); }

long long countPackets(const std::string& path) {
    std::string out = runOutput("ffprobe -v error -count_packets -select_streams v:0 -show_entries "
                                "stream=nb_read_packets -of csv=p=0 " + quote(path));
    return out.empty() ? -1 : std::atoll(out.c_str());
}

long long countFrames(const std::string& path) {
    std::string out = runOutput("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                "stream=nb_read_frames -of csv=p=0 " + quote(path));
    return out.empty() ? -1 : std::atoll(out.c_str());
}

int64_t fileSize(const std::string& path) {
    std::string out = runOutput("stat -c %s " + quote(path) + " 2>/dev/null");
    return out.empty() ? -1 : std::atoll(out.c_str());
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int childWrite(char** argv) {
    app::SilentUserInterface ui;
    output::WriteContext context(ui);
    context.pollFrames = 64;
    const std::string sync = argv[5];
    context.writerOptions.syncOnFinish = sync.rfind("sync", 0) == 0;
    context.writerOptions.copyFromSource = sync.find("-plain") == std::string::npos;
    int rc = output::WriteScene(argv[0], argv[1], context, std::atoi(argv[2]), std::atoi(argv[3]),
                                static_cast<float>(std::atof(argv[4])));
    return rc == 1 ? 0 : 1;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--source-bytes" && hasValue) options.sourceBytes = std::atoll(argv[++i]);
        else if (arg == "--scene-bytes" && hasValue) options.sceneBytes = std::atoll(argv[++i]);
        else if (arg == "--dir" && hasValue) options.dir = argv[++i];
        else if (arg == "--runs" && hasValue) options.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--no-large") options.large = false;
        else if (arg == "--no-sync") options.sync = false;
        else if (arg == "--plain") options.plain = true;
        else return false;
    }
    return options.sourceBytes > options.sceneBytes && options.sceneBytes > 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 8 && std::string(argv[1]) == "--child") return childWrite(argv + 2);
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: scene_write_bench [--source-bytes N] [--scene-bytes N] [--dir DIR] [--runs N] "
                             "[--no-large] [--no-sync] [--plain]\n");
        return 2;
    }
    std::string exe = runOutput("readlink -f /proc/" + std::to_string(::getpid()) + "/exe");
    exe.erase(exe.find_last_not_of('\n') + 1);
    std::string stem = options.dir + "/klemora_scene_bench_" + std::to_string(::getpid());
    std::string source = stem + "_source.avi", ours = stem + "_scene.avi", theirs = stem + "_ffmpeg.avi",
                copy = stem + "_cp.avi", large = stem + "_large.avi";

    fixtures::DvFixtureOptions fixture;
    fixture.type = 2;
    fixture.openDml = fixtures::OpenDmlLayout::Segments;
    int32_t sourceFrames = static_cast<int32_t>(options.sourceBytes / kBytesPerFrame);
    fixture.sessions = {{fixtures::defaultSessionStart(), sourceFrames, std::nullopt}};
    auto generated = Clock::now();
    std::string error;
    if (fixtures::writeDvAvi(source, fixture, nullptr, &error) != 1) {
        std::fprintf(stderr, "source not generated: %s\n", error.c_str());
        return 1;
    }
    std::printf("{\"case\":\"source\",\"frames\":%d,\"bytes\":%lld,\"generate_s\":%.1f}\n", sourceFrames,
                static_cast<long long>(fileSize(source)), secondsSince(generated));
    runShell("cat " + quote(source) + " > /dev/null");  // warm cache for every contender

    int32_t sceneFrames = static_cast<int32_t>(options.sceneBytes / kBytesPerFrame);
    int32_t first = (sourceFrames - sceneFrames) / 2, last = first + sceneFrames - 1;
    char startSeconds[32];
    std::snprintf(startSeconds, sizeof startSeconds, "%.3f", first / 25.0);
    const std::string syncArg = std::string(options.sync ? "sync" : "nosync") + (options.plain ? "-plain" : "");
    auto synced = [&](const std::string& path) { return options.sync ? " && sync " + quote(path) : std::string(); };
    std::vector<double> oursTimes, ffmpegTimes, cpTimes;
    long peak = 0;
    bool framesRight = true;
    for (int run = 0; run < options.runs; ++run) {
        Run w = runChild({exe, "--child", source, ours, std::to_string(first), std::to_string(last), "1", syncArg});
        int64_t sceneSize = fileSize(ours);
        long long packets = run == 0 ? countPackets(ours) : sceneFrames;
        framesRight = framesRight && w.rc == 0 && packets == sceneFrames;
        Run f = runShell("ffmpeg -v error -y -ss " + std::string(startSeconds) + " -i " + quote(source) +
                         " -frames:v " + std::to_string(sceneFrames) + " -c copy " + quote(theirs) + synced(theirs));
        Run c = runShell("cp " + quote(ours) + " " + quote(copy) + synced(copy));
        ::unlink(ours.c_str());
        ::unlink(theirs.c_str());
        ::unlink(copy.c_str());
        oursTimes.push_back(w.seconds);
        ffmpegTimes.push_back(f.seconds);
        cpTimes.push_back(c.seconds);
        peak = std::max(peak, w.peakRssKib);
        std::printf("{\"case\":\"scene_write\",\"run\":%d,\"frames\":%d,\"bytes\":%lld,\"write_s\":%.3f,"
                    "\"ffmpeg_s\":%.3f,\"cp_s\":%.3f,\"ratio_to_ffmpeg\":%.3f,\"ratio_to_cp\":%.3f,"
                    "\"packets\":%lld,\"peak_rss_kib\":%ld,\"ffmpeg_rc\":%d}\n",
                    run, sceneFrames, static_cast<long long>(sceneSize), w.seconds, f.seconds, c.seconds,
                    w.seconds / f.seconds, w.seconds / c.seconds, packets, w.peakRssKib, f.rc);
        std::fflush(stdout);
    }
    double write = median(oursTimes), ffmpeg = median(ffmpegTimes), cp = median(cpTimes);
    std::printf("{\"case\":\"scene_write_median\",\"synced\":%s,\"runs\":%d,\"write_s\":%.3f,\"ffmpeg_s\":%.3f,\"cp_s\":%.3f,"
                "\"ratio_to_ffmpeg\":%.3f,\"ratio_to_cp\":%.3f,\"peak_rss_kib\":%ld,\"frames_right\":%s}\n",
                options.sync ? "true" : "false", options.runs, write, ffmpeg, cp, write / ffmpeg, write / cp, peak, framesRight ? "true" : "false");
    std::fflush(stdout);

    bool largeRead = true;
    if (options.large) {
        // Slow motion of the whole source: every frame shown 2.5 times, past 4 GB.
        Run w = runChild({exe, "--child", source, large, "-1", "-1", "0.4", syncArg});
        long long expected = static_cast<long long>(sourceFrames / 0.4 + 1e-9);
        auto probing = Clock::now();
        long long read = w.rc == 0 ? countFrames(large) : -1;
        largeRead = read == expected;
        std::printf("{\"case\":\"large_speed_copy\",\"bytes\":%lld,\"frames\":%lld,\"write_s\":%.1f,"
                    "\"ffprobe_frames\":%lld,\"ffprobe_s\":%.1f,\"peak_rss_kib\":%ld}\n",
                    static_cast<long long>(fileSize(large)), expected, w.seconds, read, secondsSince(probing),
                    w.peakRssKib);
        peak = std::max(peak, w.peakRssKib);
        ::unlink(large.c_str());
    }
    ::unlink(source.c_str());
    bool ok = framesRight && largeRead && peak < 64 * 1024 && write <= ffmpeg && write <= 1.5 * cp;
    return ok ? 0 : 1;
}
