// The detection dialog's DV run over a big generated DV type-2 file (offscreen,
// driven as a person would: the dialog made with the scene of the whole file,
// Start clicked), timed against `klemora-cli detect` on the same file. Both
// run as whole processes in a child, after one warm-up pass of the command
// line program, so the page cache is warm for both; the settings are the same
// (a fresh settings file, trace off). The file is deleted afterwards.
//
//   auto_cut_dialog_bench [--gb 2.0] [--runs 3] [--keep] [--file PATH]
//
// Prints one JSON line per case (median seconds, peak RSS) and the ratios:
// the run alone (Start clicked to the scenes found) and the whole dialog
// process (start-up, probing the file on opening, the run) to the command.
#include <QApplication>
#include <QPushButton>
#include <QtTest>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/paths.h"
#include "app/settings_store.h"
#include "bench/child_timing.h"
#include "bench/large_dv_file.h"
#include "gui/auto_cut_dialog.h"
#include "tests/support/recording_power.h"

namespace {

using namespace klemora;

// Exit code 0 when the dialog found `expected` scenes (any number when negative).
int dialogRun(const std::string& file, const std::string& ini, int expected) {
    const auto started = bench::Clock::now();
    int argc = 1;
    char name[] = "auto_cut_dialog_bench";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    app::SettingsStore store(ini);
    test::RecordingPower power;
    scene::SceneList scenes;
    int i = scenes.AddNewScene();
    scenes.setSourceFile(i, file);
    scenes.setStartFrame(i, 0);
    scenes.setStopFrame(i, -1);  // to the file's last frame, as a dropped file
    const double applicationMs = bench::msSince(started);
    gui::AutoCutDialog dialog(store, power, media::MediaSettings{}, scenes);
    dialog.show();
    const double openMs = bench::msSince(started) - applicationMs;
    const auto clicked = bench::Clock::now();
    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    const double runMs = bench::msSince(clicked);
    std::ofstream(ini + ".run") << runMs / 1000.0 << '\n';
    std::fprintf(stderr, "dialog: application %.0f ms, opening (probe) %.0f ms, run %.0f ms\n", applicationMs, openMs,
                 runMs);
    const int found = dialog.foundScenes().count();
    return found > 0 && (expected < 0 || found == expected) ? 0 : 3;
}

void printCase(const char* name, const std::vector<double>& seconds, const std::vector<long>& rss) {
    std::printf("{\"case\":\"%s\",\"median_s\":%.3f,\"peak_rss_kb\":%ld}\n", name, bench::median(seconds),
                bench::largest(rss));
}

}  // namespace

int main(int argc, char** argv) {
    double gigabytes = 2.0;
    int runs = 3;
    bool keep = false;
    const std::string folder = "/tmp/klemora-auto-cut-bench-" + std::to_string(::getpid());
    std::string path = folder + "/large.avi";
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
    ::setenv("TZ", "UTC", 1);  // the detection converts to local time
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::filesystem::create_directories(folder);
    const std::string ini = folder + "/Klemora.ini";
    std::ofstream(ini) << "[Data]\nEnableBackup=0\n";
    ::setenv("KLEMORA_INI", ini.c_str(), 1);

    const bool generated = !app::fileExists(path);
    // One frame of type 2 with its sound takes about 151.7 kB.
    const int32_t frames = static_cast<int32_t>(gigabytes * (1ull << 30) / 151704.0);
    if (generated && !bench::makeLargeDvFile(path, frames)) return 1;
    std::fprintf(stderr, "file: %s, %.2f GB\n", path.c_str(),
                 static_cast<double>(std::filesystem::file_size(path)) / (1ull << 30));

    const std::string cli = app::executableFolder() + "/klemora-cli detect '" + path + "' > /dev/null 2>&1";
    bench::commandInChild(cli.c_str());  // warms the page cache
    std::vector<double> cliSeconds, dialogSeconds, startToEnd;
    std::vector<long> cliRss, dialogRss;
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        bench::Measurement c = bench::commandInChild(cli.c_str());
        bench::Measurement d = bench::inChild([&] { return dialogRun(path, ini, -1); });
        double runSeconds = 0;
        std::ifstream(ini + ".run") >> runSeconds;
        startToEnd.push_back(runSeconds);
        ok = ok && c.exitCode == 0 && d.exitCode == 0;
        cliSeconds.push_back(c.seconds);
        cliRss.push_back(c.peakRssKb);
        dialogSeconds.push_back(d.seconds);
        dialogRss.push_back(d.peakRssKb);
    }
    printCase("klemora-cli detect", cliSeconds, cliRss);
    printCase("dialog run", dialogSeconds, dialogRss);
    std::printf("{\"case\":\"dialog Start to end\",\"median_s\":%.3f}\n", bench::median(startToEnd));
    std::printf("{\"ratio_run_to_cli\":%.3f,\"ratio_whole_dialog_to_cli\":%.3f,\"frames\":%d,\"runs\":%d}\n",
                bench::median(startToEnd) / bench::median(cliSeconds),
                bench::median(dialogSeconds) / bench::median(cliSeconds), frames, runs);
    if (generated && !keep) std::filesystem::remove(path);
    if (!keep) std::filesystem::remove_all(folder);
    if (!ok) std::fprintf(stderr, "auto_cut_dialog_bench: a run failed\n");
    return ok ? 0 : 1;
}
