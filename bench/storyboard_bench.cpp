// The storyboard over a large DV file: 500 scenes of one 2 GB OpenDML DV
// file, 4 pictures per stripe, stripes 512 pixels wide (two in a row) in a
// 1024 x 768 viewport. It measures how long until the first screen is fully
// painted, how long until all 2000 pictures are ready, the peak memory
// (VmHWM), and a scroll over all stripes with the paint time of every frame,
// counting the frames that found a picture of theirs not decoded yet.
//
//   QT_QPA_PLATFORM=offscreen storyboard_bench [--frames 14000] [--scenes 500] [--threads 0] [--step 40] [--keep] [--file PATH]
//
// The storyboard asks for the pictures in view and a few screens around
// them; the bench asks for the rest in list order after the first screen,
// as a scroll through the whole list would. 14000 PAL frames of DV type 2
// with sound make about 2 GB; the file is generated into a temporary folder
// and removed at the end. One JSON line per case; targets: first screen
// <= 1 s, all <= 10 s on 2 cores, peak < 400 MB, every scroll frame <= 16 ms
// with no frame waiting for a decode.
#include <unistd.h>

#include <QApplication>
#include <QScrollBar>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ui.h"
#include "bench/large_dv_file.h"
#include "gui/storyboard_view.h"
#include "gui/thumbnail_loader.h"
#include "media/media_probe.h"
#include "scene/scene_list.h"

