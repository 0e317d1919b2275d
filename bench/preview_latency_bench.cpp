// The main window's preview over a large OpenDML DV file: how long a slider
// move takes until its picture is painted, for random frames one at a time
// and for bursts of moves that pile up, and how long selecting a scene takes
// until its first picture is painted. The reference is a bare GrabFrame of
// the same frames at the same size, so the ratio shows what the panel adds.
//
//   QT_QPA_PLATFORM=offscreen preview_latency_bench [--frames 15000] [--random 300] [--scenes 40] [--keep] [--file PATH]
//
// 15000 PAL frames of DV type 2 with sound make about 2.3 GB in OpenDML
// RIFF segments; the file is generated into a temporary folder and removed
// at the end (warm page cache: it was just written). One JSON line per case
// with p50/p95/max in milliseconds and peak RSS.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/ui.h"
#include "gui/picture_view.h"
#include "gui/preview_panel.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "bench/large_dv_file.h"

namespace {

using namespace klemora;
using namespace klemora::bench;

long peakRssKb() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void printCase(const char* name, const std::vector<double>& ms, const std::string& extra = {}) {
    if (ms.empty()) return;
    std::printf("{\"case\":\"%s\",\"samples\":%zu,\"p50Ms\":%.2f,\"p95Ms\":%.2f,\"maxMs\":%.2f%s,\"peakRssKb\":%ld}\n",
                name, ms.size(), percentile(ms, 0.5), percentile(ms, 0.95), *std::max_element(ms.begin(), ms.end()),
                extra.c_str(), peakRssKb());
}

// Milliseconds of a bare GrabFrame per frame at the panel's picture size.
std::vector<double> bareGrabs(const std::string& path, const std::vector<int>& frames, QSize size) {
    app::SilentUserInterface ui;
    media::MediaInfo info;
    std::vector<double> ms;
    if (media::ProbeMedia(path, info, ui) != 1) return ms;
    std::vector<uint8_t> buffer(static_cast<size_t>(media::GetPictureBufferSize(size.width(), size.height(), info)));
    media::GrabFrame(info, 0, buffer, size.width(), size.height(), ui);
    for (int frame : frames) {
        auto start = Clock::now();
        if (media::GrabFrame(info, frame, buffer, size.width(), size.height(), ui) != 1) return {};
        ms.push_back(msSince(start));
    }
    return ms;
}

scene::SceneList scenesOf(const std::string& path, int32_t frames, int count) {
    scene::SceneList list;
    int32_t length = std::max(1, frames / count);
    for (int i = 0; i < count && i * length < frames; ++i) {
        int row = list.AddNewScene();
        list.setSourceFile(row, path);
        list.setStopFrame(row, std::min(frames, (i + 1) * length) - 1);
        list.setStartFrame(row, i * length);
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int32_t frames = 15000;
    int randomCount = 300;
    int sceneCount = 40;
    bool keep = false;
    std::string path;
    QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        auto value = [&]() { return i + 1 < args.size() ? args[++i] : QString(); };
        if (args[i] == "--frames") frames = value().toInt();
        else if (args[i] == "--random") randomCount = std::max(1, value().toInt());
        else if (args[i] == "--scenes") sceneCount = std::max(2, value().toInt());
        else if (args[i] == "--keep") keep = true;
        else if (args[i] == "--file") path = value().toStdString();
        else {
            std::fprintf(stderr, "usage: preview_latency_bench [--frames N] [--random N] [--scenes N] [--keep] [--file PATH]\n");
            return 2;
        }
    }
    std::filesystem::path folder;
    if (path.empty()) {
        folder = std::filesystem::temp_directory_path() / ("klemora_preview_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path = (folder / "large.avi").string();
        if (!makeLargeDvFile(path, frames)) return 1;
    }
    app::SilentUserInterface probeUi;
    media::MediaInfo probed;
    if (media::ProbeMedia(path, probed, probeUi) != 1) return 1;
    frames = probed.frameCount;
    const double gigabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e9;

    app::SilentUserInterface ui;
    gui::PreviewPanel panel(ui, {});
    int lastShown = -1;
    QObject::connect(&panel, &gui::PreviewPanel::frameShown, [&](int frame) { lastShown = frame; });
    panel.resize(800, 720);
    panel.show();
    scene::SceneList whole = scenesOf(path, frames, 1);
    auto start = Clock::now();
    panel.showScene(whole, 0);
    bool ok = waitShown(lastShown, 0);
    double firstOpenMs = msSince(start);
    QSize size = panel.picture().size();

    std::mt19937 random(20060701);
    std::uniform_int_distribution<int> pick(0, frames - 1);
    std::vector<int> order;
    std::vector<double> moves;
    for (int i = 0; ok && i < randomCount; ++i) {
        int frame = pick(random);
        if (frame == panel.currentFrame()) continue;
        order.push_back(frame);
        start = Clock::now();
        panel.slider()->setValue(frame);
        ok = waitShown(lastShown, frame);
        moves.push_back(msSince(start));
    }
    // Ten moves before the window gets to serve its events, as a held key or
    // a dragged slider delivers them: only the last one needs a picture.
    std::vector<double> bursts;
    for (int i = 0; ok && i < randomCount / 10; ++i) {
        start = Clock::now();
        int frame = 0;
        for (int move = 0; move < 10; ++move) panel.slider()->setValue(frame = pick(random));
        ok = waitShown(lastShown, frame);
        bursts.push_back(msSince(start));
    }
    scene::SceneList scenes = scenesOf(path, frames, sceneCount);
    std::vector<double> selections;
    for (int i = 0; ok && i < scenes.count(); ++i) {
        start = Clock::now();
        panel.showScene(scenes, (i * 7) % scenes.count());
        ok = waitShown(lastShown, scenes.startFrame((i * 7) % scenes.count()));
        selections.push_back(msSince(start));
    }
    std::vector<double> reference = ok ? bareGrabs(path, order, size) : std::vector<double>{};
    panel.close();
    if (!folder.empty() && !keep) std::filesystem::remove_all(folder);
    if (!ok || reference.empty()) {
        std::fprintf(stderr, "preview_latency_bench: a picture did not come\n");
        return 1;
    }
    char extra[256];
    std::snprintf(extra, sizeof extra, ",\"fileGb\":%.2f,\"frames\":%d,\"picture\":\"%dx%d\",\"bareGrabP50Ms\":%.2f,"
                  "\"ratioP50\":%.2f", gigabytes, frames, size.width(), size.height(), percentile(reference, 0.5),
                  percentile(moves, 0.5) / percentile(reference, 0.5));
    printCase("slider_move_to_paint", moves, extra);
    printCase("bare_grab_same_frames", reference);
    printCase("burst_of_10_moves_to_paint", bursts);
    std::snprintf(extra, sizeof extra, ",\"firstOpenMs\":%.1f", firstOpenMs);
    printCase("select_scene_to_paint", selections, extra);
    return 0;
}
