// The engine's speed as a new user would measure it: each figure the ratio
// of klemora-cli to a reference command, run one after the other on the same
// warm file (bench/speed_recording.h: 40 takes of 10 s, 10,000 frames):
//
//   picture detection  klemora-cli detect --type picture --trim 0 F
//                      vs ffmpeg -i F -an -vf "select='gt(scene,0.3)'" -f null -
//   writing a scene    klemora-cli write of one 5000-frame scene vs
//                      ffmpeg -ss ... -i F -frames:v 5000 -c copy out.avi, each
//                      followed by a sync of its file; and vs cp of the written
//                      scene, within the destination and from the source's
//                      file system; on the disk (/tmp/klemora-speed) and on
//                      tmpfs (/dev/shm)
//   DV date detection  klemora-cli detect --trim 0 F vs cat F > /dev/null
//
// plus the program's start alone (klemora-cli --version). Medians of --runs
// runs, the two commands alternating; the load at start and end. JSON lines,
// then a markdown table.
//
//   engine_ratio_bench [--runs 5] [--takes 40] [--take-frames 250] [--scene-frames 5000]
//                      [--only start,picture,dv_dates,write_disk,write_tmpfs]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "bench/child_timing.h"
#include "bench/klemora_commands.h"
#include "bench/speed_recording.h"

namespace {

using namespace klemora;
using bench::Measurement;
using bench::median;

struct Options {
    int runs = 5;
    int takes = 40;
    int32_t takeFrames = 250;
    int32_t sceneFrames = 5000;
    std::string only;  // the cases to run, separated by commas; empty: all

    bool wants(const std::string& name) const {
        return only.empty() || ("," + only + ",").find("," + name + ",") != std::string::npos;
    }
};

struct Row {
    std::string name, ours, theirs;
    double oursSeconds = 0, theirsSeconds = 0;
    double target = 0;
    double cpSeconds = -1;        // the write rows: cp of the written scene within its folder
    double cpAcrossSeconds = -1;  // and cp of the same bytes from the source's file system
};

// The two commands (or pairs of them) alternating; one JSON line per run.
template <typename Ours, typename Theirs>
Row compare(Row row, int runs, Ours&& ours, Theirs&& theirs) {
    std::vector<double> our, their;
    for (int run = 0; run < runs; ++run) {
        const Measurement a = ours(), b = theirs();
        our.push_back(a.seconds);
        their.push_back(b.seconds);
        std::printf("{\"case\":\"%s\",\"run\":%d,\"klemora_s\":%.4f,\"reference_s\":%.4f,\"klemora_rc\":%d,"
                    "\"reference_rc\":%d,\"klemora_peak_rss_kib\":%ld}\n",
                    row.name.c_str(), run, a.seconds, b.seconds, a.exitCode, b.exitCode, a.peakRssKb);
        std::fflush(stdout);
    }
    row.oursSeconds = median(our);
    row.theirsSeconds = median(their);
    return row;
}

// Writing one scene into `folder`: klemora-cli, ffmpeg and cp of klemora's
// result, each with the sync of its file; outputs removed between runs. The
// result is copied twice: within `folder` (on tmpfs a copy from tmpfs), and
// from a copy of it beside the source, where klemora-cli's bytes come from.
Row writeRow(const std::string& label, const std::string& folder, const std::string& source,
             const bench::KlemoraCommands& cli, const Options& options, int32_t first) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string project = folder + "/scene.csv";
    app::replaceFileAtomically(project, bench::oneSceneCsv(source, first, first + options.sceneFrames - 1));
    const std::string ours = folder + "/klemora", theirs = folder + "/ffmpeg.avi", copy = folder + "/cp.avi";
    const std::string besideSource = bench::kSpeedFolder + "/scene_bytes.avi", across = folder + "/cp_across.avi";
    char start[32];
    std::snprintf(start, sizeof start, "%.3f", first / 25.0);
    const std::vector<std::string> ffmpeg = {"ffmpeg", "-v",  "error", "-y", "-ss",     start, "-i",  source,
                                             "-frames:v", std::to_string(options.sceneFrames), "-c", "copy", theirs};
    std::vector<double> cps, acrossCps;
    auto timedCopy = [](const std::string& from, const std::string& to) {
        std::filesystem::remove(to);
        Measurement cp = bench::programInChild({"cp", from, to});
        cp += bench::programInChild({"sync", to});
        return cp.seconds;
    };
    auto writeOurs = [&] {
        std::filesystem::remove_all(ours);
        Measurement m = bench::programInChild(cli.write(project, ours));
        const std::string written = bench::onlyFileIn(ours);
        m += bench::programInChild({"sync", written});
        cps.push_back(timedCopy(written, copy));
        std::filesystem::remove(copy);
        if (!std::filesystem::exists(besideSource)) {
            std::filesystem::copy_file(written, besideSource);
            bench::programInChild({"sync", besideSource});  // no write-back of it during the next runs
        }
        acrossCps.push_back(timedCopy(besideSource, across));
        std::filesystem::remove(across);
        return m;
    };
    auto writeTheirs = [&] {
        std::filesystem::remove(theirs);
        Measurement m = bench::programInChild(ffmpeg);
        m += bench::programInChild({"sync", theirs});
        return m;
    };
    Row row = compare({"write_" + label, "klemora-cli write (" + label + ")", "ffmpeg -c copy", 0, 0, 0.70},
                      options.runs, writeOurs, writeTheirs);
    row.cpSeconds = median(cps);
    row.cpAcrossSeconds = median(acrossCps);
    std::filesystem::remove_all(folder);
    std::filesystem::remove(besideSource);
    return row;
}