namespace {

using namespace klemora;
using namespace klemora::bench;

constexpr int kViewportWidth = 1024;
constexpr int kViewportHeight = 768;
constexpr int kStripeWidth = 512;
constexpr int kPictures = 4;

long vmHwmKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
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

// The loader's keys of the pictures of `row`, as the storyboard asks for them.
std::vector<gui::ThumbnailKey> keysOf(const gui::StoryboardView& view, const scene::SceneList& list, int row) {
    std::vector<gui::ThumbnailKey> keys;
    QString file = QString::fromStdString(std::string(list.sourceFile(row)));
    QSize size = view.pictureRect(row, 0).size();
    for (int32_t frame : view.pictureFrames(row)) keys.push_back({file, frame, size});
    return keys;
}

std::vector<int> visibleRows(const gui::StoryboardView& view) {
    std::vector<int> rows;
    for (int row = 0; row < view.stripeCount(); ++row) {
        QRect rect = view.stripeRect(row);
        if (rect.bottom() >= 0 && rect.top() < kViewportHeight) rows.push_back(row);
    }
    return rows;
}

// Serves events until `done` holds; false after `limitMs`.
template <typename Done>
bool serveUntil(Done done, double limitMs) {
    auto start = Clock::now();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (msSince(start) > limitMs) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int32_t frames = 14000;
    int sceneCount = 500;
    int threads = 0;
    int step = 40;
    bool keep = false;
    std::string path;
    QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        auto value = [&]() { return i + 1 < args.size() ? args[++i] : QString(); };
        if (args[i] == "--frames") frames = value().toInt();
        else if (args[i] == "--scenes") sceneCount = std::max(1, value().toInt());
        else if (args[i] == "--threads") threads = std::max(0, value().toInt());
        else if (args[i] == "--step") step = std::max(1, value().toInt());
        else if (args[i] == "--keep") keep = true;
        else if (args[i] == "--file") path = value().toStdString();
        else {
            std::fprintf(stderr, "usage: storyboard_bench [--frames N] [--scenes N] [--threads N] [--step PX] [--keep] "
                                 "[--file PATH]\n");
            return 2;
        }
    }
    std::filesystem::path folder;
    if (path.empty()) {
        folder = std::filesystem::temp_directory_path() / ("klemora_storyboard_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path = (folder / "large.avi").string();
        if (!makeLargeDvFile(path, frames)) return 1;
    }
    app::SilentUserInterface ui;
    {
        media::MediaInfo probed;
        if (media::ProbeMedia(path, probed, ui) != 1) return 1;
        frames = probed.frameCount;
    }
    const double gigabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e9;
    const long hwmBeforeKb = vmHwmKb();
    scene::SceneList list = scenesOf(path, frames, sceneCount);

    gui::ThumbnailLoader loader(threads);
    QSet<gui::ThumbnailKey> ready;
    QObject::connect(&loader, &gui::ThumbnailLoader::pictureReady,
                     [&ready](const gui::ThumbnailKey& key) { ready.insert(key); });
    gui::StoryboardView view(loader, ui);
    view.resize(kViewportWidth + view.verticalScrollBar()->sizeHint().width() + 2 * view.frameWidth(),
                kViewportHeight + 2 * view.frameWidth());
    view.setPictureCount(kPictures);
    view.setStripeWidth(kStripeWidth);
    view.show();
    // The first size's delayed layout is over before the clock starts.
    serveUntil([] { return false; }, 2.5 * gui::StoryboardView::kResizeDelayMs);
    if (view.viewport()->width() != kViewportWidth) std::fprintf(stderr, "viewport %d wide\n", view.viewport()->width());

    auto start = Clock::now();
    view.setList(&list);
    std::vector<gui::ThumbnailKey> firstScreen;
    for (int row : visibleRows(view))
        for (const gui::ThumbnailKey& key : keysOf(view, list, row)) firstScreen.push_back(key);
    auto screenReady = [&] {
        return std::all_of(firstScreen.begin(), firstScreen.end(), [&](const auto& key) { return ready.contains(key); });
    };
    bool ok = !firstScreen.empty() && serveUntil(screenReady, 30000);
    view.viewport()->repaint();  // the last picture's paint, at once
    const double firstScreenMs = msSince(start);

    // The rest behind what the storyboard asked for, in list order.
    int priority = 1000;
    for (int row = 0; row < list.count(); ++row)
        for (const gui::ThumbnailKey& key : keysOf(view, list, row)) loader.picture(key, priority++);
    const int total = list.count() * kPictures;
    ok = ok && serveUntil([&] { return ready.size() >= total; }, 120000);
    const double allMs = msSince(start);

    QScrollBar* bar = view.verticalScrollBar();
    std::vector<double> paints;
    int waiting = 0;
    for (int scroll = 0; ok && scroll <= bar->maximum(); scroll += step) {
        bar->setValue(scroll);
        auto paintStart = Clock::now();
        view.viewport()->repaint();
        paints.push_back(msSince(paintStart));
        bool allThere = true;
        for (int row : visibleRows(view))
            for (const gui::ThumbnailKey& key : keysOf(view, list, row)) allThere = allThere && ready.contains(key);
        if (!allThere) ++waiting;
        QCoreApplication::processEvents();  // the storyboard's request timer
    }
    const long hwmKb = vmHwmKb();
    const int threadCount = loader.threads();
    const double cacheMb = static_cast<double>(loader.cacheBytes()) / (1 << 20);
    const QString picture = QString("%1x%2").arg(firstScreen.empty() ? 0 : firstScreen[0].size.width())
                                .arg(firstScreen.empty() ? 0 : firstScreen[0].size.height());
    if (!folder.empty() && !keep) std::filesystem::remove_all(folder);
    if (!ok || paints.empty()) {
        std::fprintf(stderr, "storyboard_bench: the pictures did not all come\n");
        return 1;
    }
    std::printf("{\"case\":\"first_screen_painted\",\"ms\":%.1f,\"pictures\":%zu,\"picture\":\"%s\",\"threads\":%d,"
                "\"fileGb\":%.2f,\"scenes\":%d}\n",
                firstScreenMs, firstScreen.size(), qPrintable(picture), threadCount, gigabytes, list.count());
    std::printf("{\"case\":\"all_pictures_ready\",\"ms\":%.1f,\"pictures\":%d,\"cacheMb\":%.1f}\n", allMs, total,
                cacheMb);
    std::printf("{\"case\":\"scroll_paint\",\"frames\":%zu,\"stepPx\":%d,\"p95Ms\":%.2f,\"maxMs\":%.2f,"
                "\"framesWaitingForDecode\":%d}\n",
                paints.size(), step, percentile(paints, 0.95), *std::max_element(paints.begin(), paints.end()),
                waiting);
    std::printf("{\"case\":\"peak_memory\",\"vmHwmMb\":%.1f,\"beforeLoaderMb\":%.1f}\n", hwmKb / 1024.0,
                hwmBeforeKb / 1024.0);
    return 0;
}
