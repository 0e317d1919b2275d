// The scene stripes over a large DV file: 500 scenes of one 2 GB OpenDML DV
// file, 4 pictures per stripe, two stripes per row in a 1024 x 768 client.
// It measures how long until the first screen's pictures are all painted,
// how long until all 2000 pictures are ready, the peak memory (VmHWM), and
// a scroll over all stripes with the paint time of every frame once the
// pictures are cached (and how many frames found a picture missing).
//
//   QT_QPA_PLATFORM=offscreen storyboard_bench [--frames 14000] [--scenes 500] [--threads 0] [--step 40] [--keep] [--file PATH]
//
// The pictures come from the thumbnail loader in the order a view asks for
// them: the visible stripes first, then the rest in list order. A frame of
// the scroll paints the stripes in view from the loader's cache into an
// image of the client's size, as the view's paint does.
// 14000 PAL frames of DV type 2 with sound make about 2 GB; the file is
// generated into a temporary folder and removed at the end. One JSON line
// per case; targets: first screen <= 1 s, all <= 10 s on 2 cores, peak
// < 400 MB, every scroll frame <= 16 ms with no picture missing.
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ui.h"
#include "bench/large_dv_file.h"
#include "gui/letterbox.h"
#include "gui/stripe_layout.h"
#include "gui/thumbnail_loader.h"
#include "media/media_probe.h"
#include "scene/scene_list.h"

namespace {

using namespace klemora;
using namespace klemora::bench;

constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 768;
constexpr int kStripeWidth = 512;
constexpr int kPictures = 4;
constexpr int kMargin = gui::kDefaultStripeMargin;

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

// Where the stripes and their pictures lie, as the storyboard places them.
struct Layout {
    gui::StripeGeometry geometry;
    int pictureWidth = 0;
    gui::Letterbox box;  // inside one picture's area
    int rows = 0;

    Layout(int scenes, bool wide) {
        geometry = gui::stripeGeometry(kStripeWidth, kClientWidth, kPictures, wide);
        int innerWidth = geometry.stripeWidth - 2 * gui::kStripeBorder - 2 * kMargin;
        int innerHeight = geometry.stripeHeight - 2 * gui::kStripeBorder - 2 * kMargin;
        pictureWidth = gui::stripePictureWidth(innerWidth, kPictures);
        box = gui::letterboxFor(pictureWidth, innerHeight, wide);
        rows = (scenes + geometry.stripesPerRow - 1) / geometry.stripesPerRow;
    }
    int totalHeight() const { return rows * geometry.stripeHeight; }
    QPoint stripeAt(int index, int scroll) const {
        return {index % geometry.stripesPerRow * geometry.stripeWidth,
                index / geometry.stripesPerRow * geometry.stripeHeight - scroll};
    }
    QRect pictureRect(int index, int picture, int scroll) const {
        QPoint stripe = stripeAt(index, scroll);
        int x = stripe.x() + gui::kStripeBorder + kMargin + picture * (pictureWidth + gui::kStripePictureGap) + box.x;
        int y = stripe.y() + gui::kStripeBorder + kMargin + box.y;
        return {x, y, box.width, box.height};
    }
    // The stripes a client scrolled to `scroll` shows, in list order.
    std::pair<int, int> visible(int scenes, int scroll) const {
        int first = std::max(0, scroll / geometry.stripeHeight) * geometry.stripesPerRow;
        int last = std::min(scenes, ((scroll + kClientHeight) / geometry.stripeHeight + 1) * geometry.stripesPerRow);
        return {first, last};
    }
};

class StripePictures {
public:
    StripePictures(gui::ThumbnailLoader& loader, const scene::SceneList& list, const Layout& layout)
        : m_loader(loader), m_list(list), m_layout(layout), m_file(QString::fromStdString(std::string(list.sourceFile(0)))) {
        for (int i = 0; i < list.count(); ++i)
            m_frames.push_back(gui::stripePictureFrames(list.startFrame(i), list.stopFrame(i), kPictures,
                                                        gui::StripeType::Centred));
    }

    gui::ThumbnailKey key(int scene, int picture) const {
        return {m_file, m_frames[static_cast<size_t>(scene)][static_cast<size_t>(picture)],
                QSize(m_layout.box.width, m_layout.box.height)};
    }

