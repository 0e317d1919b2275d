// A whole tape through klemora-cli: a 60-minute PAL DV type 2 recording of
// 120 takes (about 13 GB, bench/speed_recording.h) and, for the comparison of
// growth, a 10-minute one of takes as long (whose pictures the long one
// shows over again, since encoding an hour of DV takes an hour here). Per recording, each a child
// process with its wall time, CPU time and peak memory (wait4):
//
//   klemora-cli detect --trim 0 F -o scenes.csv       DV dates
//   klemora-cli detect --type picture --trim 0 F ...  pictures
//   klemora-cli write scenes.csv --dest D, sync FILE...  every scene, beside F
//   klemora-cli index scenes.csv --out D/index.htm     the HTML index
//
// and in the same run the anchors: ffmpeg's scene filter, cat F > /dev/null,
// cp F and sync. Written files are deleted at once; generated recordings at
// the end unless --keep. Detection and writing must stay under 64 MiB of
// peak memory whatever the length. JSON lines, then a markdown table with
// the 60/10-minute growth of every step.
//
//   whole_tape_bench [--keep] [--minutes 60] [--short-minutes 10] [--take-seconds 30] [--only-short]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/child_timing.h"
#include "bench/klemora_commands.h"
#include "bench/speed_recording.h"

namespace {

using namespace klemora;
using bench::Measurement;
using bench::programInChild;

constexpr long kPeakLimitKib = 64 * 1024;

struct Options {
    bool keep = false;
    int minutes = 60;
    int shortMinutes = 10;
    int takeSeconds = 30;
    bool onlyShort = false;
};

struct Step {
    std::string name;
    Measurement m;
    bool bounded = false;  // held to the memory limit
};

struct Tape {
    int minutes = 0;
    int64_t bytes = 0;
    int scenes = 0;
    std::vector<Step> steps;
};

void printStep(const Tape& tape, const Step& s) {
    std::printf("{\"case\":\"%s\",\"minutes\":%d,\"wall_s\":%.2f,\"cpu_s\":%.2f,\"peak_rss_kib\":%ld,\"rc\":%d}\n",
                s.name.c_str(), tape.minutes, s.m.seconds, s.m.cpuSeconds, s.m.peakRssKb, s.m.exitCode);
    std::fflush(stdout);
}

int countScenes(const std::string& list) {
    std::FILE* in = std::fopen(list.c_str(), "r");
    if (!in) return 0;
    int lines = 0;
    for (int c; (c = std::fgetc(in)) != EOF;) lines += c == '\n';
    std::fclose(in);
    return lines - 1;  // the header
}

// The tape of `minutes`; the pictures of a longer one are the short tape's over again.
Tape runTape(int minutes, const Options& options, const bench::KlemoraCommands& cli, std::vector<std::string>& made) {
    Tape tape{minutes};
    const int32_t takeFrames = options.takeSeconds * 25;
    const int takes = minutes * 60 / options.takeSeconds;
    const int shortTakes = options.shortMinutes * 60 / options.takeSeconds;
    bool generated = false;
    const std::string source =
        bench::ensureSpeedRecording(takes, takeFrames, &generated, takes > shortTakes ? shortTakes : 0);
    if (source.empty()) return tape;
    if (generated) made.push_back(source);
    tape.bytes = static_cast<int64_t>(std::filesystem::file_size(source));
    std::printf("{\"case\":\"tape\",\"minutes\":%d,\"file\":\"%s\",\"bytes\":%lld,\"loadavg\":\"%s\"}\n", minutes,
                source.c_str(), static_cast<long long>(tape.bytes), bench::loadAverage().c_str());
    const std::string work = source + ".out";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work + "/index");
    const std::string scenes = work + "/scenes.csv", pictures = work + "/pictures.csv", written = work + "/scenes";
    auto step = [&](const std::string& name, Measurement m, bool bounded) {
        tape.steps.push_back({name, m, bounded});
        printStep(tape, tape.steps.back());
    };

