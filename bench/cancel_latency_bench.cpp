// How long each long run takes to end after a Stop from another thread, as
// the desktop program's Stop button gives it while the run works on a
// worker. Each run starts on a worker thread over generated DV files; when
// its progress reaches the middle, the Stop is requested from the main
// thread and the time until the run returns is taken. Warm page cache;
// writes go to --dir. One JSON line per run kind: median and largest of
// --runs runs, in milliseconds.
//
//   cancel_latency_bench [--frames 1500] [--runs 5] [--dir /tmp]
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "detect/dv_scene_detection.h"
#include "detect/picture_detection_run.h"
#include "detect/picture_diff_detector.h"
#include "output/datestamp_run.h"
#include "output/html_index.h"
#include "output/html_template.h"
#include "output/picture_sequence.h"
#include "output/speed_copy.h"
#include "output/split_file.h"
#include "output/write_run.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/cancel_from_thread.h"
#include "tests/support/recording_power.h"

namespace {

using namespace klemora;
namespace fs = std::filesystem;

struct Options {
    int frames = 1500;
    int runs = 5;
    std::string dir = "/tmp";
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i];
        if (key == "--frames") o.frames = std::atoi(argv[i + 1]);
        else if (key == "--runs") o.runs = std::atoi(argv[i + 1]);
        else if (key == "--dir") o.dir = argv[i + 1];
    }
    return o;
}

// A DV type-2 file whose recording restarts every 250 frames.
std::string makeSource(const std::string& path, int frames) {
    fixtures::DvFixtureOptions options;
    for (int done = 0; done < frames; done += 250) {
        fixtures::DvSession session;
        session.start = fixtures::defaultSessionStart();
        session.start.hours += static_cast<int>(options.sessions.size());
        session.frames = std::min(250, frames - done);
        options.sessions.push_back(session);
    }
    std::string error;
    if (fixtures::writeDvAvi(path, options, nullptr, &error) != 1) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
    return path;
}

void emptyFolder(const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
}

void addScene(scene::SceneList& list, const std::string& source, int32_t start, int32_t stop) {
    int i = list.AddNewScene();
    list.setSourceFile(i, source);
    list.setStartFrame(i, start);
    list.setStopFrame(i, stop);
    list.setFramesPerSecond(i, 25.0f);
}

struct Case {
    const char* name;
    int64_t stopAt;  // progress position at which the Stop comes
    std::function<void(app::UserInterface&)> run;
};

void measure(const Case& c, const Options& o, const std::string& out) {
    std::vector<double> ms;
    for (int r = 0; r < o.runs; ++r) {
        emptyFolder(out);
        test::CancelFromThread ui(c.stopAt);
        ui.alwaysAnswer("", app::Answer::Yes);
        auto latency = ui.runAndCancel([&] { c.run(ui); });
        if (!ui.stopArrived()) {
            std::printf("{\"run\":\"%s\",\"error\":\"ended before the stop\"}\n", c.name);
            return;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(latency).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("{\"run\":\"%s\",\"runs\":%d,\"median_ms\":%.1f,\"max_ms\":%.1f}\n", c.name, o.runs,
                ms[ms.size() / 2], ms.back());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options o = parse(argc, argv);
    const std::string work = o.dir + "/klemora-cancel-bench";
    emptyFolder(work);
    const std::string out = work + "/out/";
    const std::string source = makeSource(work + "/tape.avi", o.frames);
    const std::string second = makeSource(work + "/tape2.avi", 250);
    const std::string clip = makeSource(work + "/clip.avi", 200);
    const int64_t middle = o.frames / 2;

    scene::GroupTree tree;
    addScene(tree.root().list(), source, 0, o.frames - 1);
    addScene(tree.root().list(), second, 0, 249);
    app::SettingsStore store(work + "/Klemora.ini");
    test::RecordingPower power;

    std::vector<Case> cases = {
        {"dv_detection", middle,
         [&](app::UserInterface& ui) {
             scene::SceneList scenes;
             detect::DvDetectionSettings settings;
             detect::FindPerDvDatestamp({{source, 0, o.frames - 1}, {second, 0, 249}}, scenes, ui, settings);
         }},
        {"picture_detection", middle,
         [&](app::UserInterface& ui) {
             scene::SceneList scenes;
             detect::PictureDiffDetector detector(ui);
             detect::PictureDetectionSettings settings;
             detect::RunPictureDetection({{source, 0, INT32_MAX}}, scenes, detector, settings, power, store);
         }},
        {"write_scenes", middle,
         [&](app::UserInterface& ui) {
             output::WriteRunRequest request(tree, ui);
             request.settings.destinationPath = out;
             request.settings.formatString = "%M3";
             output::OnBtWritestart(request);
         }},
        {"write_one_file_per_group", middle,
         [&](app::UserInterface& ui) {
             output::WriteRunRequest request(tree, ui);
             request.settings.destinationPath = out;
             output::WriteScenes1File(request);
         }},
        {"split", middle / 2,
         [&](app::UserInterface& ui) {
             output::WriteContext context(ui);
             output::SplitRequest request;
             request.framesPerPart = o.frames / 2;
             request.destinationDirectory = out;
             output::SplitFiles({source}, request, context);
         }},
        {"speed", middle / 2,
         [&](app::UserInterface& ui) {
             output::WriteContext context(ui);
             output::SpeedCopies({source}, 2.0f, out, context);
         }},
        {"picture_sequence", 100,
         [&](app::UserInterface& ui) { output::SavePictureSequences({clip}, out, ui); }},
        {"datestamp_file_in_hand", 0,
         [&](app::UserInterface& ui) {
             scene::RecordingTime start = fixtures::defaultSessionStart();
             output::StampFiles({source, second}, start, 1, ui);
         }},
        {"html_index", 3,
         [&](app::UserInterface& ui) {
             scene::GroupTree pages;
             for (int i = 0; i < 40; ++i) addScene(pages.root().list(), source, i * 30, i * 30 + 29);
             output::HtmlIndexOptions options;
             output::parseTemplate("S#SCENENUMBER\n", options.cell);
             options.columns = 4;
             options.mainFile = out + "index.htm";
             options.pictureWidth = 96;
             options.pictureHeight = 72;
             output::GenerateSceneIndex(pages, options, ui);
         }},
    };
    for (const Case& c : cases) measure(c, o, out);
    fs::remove_all(work);
    return 0;
}