void printRow(const Row& r) {
    std::printf("{\"case\":\"%s_median\",\"klemora_s\":%.4f,\"reference_s\":%.4f,\"ratio\":%.3f,\"target\":%.2f",
                r.name.c_str(), r.oursSeconds, r.theirsSeconds, r.oursSeconds / r.theirsSeconds, r.target);
    if (r.cpSeconds >= 0)
        std::printf(",\"cp_s\":%.4f,\"ratio_to_cp\":%.3f,\"cp_from_source_fs_s\":%.4f,\"ratio_to_cp_from_source_fs\":%.3f",
                    r.cpSeconds, r.oursSeconds / r.cpSeconds, r.cpAcrossSeconds, r.oursSeconds / r.cpAcrossSeconds);
    std::printf("}\n");
}

void printTable(const std::vector<Row>& rows) {
    std::printf("\n| command | klemora-cli s | reference | reference s | ratio | target | cp s | ratio to cp | "
                "cp from source fs s | ratio to it |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %.3f | %s | %.3f | %.3f | %s | ", r.ours.c_str(), r.oursSeconds, r.theirs.c_str(),
                    r.theirsSeconds, r.oursSeconds / r.theirsSeconds,
                    r.target > 0 ? ("<= " + std::to_string(r.target).substr(0, 4)).c_str() : "-");
        if (r.cpSeconds >= 0)
            std::printf("%.3f | %.3f | %.3f | %.3f |\n", r.cpSeconds, r.oursSeconds / r.cpSeconds, r.cpAcrossSeconds,
                        r.oursSeconds / r.cpAcrossSeconds);
        else std::printf("- | - | - | - |\n");
    }
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (arg == "--only") options.only = argv[i + 1];
        else if (arg == "--runs") options.runs = std::max(1, value);
        else if (arg == "--takes") options.takes = std::max(2, value);
        else if (arg == "--take-frames") options.takeFrames = std::max(1, value);
        else if (arg == "--scene-frames") options.sceneFrames = std::max(1, value);
        else return false;
    }
    return argc % 2 == 1 && options.sceneFrames < options.takes * options.takeFrames;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: engine_ratio_bench [--runs N] [--takes N] [--take-frames N] [--scene-frames N] [--only CASE,...]\n");
        return 2;
    }
    const bench::KlemoraCommands cli;
    const std::string source = bench::ensureSpeedRecording(options.takes, options.takeFrames);
    if (source.empty()) return 1;
    std::printf("{\"case\":\"start\",\"file\":\"%s\",\"bytes\":%lld,\"loadavg\":\"%s\"}\n", source.c_str(),
                static_cast<long long>(std::filesystem::file_size(source)), bench::loadAverage().c_str());
    bench::warmPageCache(source);

    std::vector<Row> rows;
    auto run = [&](const std::vector<std::string>& args) { return [args] { return bench::programInChild(args); }; };
    if (options.wants("start"))
        rows.push_back(compare({"start", "klemora-cli --version", "true", 0, 0, 0}, options.runs,
                               run({cli.program(), "--version"}), run({"true"})));
    if (options.wants("picture"))
        rows.push_back(compare({"picture", "klemora-cli detect --type picture --trim 0 F", "ffmpeg scene filter", 0, 0,
                                0.25},
                               options.runs, run(cli.detectPictures(source)),
                               run({"ffmpeg", "-i", source, "-an", "-vf", "select='gt(scene,0.3)'", "-f", "null", "-"})));
    if (options.wants("dv_dates"))
        rows.push_back(compare({"dv_dates", "klemora-cli detect --trim 0 F", "cat F > /dev/null", 0, 0, 0.25},
                               options.runs, run(cli.detectDates(source)), run({"cat", source})));
    const int32_t first = (options.takes * options.takeFrames - options.sceneFrames) / 2;
    if (options.wants("write_disk"))
        rows.push_back(writeRow("disk", bench::kSpeedFolder + "/ratio_write_" + std::to_string(::getpid()), source,
                                cli, options, first));
    if (options.wants("write_tmpfs"))
        rows.push_back(writeRow("tmpfs", "/dev/shm/klemora_ratio_write_" + std::to_string(::getpid()), source, cli,
                                options, first));
    for (const Row& r : rows) printRow(r);
    std::printf("{\"case\":\"end\",\"loadavg\":\"%s\"}\n", bench::loadAverage().c_str());
    printTable(rows);
    return 0;
}