    // One paint of the client scrolled to `scroll`: the visible pictures
    // first, then (with `askRest`) every other one in list order. The number
    // of visible pictures not there yet.
    int paint(QImage& client, int scroll, bool askRest) {
        QPainter painter(&client);
        painter.fillRect(client.rect(), QColor(212, 208, 200));
        m_loader.startRequestRound();
        auto [first, last] = m_layout.visible(m_list.count(), scroll);
        int missing = 0;
        int priority = 0;
        for (int scene = first; scene < last; ++scene) {
            QPoint at = m_layout.stripeAt(scene, scroll);
            painter.setPen(QColor(152, 148, 140));
            painter.drawRect(at.x(), at.y(), m_layout.geometry.stripeWidth - 1, m_layout.geometry.stripeHeight - 1);
            for (int picture = 0; picture < kPictures; ++picture) {
                QRect target = m_layout.pictureRect(scene, picture, scroll);
                painter.fillRect(target, QColor(152, 148, 140));
                QImage image = m_loader.picture(key(scene, picture), priority++);
                if (image.isNull()) ++missing;
                else painter.drawImage(target.topLeft(), image);
            }
        }
        if (askRest) {
            for (int scene = 0; scene < m_list.count(); ++scene) {
                if (scene >= first && scene < last) continue;
                for (int picture = 0; picture < kPictures; ++picture) m_loader.picture(key(scene, picture), priority++);
            }
        }
        return missing;
    }

    int visiblePictures(int scroll) const {
        auto [first, last] = m_layout.visible(m_list.count(), scroll);
        return (last - first) * kPictures;
    }
    int readyOnScreen(const QSet<gui::ThumbnailKey>& ready, int scroll) const {
        auto [first, last] = m_layout.visible(m_list.count(), scroll);
        int count = 0;
        for (int scene = first; scene < last; ++scene)
            for (int picture = 0; picture < kPictures; ++picture) count += ready.contains(key(scene, picture));
        return count;
    }

private:
    gui::ThumbnailLoader& m_loader;
    const scene::SceneList& m_list;
    const Layout& m_layout;
    QString m_file;
    std::vector<std::vector<int32_t>> m_frames;
};

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
    media::MediaInfo probed;
    if (media::ProbeMedia(path, probed, ui) != 1) return 1;
    media::GetExtraData(probed, false, ui);
    frames = probed.frameCount;
    const double gigabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e9;
    const long hwmBeforeKb = vmHwmKb();

    scene::SceneList list = scenesOf(path, frames, sceneCount);
    Layout layout(list.count(), probed.wideScreen != 0);
    QImage client(kClientWidth, kClientHeight, QImage::Format_RGB32);

    auto start = Clock::now();
    gui::ThumbnailLoader loader(threads);
    QSet<gui::ThumbnailKey> ready;
    QObject::connect(&loader, &gui::ThumbnailLoader::pictureReady,
                     [&ready](const gui::ThumbnailKey& key) { ready.insert(key); });
    StripePictures pictures(loader, list, layout);
    // As the view does: a paint asks for what it shows and then for the rest,
    // and the pictures that come make it paint again.
    pictures.paint(client, 0, true);
    const int firstScreen = pictures.visiblePictures(0);
    bool ok = serveUntil([&] { return pictures.readyOnScreen(ready, 0) == firstScreen; }, 30000);
    ok = ok && pictures.paint(client, 0, false) == 0;
    const double firstScreenMs = msSince(start);
    const int total = list.count() * kPictures;
    ok = ok && serveUntil([&] { return ready.size() == total; }, 120000);
    const double allMs = msSince(start);

    std::vector<double> paints;
    int waiting = 0;
    for (int scroll = 0; ok && scroll <= layout.totalHeight() - kClientHeight; scroll += step) {
        auto paintStart = Clock::now();
        int missing = pictures.paint(client, scroll, false);
        paints.push_back(msSince(paintStart));
        if (missing > 0) ++waiting;
        QCoreApplication::processEvents();
    }
    const long hwmKb = vmHwmKb();
    if (!folder.empty() && !keep) std::filesystem::remove_all(folder);
    if (!ok || paints.empty()) {
        std::fprintf(stderr, "storyboard_bench: the pictures did not all come\n");
        return 1;
    }
    std::printf("{\"case\":\"first_screen_painted\",\"ms\":%.1f,\"pictures\":%d,\"picture\":\"%dx%d\",\"threads\":%d,"
                "\"fileGb\":%.2f,\"scenes\":%d}\n",
                firstScreenMs, firstScreen, layout.box.width,
                layout.box.height, loader.threads(), gigabytes, list.count());
    std::printf("{\"case\":\"all_pictures_ready\",\"ms\":%.1f,\"pictures\":%d,\"cacheMb\":%.1f}\n", allMs, total,
                static_cast<double>(loader.cacheBytes()) / (1 << 20));
    std::printf("{\"case\":\"scroll_paint\",\"frames\":%zu,\"stepPx\":%d,\"p95Ms\":%.2f,\"maxMs\":%.2f,"
                "\"framesWaitingForDecode\":%d}\n",
                paints.size(), step, percentile(paints, 0.95), *std::max_element(paints.begin(), paints.end()),
                waiting);
    std::printf("{\"case\":\"peak_memory\",\"vmHwmMb\":%.1f,\"beforeLoaderMb\":%.1f}\n", hwmKb / 1024.0,
                hwmBeforeKb / 1024.0);
    return 0;
}
