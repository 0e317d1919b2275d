// The write-scenes dialog's per-scene run against `klemora-cli write` on the
// same project: a generated 2 GB DV type-2 source (OpenDML segments) cut
// into 40 scenes, written one file per scene by both, each file synced.
// The dialog is driven as a person does (its start button, on the
// offscreen platform); the time is from the click until the run has
// returned. The command line is timed as a whole process (start, project
// load, write). The source is read once first (warm cache); the two
// alternate, --runs times each; the output is deleted after every run.
// One JSON line with the medians and their ratio (dialog / command line).
//
//   QT_QPA_PLATFORM=offscreen write_dialog_bench [--source-bytes N] [--scenes N] [--runs N] [--dir DIR]
//
// Everything is generated into a folder under --dir and removed at the end.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "bench/child_timing.h"
#include "bench/large_dv_file.h"
#include "gui/write_scenes_dialog.h"
#include "scene/group_tree.h"
#include "scene/project_file.h"

namespace {

using namespace klemora;

constexpr int64_t kBytesPerFrame = 144000 + 7680 + 16;  // DV frame, its PCM, two chunk headers

struct Options {
    int64_t sourceBytes = 2'000'000'000;
    int scenes = 40;
    int runs = 3;
    std::string dir = "/tmp";
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        if (name == "--source-bytes") options.sourceBytes = std::atoll(argv[i + 1]);
        if (name == "--scenes") options.scenes = std::atoi(argv[i + 1]);
        if (name == "--runs") options.runs = std::atoi(argv[i + 1]);
        if (name == "--dir") options.dir = argv[i + 1];
    }
    return options;
}

std::string programFolder() { return std::filesystem::canonical("/proc/self/exe").parent_path().string(); }

std::string quote(const std::string& text) { return "'" + text + "'"; }

// The source cut into `scenes` scenes of equal length, as a project file.
bool writeProject(const std::string& project, const std::string& source, int32_t frames, int scenes) {
    scene::SceneList list;
    const int32_t length = frames / scenes;
    for (int s = 0; s < scenes; ++s) {
        int i = list.AddNewScene();
        list.setSourceFile(i, source);
        list.setStartFrame(i, s * length);
        list.setStopFrame(i, s == scenes - 1 ? frames - 1 : (s + 1) * length - 1);
    }
    return scene::writeFlatFile(project, list) == 1;
}

void readOnce(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
    }
}

void emptyFolder(const std::string& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

// One per-scene run of the dialog over the project; seconds, -1 on failure.
double dialogRun(const app::SettingsStore& settings, const std::string& project, const std::string& out) {
    scene::GroupTree tree;
    if (scene::readFlatFile(project, tree.root().list()) != 1) return -1;
    gui::WriteScenesDialog dialog(settings, tree, nullptr);
    dialog.chooseFolder = [&out](const QString&) { return QString::fromStdString(out); };
    dialog.folderButton()->click();
    dialog.show();
    QElapsedTimer clock;
    clock.start();
    dialog.perSceneButton()->click();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    return dialog.lastOutcome().completed && !dialog.lastOutcome().errors ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    QApplication application(argc, argv);
    const std::string work = options.dir + "/write_dialog_bench." + std::to_string(::getpid());
    std::filesystem::create_directories(work);
    const std::string source = work + "/source.avi", project = work + "/project.scn";
    const std::string cliOut = work + "/cli", dialogOut = work + "/dialog", ini = work + "/Klemora.ini";
    const auto frames = static_cast<int32_t>(options.sourceBytes / kBytesPerFrame);
    std::ofstream(ini) << "[Data]\nLang=DE\nEnableBackup=0\n";
    int rc = 0;
    if (!bench::makeLargeDvFile(source, frames) || !writeProject(project, source, frames, options.scenes)) {
        std::fprintf(stderr, "write_dialog_bench: no input\n");
        rc = 1;
    }
    std::vector<double> cli, gui;
    if (rc == 0) {
        readOnce(source);
        app::SettingsStore settings(ini);
        const std::string command = quote(programFolder() + "/klemora-cli") + " --batch --ini " + quote(ini) +
                                    " write " + quote(project) + " --dest " + quote(cliOut) + " >/dev/null 2>&1";
        for (int run = 0; run < options.runs && rc == 0; ++run) {
            emptyFolder(cliOut);
            bench::Measurement measured = bench::commandInChild(command.c_str());
            emptyFolder(cliOut);
            emptyFolder(dialogOut);
            double seconds = dialogRun(settings, project, dialogOut);
            emptyFolder(dialogOut);
            if (measured.exitCode != 0 || seconds < 0) {
                std::fprintf(stderr, "write_dialog_bench: run %d failed (cli %d, dialog %.3f)\n", run, measured.exitCode,
                             seconds);
                rc = 1;
                break;
            }
            cli.push_back(measured.seconds);
            gui.push_back(seconds);
        }
    }
    if (rc == 0) {
        const double cliMedian = bench::median(cli), guiMedian = bench::median(gui);
        std::printf("{\"case\":\"write_dialog_vs_cli\",\"source_bytes\":%lld,\"frames\":%d,\"scenes\":%d,\"runs\":%d,"
                    "\"cli_s\":%.3f,\"dialog_s\":%.3f,\"ratio\":%.3f,\"target\":1.1}\n",
                    static_cast<long long>(std::filesystem::file_size(source)), frames, options.scenes, options.runs,
                    cliMedian, guiMedian, guiMedian / cliMedian);
    }
    std::filesystem::remove_all(work);
    return rc;
}
