// Writes a large DV type-2 AVI (OpenDML, RIFF 'AVIX' segments) from frames
// held in memory, times it against `cp` of a file of the same size in the
// same run, checks with `ffprobe -count_frames` that the file reads to its
// last frame and reports the peak resident memory. One JSON line per run and
// one with the medians; the files are deleted afterwards.
//
//   avi_writer_bench [--bytes N] [--dir DIR] [--runs N] [--no-probe]
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "avi/avi_stream_layout.h"
#include "avi/avi_writer.h"
#include "tests/support/shell_command.h"

namespace {

using namespace klemora;
using Clock = std::chrono::steady_clock;

struct Options {
    int64_t bytes = 4'600'000'000;
    std::string dir = "/tmp";
    int runs = 3;
    bool probe = true;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string quote(const std::string& text) { return "'" + text + "'"; }

bool haveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string runOutput(const std::string& command) { return test::runShell(command).output; }

// 25 frames of a test picture with sound from the ffmpeg encoder; patterned
// frames when ffmpeg is missing (then nothing can probe the file either).
std::vector<std::vector<uint8_t>> makeFrames(const std::string& dir, bool& real) {
    std::string dv = dir + "/klemora_bench_frames_" + std::to_string(::getpid()) + ".dv";
    real = haveTool("ffmpeg") &&
           std::system(("ffmpeg -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i "
                        "sine=sample_rate=48000 -ac 2 -c:a pcm_s16le -t 1 -c:v dvvideo -pix_fmt yuv420p -f dv " +
                        quote(dv))
                           .c_str()) == 0;
    std::vector<std::vector<uint8_t>> frames;
    auto bytes = real ? app::readWholeFile(dv) : std::nullopt;
    ::unlink(dv.c_str());
    for (size_t at = 0; bytes && at + avi::kDvFrameSizePal <= bytes->size(); at += avi::kDvFrameSizePal)
        frames.emplace_back(bytes->begin() + static_cast<std::ptrdiff_t>(at),
                            bytes->begin() + static_cast<std::ptrdiff_t>(at + avi::kDvFrameSizePal));
    if (frames.empty()) {
        real = false;
        for (int i = 0; i < 25; ++i) frames.emplace_back(avi::kDvFrameSizePal, static_cast<uint8_t>(i * 7 + 1));
    }
    return frames;
}

struct WriteFigures {
    int rc = 0;
    double seconds = 0;
    int64_t bytes = 0;
    int64_t frames = 0;
    int segments = 0;
};

WriteFigures writeFile(const std::string& path, const Options& options,
                       const std::vector<std::vector<uint8_t>>& frames) {
    WriteFigures figures;
    std::vector<uint8_t> audio(7680);  // 1920 stereo samples per PAL frame
    for (size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<uint8_t>(i * 3);
    auto start = Clock::now();
    avi::AviWriter writer;
    figures.rc = writer.open(path, avi::dvType2Layout(true, avi::dvInfoFromFrame(frames[0], true), avi::PcmFormat{}));
    for (int64_t i = 0; figures.rc == 1 && writer.bytesWritten() < options.bytes; ++i) {
        figures.rc = writer.writeChunk(avi::kDvVideoStream, frames[static_cast<size_t>(i) % frames.size()], true);
        if (figures.rc == 1) figures.rc = writer.writeChunk(avi::kDvAudioStream, audio, true);
    }
    figures.frames = writer.frameCount();
    figures.segments = writer.segmentCount();
    if (figures.rc == 1) figures.rc = writer.finish();  // flushes and fsyncs
    figures.seconds = secondsSince(start);
    figures.bytes = figures.rc == 1 ? static_cast<int64_t>(std::stoll(runOutput("stat -c %s " + quote(path)))) : 0;
    return figures;
}

// The reference: cp of the file just written, with the same fsync at the end.
double timeCopy(const std::string& from, const std::string& to) {
    auto start = Clock::now();
    int rc = std::system(("cp " + quote(from) + " " + quote(to) + " && sync " + quote(to)).c_str());
    double seconds = secondsSince(start);
    return rc == 0 ? seconds : -1;
}

long long probeFrames(const std::string& path, double& seconds) {
    auto start = Clock::now();
    std::string out = runOutput("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                "stream=nb_read_frames -of csv=p=0 " + quote(path));
    seconds = secondsSince(start);
    return out.empty() ? -1 : std::atoll(out.c_str());
}

long peakRssKib() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--bytes" && hasValue) options.bytes = std::atoll(argv[++i]);
        else if (arg == "--dir" && hasValue) options.dir = argv[++i];
        else if (arg == "--runs" && hasValue) options.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--no-probe") options.probe = false;
        else return false;
    }
    return options.bytes > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: avi_writer_bench [--bytes N] [--dir DIR] [--runs N] [--no-probe]\n");
        return 2;
    }
    bool realFrames = false;
    std::vector<std::vector<uint8_t>> frames = makeFrames(options.dir, realFrames);
    std::string stem = options.dir + "/klemora_bench_" + std::to_string(::getpid());
    std::string output = stem + ".avi", copy = stem + "_cp.avi";
    std::vector<double> writeTimes, copyTimes;
    bool allRead = true;
    for (int run = 0; run < options.runs; ++run) {
        WriteFigures w = writeFile(output, options, frames);
        if (w.rc != 1) {
            std::fprintf(stderr, "write failed: %d %s\n", w.rc, std::string(avi::writerResultName(w.rc)).c_str());
            ::unlink(output.c_str());
            return 1;
        }
        double cp = timeCopy(output, copy);
        ::unlink(copy.c_str());
        long long read = -1;
        double probeSeconds = 0;
        if (options.probe && run == 0 && realFrames && haveTool("ffprobe")) {
            read = probeFrames(output, probeSeconds);
            allRead = allRead && read == w.frames;
        }
        ::unlink(output.c_str());
        writeTimes.push_back(w.seconds);
        copyTimes.push_back(cp);
        std::printf("{\"case\":\"dv2_write\",\"run\":%d,\"bytes\":%lld,\"frames\":%lld,\"segments\":%d,"
                    "\"write_s\":%.3f,\"cp_s\":%.3f,\"ratio_to_cp\":%.3f,\"write_MBps\":%.1f,"
                    "\"ffprobe_frames\":%lld,\"ffprobe_s\":%.1f,\"peak_rss_kib\":%ld}\n",
                    run, static_cast<long long>(w.bytes), static_cast<long long>(w.frames), w.segments, w.seconds,
                    cp, cp > 0 ? w.seconds / cp : 0.0, w.bytes / w.seconds / 1e6, read, probeSeconds, peakRssKib());
        std::fflush(stdout);
    }
    double write = median(writeTimes), cp = median(copyTimes);
    long rss = peakRssKib();
    std::printf("{\"case\":\"dv2_write_median\",\"runs\":%d,\"write_s\":%.3f,\"cp_s\":%.3f,\"ratio_to_cp\":%.3f,"
                "\"read_to_last_frame\":%s,\"peak_rss_kib\":%ld,\"rss_below_64MiB\":%s}\n",
                options.runs, write, cp, cp > 0 ? write / cp : 0.0, allRead ? "true" : "false", rss,
                rss < 64 * 1024 ? "true" : "false");
    return allRead && rss < 64 * 1024 ? 0 : 1;
}
