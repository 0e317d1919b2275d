// Scrubbing in the trim dialog over a large OpenDML DV file: how long a
// slider move to a random frame takes until that frame is painted in the
// video area, and what a held arrow key gives: auto-repeat presses at about
// 30 per second for some seconds, the frames painted per second and the lag
// between the last press and its frame.
//
//   QT_QPA_PLATFORM=offscreen trim_scrub_bench [--frames 15000] [--random 300] [--hold-seconds 5] [--file PATH]
//
// 15000 PAL frames of DV type 2 with sound make about 2.3 GB in OpenDML RIFF
// segments, generated into a temporary folder and removed at the end (warm
// page cache). One JSON line per case, milliseconds.
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/ui.h"
#include "gui/area_player.h"
#include "gui/frame_display.h"
#include "gui/trim_dialog.h"
#include "media/media_probe.h"
#include "bench/large_dv_file.h"

namespace {

using namespace klemora;
using namespace klemora::bench;

// Serves events for `ms` milliseconds.
void serveFor(double ms) {
    auto start = Clock::now();
    while (msSince(start) < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int32_t frames = 15000;
    int randomCount = 300;
    double holdSeconds = 5;
    std::string path;
    QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        auto value = [&]() { return i + 1 < args.size() ? args[++i] : QString(); };
        if (args[i] == "--frames") frames = value().toInt();
        else if (args[i] == "--random") randomCount = std::max(1, value().toInt());
        else if (args[i] == "--hold-seconds") holdSeconds = std::max(1.0, value().toDouble());
        else if (args[i] == "--file") path = value().toStdString();
        else {
            std::fprintf(stderr, "usage: trim_scrub_bench [--frames N] [--random N] [--hold-seconds S] [--file PATH]\n");
            return 2;
        }
    }
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("klemora_trim_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    if (path.empty()) {
        path = (folder / "large.avi").string();
        if (!makeLargeDvFile(path, frames)) return 1;
    }
    app::SilentUserInterface ui;
    media::MediaInfo probed;
    if (media::ProbeMedia(path, probed, ui) != 1) return 1;
    frames = probed.frameCount;
    const double gigabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e9;

    scene::SceneList list;
    int row = list.AddNewScene();
    list.setSourceFile(row, path);
    list.setStopFrame(row, frames - 1);
    list.setStartFrame(row, 0);
    list.mutableRecord(row)->definedStop = frames - 1;  // the slider's range: the whole file
    app::SettingsStore settings((folder / "Klemora.ini").string());
    gui::TrimDialog dialog(ui, settings, {}, gui::makeAreaPlayer(ui, {}), list, 0, gui::TrimDialog::Mode::SingleScene);
    int lastPainted = -1;
    QObject::connect(dialog.video(), &gui::FrameDisplay::framePainted, [&](int32_t frame) { lastPainted = frame; });
    dialog.resize(1000, 760);
    dialog.show();
    bool ok = waitShown(lastPainted, 0);
    if (!ok) std::fprintf(stderr, "first picture: painted %d\n", lastPainted);

    std::mt19937 random(20060701);
    std::uniform_int_distribution<int> pick(0, frames - 1);
    std::vector<double> moves;
    for (int i = 0; ok && i < randomCount; ++i) {
        int frame = pick(random);
        if (frame == dialog.slider()->value()) continue;
        auto start = Clock::now();
        dialog.slider()->setValue(frame);
        ok = waitShown(lastPainted, frame);
        moves.push_back(msSince(start));
    }

    // A held Right key: auto-repeat presses every 33 ms, events served between.
    int painted = 0;
    auto counter = QObject::connect(dialog.video(), &gui::FrameDisplay::framePainted, [&](int32_t) { ++painted; });
    const int presses = static_cast<int>(holdSeconds * 30);
    dialog.slider()->setValue(frames / 2);
    ok = ok && waitShown(lastPainted, frames / 2);
    dialog.slider()->setFocus();
    painted = 0;
    auto holdStart = Clock::now();
    for (int i = 0; ok && i < presses; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(dialog.slider(), &press);
        serveFor(1000.0 / 30 * (i + 1) - msSince(holdStart));
    }
    const double holdMs = msSince(holdStart);
    const int target = dialog.slider()->value();
    auto lagStart = Clock::now();
    ok = ok && waitShown(lastPainted, target);
    if (!ok) std::fprintf(stderr, "held key: painted %d, slider %d\n", lastPainted, target);
    const double lagMs = msSince(lagStart);
    QObject::disconnect(counter);
    dialog.reject();
    std::filesystem::remove_all(folder);
    if (!ok || moves.empty()) {
        std::fprintf(stderr, "trim_scrub_bench: a picture did not come\n");
        return 1;
    }
    std::printf("{\"case\":\"slider_move_to_paint\",\"fileGb\":%.2f,\"frames\":%d,\"samples\":%zu,\"p50Ms\":%.2f,"
                "\"p95Ms\":%.2f,\"maxMs\":%.2f}\n",
                gigabytes, frames, moves.size(), percentile(moves, 0.5), percentile(moves, 0.95),
                *std::max_element(moves.begin(), moves.end()));
    std::printf("{\"case\":\"held_arrow_key\",\"presses\":%d,\"steppedFrames\":%d,\"paintedPerSecond\":%.1f,"
                "\"lagAfterLastPressMs\":%.2f}\n",
                presses, target - frames / 2, painted * 1000.0 / holdMs, lagMs);
    return 0;
}