    bench::warmPageCache(source);
    step("cat", programInChild({"cat", source}), false);
    step("dv_detect", programInChild(cli.into(cli.detectDates(source), scenes)), true);
    tape.scenes = countScenes(scenes);
    step("picture_detect", programInChild(cli.into(cli.detectPictures(source), pictures)), true);
    step("ffmpeg_scene_filter",
         programInChild({"ffmpeg", "-i", source, "-an", "-vf", "select='gt(scene,0.3)'", "-f", "null", "-"}), false);
    Measurement write = programInChild(cli.write(scenes, written));
    write += programInChild(bench::syncFilesIn(written));
    step("write_scenes", write, true);
    step("html_index", programInChild(cli.index(scenes, work + "/index/index.htm")), false);
    std::filesystem::remove_all(written);
    const std::string copy = work + "/copy.avi";
    Measurement cp = programInChild({"cp", source, copy});
    cp += programInChild({"sync", copy});
    step("cp", cp, false);
    std::filesystem::remove_all(work);
    return tape;
}

const Step* find(const Tape& tape, const std::string& name) {
    for (const Step& s : tape.steps)
        if (s.name == name) return &s;
    return nullptr;
}

// Memory within the limit for every bounded step, and every step's exit code 0.
bool healthy(const Tape& tape) {
    bool ok = !tape.steps.empty();
    for (const Step& s : tape.steps) {
        if (s.m.exitCode != 0) {
            std::fprintf(stderr, "%d min: %s exited with %d\n", tape.minutes, s.name.c_str(), s.m.exitCode);
            ok = false;
        }
        if (s.bounded && s.m.peakRssKb >= kPeakLimitKib) {
            std::fprintf(stderr, "%d min: %s peaked at %ld KiB\n", tape.minutes, s.name.c_str(), s.m.peakRssKb);
            ok = false;
        }
    }
    return ok;
}

void printTable(const std::vector<Tape>& tapes) {
    std::printf("\n| tape | scenes | step | wall s | CPU s | peak MiB | wall / cat | growth to shortest tape |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Tape& tape : tapes) {
        const Step* cat = find(tape, "cat");
        for (const Step& s : tape.steps) {
            const Step* base = find(tapes.front(), s.name);
            std::printf("| %d min, %.1f GB | %d | %s | %.2f | %.2f | %.1f | %.2f | %.2f x for %.1f x the length |\n",
                        tape.minutes, static_cast<double>(tape.bytes) / 1e9, tape.scenes, s.name.c_str(), s.m.seconds,
                        s.m.cpuSeconds, static_cast<double>(s.m.peakRssKb) / 1024.0,
                        cat ? s.m.seconds / cat->m.seconds : 0, base ? s.m.seconds / base->m.seconds : 0,
                        static_cast<double>(tape.minutes) / tapes.front().minutes);
        }
    }
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--keep") options.keep = true;
        else if (arg == "--only-short") options.onlyShort = true;
        else if (arg == "--minutes" && hasValue) options.minutes = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--short-minutes" && hasValue) options.shortMinutes = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--take-seconds" && hasValue) options.takeSeconds = std::max(1, std::atoi(argv[++i]));
        else return false;
    }
    return options.shortMinutes <= options.minutes;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: whole_tape_bench [--keep] [--minutes N] [--short-minutes N] [--take-seconds N] "
                             "[--only-short]\n");
        return 2;
    }
    const bench::KlemoraCommands cli;
    std::vector<std::string> made;
    std::vector<Tape> tapes;
    tapes.push_back(runTape(options.shortMinutes, options, cli, made));
    if (!options.onlyShort) tapes.push_back(runTape(options.minutes, options, cli, made));
    if (!options.keep)
        for (const std::string& path : made) std::filesystem::remove(path);
    std::printf("{\"case\":\"end\",\"loadavg\":\"%s\"}\n", bench::loadAverage().c_str());
    printTable(tapes);
    bool ok = true;
    for (const Tape& tape : tapes) ok = healthy(tape) && ok;
    return ok ? 0 : 1;
}
