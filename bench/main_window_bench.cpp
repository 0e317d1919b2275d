// The main window under load: start-up to a painted window with a project of
// 2000 scenes, a Down key in the list until the next scene's picture is
// painted, switching between two groups of 2000 scenes until the list has
// repainted, and adding 20 large files once to the end and once with a Stop
// after 300 ms (the gaps between timer ticks on the user-interface thread
// while the run goes on, the time from the Stop until addFiles returns).
//
//   QT_QPA_PLATFORM=offscreen main_window_bench [--frames 300] [--repeat 5] [--keys 200] [--switches 20]
//                                               [--large-frames 15000] [--stop-after 300] [--cold] [--keep]
//
// Everything is generated into a temporary folder and removed at the end;
// the 20 large files are hard links of one DV file (copies where links
// fail), 15000 frames (2.2 GB) by default: adding a file walks its movie
// chunks, so small files are all added before any Stop could come. --cold drops
// the large file from the page cache before each run (the links share it,
// so only the first file is read from the disk).
// The settings file is a fresh Klemora.ini there (German, media framework
// tested, no autobackup). One JSON line per case with p50/p95/max in
// milliseconds where there are repetitions, the target and peak RSS; the
// start-up line also has the whole first start (QApplication, the start-up
// steps and the first window until painted).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidgetItem>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/startup.h"
#include "gui/group_tree_view.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/progress_window.h"
#include "gui/qt_user_interface.h"
#include "gui/scene_list_view.h"
#include "gui/startup_facts.h"
#include "media/source_probe.h"
#include "scene/add_files.h"
#include "scene/group_file.h"
#include "scene/group_tree.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using namespace klemora;
using Clock = std::chrono::steady_clock;

constexpr int kScenes = 2000;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double maxOf(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

long peakRssKb() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

const char* metText(bool met) { return met ? "true" : "false"; }

// A case with repetitions, judged by `judged` (the p95 or the maximum) against the target.
void printRepeated(const char* name, const std::vector<double>& ms, double targetMs, double judged,
                   const std::string& extra = {}) {
    if (ms.empty()) return;
    std::printf("{\"case\":\"%s\",\"samples\":%zu,\"p50Ms\":%.2f,\"p95Ms\":%.2f,\"maxMs\":%.2f,\"targetMs\":%.0f,"
                "\"met\":%s%s,\"peakRssKb\":%ld}\n",
                name, ms.size(), percentile(ms, 0.5), percentile(ms, 0.95), maxOf(ms), targetMs,
                metText(judged <= targetMs), extra.c_str(), peakRssKb());
    std::fflush(stdout);
}

std::string field(const char* name, double value) {
    char text[96];
    std::snprintf(text, sizeof text, ",\"%s\":%.2f", name, value);
    return text;
}

// Clicks the first button of every message box that opens, as a person
// who reads it would, and counts them.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer() {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box->buttons().isEmpty()) return;
            std::fprintf(stderr, "message box: %s\n", box->text().toStdString().c_str());
            ++m_count;
            box->buttons().front()->click();
        });
        m_timer.start(20);
    }
    int count() const { return m_count; }

private:
    QTimer m_timer;
    int m_count = 0;
};

// Notes the paint events of a widget that come while `accept` holds.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* widget, std::function<bool()> accept) : m_accept(std::move(accept)) {
        widget->installEventFilter(this);
    }
    void reset() { m_painted = false; }
    bool painted() const { return m_painted; }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && (!m_accept || m_accept())) {
            m_painted = true;
            ++m_count;
        }
        return false;
    }

private:
    std::function<bool()> m_accept;
    bool m_painted = false;
    int m_count = 0;
};

// Serves events until `done` holds (it is read after each batch, so a paint
// counts once it has been carried out); false after 10 s.
bool serveUntil(const std::function<bool()>& done) {
    auto start = Clock::now();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (msSince(start) > 10000) return false;
    }
    return true;
}

bool makeDvFile(const std::string& path, int32_t frames) {
    std::string error;
    if (fixtures::writeDvAvi(path, fixtures::singleSessionOptions(frames), nullptr, &error) == 1) return true;
    std::fprintf(stderr, "fixture: %s\n", error.c_str());
    return false;
}

// `count` scenes over `path`, each 10 frames long, the starts one frame apart
// (wrapping), so that neighbouring scenes show different pictures.
bool fillScenes(scene::SceneList& list, const std::string& path, int32_t frames, int count) {
    app::SilentUserInterface ui;
    media::MediaSourceProbe probe(ui);
    scene::SceneList whole;
    if (scene::addWholeFiles(whole, {path}, probe, ui) != 1) return false;
    const int32_t starts = std::max(1, frames - 10);
    for (int i = 0; i < count; ++i) {
        int row = list.AddNewScene();
        if (row < 0 || list.replaceRecord(row, whole.record(0)) != 1) return false;
        const int32_t start = i % starts;
        list.setStopFrame(row, std::min(frames - 1, start + 9));
        list.setStartFrame(row, start);
        list.setDefinedStart(row, start);
        list.setDefinedStop(row, std::min(frames - 1, start + 9));
    }
    return true;
}

bool writeProject(const std::string& path, const std::string& source, int32_t frames,
                  const std::vector<std::string>& groups) {
    scene::GroupTree tree;
    if (groups.empty()) {
        if (!fillScenes(tree.root().list(), source, frames, kScenes)) return false;
    }
    for (const std::string& name : groups)
        if (!fillScenes(tree.addGroup(nullptr, name).list(), source, frames, kScenes)) return false;
    return scene::writeGroupFile(path, tree) == 1;
}

bool linkOrCopy(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::create_hard_link(from, to, error);
    if (!error) return true;
    return std::filesystem::copy_file(from, to, error);
}

struct Options {
    int32_t frames = 300;
    int repeat = 5;
    int keys = 200;
    int switches = 20;
    int32_t largeFrames = 15000;
    int stopAfterMs = 300;
    bool cold = false;
    bool keep = false;
};

std::optional<Options> parse(const QStringList& args) {
    Options options;
    for (int i = 1; i < args.size(); ++i) {
        auto value = [&]() { return i + 1 < args.size() ? args[++i].toInt() : 0; };
        if (args[i] == "--frames") options.frames = std::max(20, value());
        else if (args[i] == "--repeat") options.repeat = std::max(1, value());
        else if (args[i] == "--keys") options.keys = std::max(1, value());
        else if (args[i] == "--switches") options.switches = std::max(2, value());
        else if (args[i] == "--large-frames") options.largeFrames = std::max(25, value());
        else if (args[i] == "--stop-after") options.stopAfterMs = std::max(1, value());
        else if (args[i] == "--cold") options.cold = true;
        else if (args[i] == "--keep") options.keep = true;
        else return std::nullopt;
    }
    return options;
}

class Bench {
public:
    Bench(const Options& options, const std::string& folder) : m_options(options), m_folder(folder) {
        const std::string ini = m_folder + "/Klemora.ini";
        std::ofstream(ini) << "[Data]\nLang=DE\ndxTested=1\nEnableBackup=0\n";
        m_store = std::make_unique<app::SettingsStore>(ini);
    }

    bool startUpSteps(double applicationMs);
    bool startToPaint();
    bool keyToPicture();
    bool groupSwitches();
    bool addWithStop();

private:
    struct AddRun {
        std::vector<double> gaps;  // between the ticker's ticks, the last one until addFiles returned
        double runMs = 0;
        double stopToReturnMs = -1;
        int added = 0;
        int progressPaints = 0;
    };
    AddRun runAdd(const QStringList& paths, int stopAfterMs);
    void printAddRun(const char* name, const AddRun& run, int stopAfterMs) const;
    std::string file(const std::string& name) const { return m_folder + "/" + name; }
    std::unique_ptr<gui::MainWindow> openWindow(const std::string& project);
    bool rowsShown() const { return m_window && m_window->sceneList()->model()->rowCount() == kScenes; }

    Options m_options;
    std::string m_folder;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<gui::MainWindow> m_window;
    BoxAnswerer m_boxes;
    double m_beforeWindowMs = 0;  // QApplication and the start-up steps
};

std::unique_ptr<gui::MainWindow> Bench::openWindow(const std::string& project) {
    auto window = std::make_unique<gui::MainWindow>(*m_store, app::DebugLog{});
    window->show();
    window->openAtStart(QString::fromStdString(project));
    return window;
}

// The program's own steps before its window: the media framework, the
// screen, the settings, the language.
bool Bench::startUpSteps(double applicationMs) {
    auto start = Clock::now();
    app::StartupFacts facts = gui::desktopStartupFacts();
    gui::QtUserInterface ui(nullptr);
    bool firstStart = false;
    app::StartupResult result = app::startUp(*m_store, facts, ui, [&] { firstStart = true; });
    const double stepsMs = msSince(start);
    m_beforeWindowMs = applicationMs + stepsMs;
    std::printf("{\"case\":\"program_start_steps\",\"qapplicationMs\":%.2f,\"startUpMs\":%.2f,\"runMainWindow\":%s,"
                "\"peakRssKb\":%ld}\n",
                applicationMs, stepsMs, metText(result.runMainWindow && !firstStart), peakRssKb());
    return result.runMainWindow && !firstStart;
}

bool Bench::startToPaint() {
    const std::string source = file("scenes.avi");
    const std::string project = file("scenes2000.scn");
    if (!makeDvFile(source, m_options.frames) || !writeProject(project, source, m_options.frames, {})) return false;
    std::vector<double> total, construct, load;
    for (int i = 0; i < m_options.repeat; ++i) {
        m_window.reset();
        QCoreApplication::processEvents();
        auto start = Clock::now();
        m_window = std::make_unique<gui::MainWindow>(*m_store, app::DebugLog{});
        PaintWatch watch(m_window->sceneList()->viewport(), [this] { return rowsShown(); });
        construct.push_back(msSince(start));
        m_window->show();
        auto loadStart = Clock::now();
        m_window->openAtStart(QString::fromStdString(project));
        load.push_back(msSince(loadStart));
        if (!serveUntil([&] { return watch.painted(); })) return false;
        total.push_back(msSince(start));
    }
    printRepeated("start_to_painted_2000_scenes", total, 1500, maxOf(total),
                  field("firstMs", total.front()) + field("wholeFirstStartMs", m_beforeWindowMs + total.front()) +
                      field("constructP50Ms", percentile(construct, 0.5)) +
                      field("openAtStartP50Ms", percentile(load, 0.5)));
    return true;
}

// The window of startToPaint, its 2000 scenes shown.
bool Bench::keyToPicture() {
    if (!rowsShown()) return false;
    gui::SceneListView* list = m_window->sceneList();
    int lastShown = -1;
    QObject::connect(m_window->preview(), &gui::PreviewPanel::frameShown, [&](int frame) { lastShown = frame; });
    list->setFocus();
    list->selectRows({0});
    const scene::SceneList& shown = m_window->shownList();
    if (!serveUntil([&] { return lastShown == shown.startFrame(0); })) return false;
    std::vector<double> ms;
    for (int row = 1; row <= m_options.keys && row < kScenes; ++row) {
        const int expected = shown.startFrame(row);
        auto start = Clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(list, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(list, &release);
        if (!serveUntil([&] { return lastShown == expected; })) {
            std::fprintf(stderr, "row %d: frame %d not shown (last %d)\n", row, expected, lastShown);
            return false;
        }
        ms.push_back(msSince(start));
    }
    printRepeated("down_key_to_picture_painted", ms, 30, percentile(ms, 0.95));
    return true;
}

bool Bench::groupSwitches() {
    const std::string project = file("two_groups.scn");
    if (!writeProject(project, file("scenes.avi"), m_options.frames, {"A", "B"})) return false;
    m_window.reset();
    m_window = openWindow(project);
    gui::GroupTreeView* tree = m_window->groupTree();
    QTreeWidgetItem* items[2] = {};
    for (int n = 0; n < 2; ++n) {
        const QList<QTreeWidgetItem*> found =
            tree->findItems(QString(QChar('A' + n)), Qt::MatchExactly | Qt::MatchRecursive);
        if (found.isEmpty()) return false;
        items[n] = found.front();
    }
    const scene::Group* wanted = nullptr;
    PaintWatch watch(m_window->sceneList()->viewport(),
                     [&] { return m_window->shownGroup() == wanted && rowsShown(); });
    std::vector<double> ms;
    for (int i = 0; i < m_options.switches; ++i) {
        QTreeWidgetItem* item = items[i % 2];
        wanted = nullptr;
        for (scene::Group* group : m_window->tree().depthFirst())
            if (group->name() == item->text(0).toStdString()) wanted = group;
        watch.reset();
        auto start = Clock::now();
        tree->setCurrentItem(item);
        if (!serveUntil([&] { return watch.painted(); })) return false;
        ms.push_back(msSince(start));
    }
    printRepeated("switch_group_2000_scenes_to_painted", ms, 200, maxOf(ms));
    return true;
}

// 20 hard links (or copies) of one large DV file.
bool makeLargeFiles(const std::string& folder, int32_t frames, QStringList& paths) {
    const std::filesystem::path large = folder + "/large.avi";
    if (!makeDvFile(large.string(), frames)) return false;
    for (int n = 1; n <= 20; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/large_%02d.avi", n);
        if (!linkOrCopy(large, folder + name)) return false;
        paths << QString::fromStdString(folder + name);
    }
    return true;
}

// Written pages out, then dropped from the page cache; false when it failed.
bool dropFromPageCache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool dropped = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

// One addFiles run with a 10 ms ticker on the user-interface thread; with
// `stopAfterMs` >= 0 the ticker asks for the Stop once that time has passed.
Bench::AddRun Bench::runAdd(const QStringList& paths, int stopAfterMs) {
    gui::QtUserInterface& ui = m_window->userInterface();
    AddRun run;
    std::optional<Clock::time_point> stopped;
    std::unique_ptr<PaintWatch> progressPaints;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastTick = start;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        run.gaps.push_back(msBetween(lastTick, now));
        lastTick = now;
        if (!progressPaints && ui.progressWindow())
            progressPaints = std::make_unique<PaintWatch>(ui.progressWindow(), std::function<bool()>{});
        if (stopAfterMs >= 0 && !stopped && msBetween(start, now) >= stopAfterMs) {
            stopped = now;
            ui.requestCancel();
        }
    });
    const int before = m_window->shownList().count();
    ticker.start(10);
    m_window->addFiles(paths);
    const Clock::time_point returned = Clock::now();
    ticker.stop();
    run.gaps.push_back(msBetween(lastTick, returned));
    run.runMs = msBetween(start, returned);
    run.stopToReturnMs = stopped ? msBetween(*stopped, returned) : -1.0;
    run.added = m_window->shownList().count() - before;
    run.progressPaints = progressPaints ? progressPaints->count() : 0;
    return run;
}

void Bench::printAddRun(const char* name, const AddRun& run, int stopAfterMs) const {
    char extra[256];
    std::snprintf(extra, sizeof extra,
                  ",\"runMs\":%.1f,\"filesAdded\":%d,\"progressPaints\":%d,\"stopAfterMs\":%d,"
                  "\"stopToReturnMs\":%.1f,\"messageBoxes\":%d",
                  run.runMs, run.added, run.progressPaints, stopAfterMs, run.stopToReturnMs, m_boxes.count());
    printRepeated(name, run.gaps, 200, std::max(maxOf(run.gaps), run.stopToReturnMs), extra);
}

// One run to the end for the pace, then one with the Stop; undo empties
// the list between them. A stopToReturnMs of -1: the run ended before the
// Stop was due.
bool Bench::addWithStop() {
    QStringList paths;
    if (!makeLargeFiles(m_folder, m_options.largeFrames, paths)) return false;
    m_window.reset();
    m_window = openWindow({});
    const std::string large = m_folder + "/large.avi";
    if (m_options.cold && !dropFromPageCache(large)) return false;
    const AddRun whole = runAdd(paths, -1);
    printAddRun("add_20_files_to_end_tick_gaps", whole, -1);
    m_window->undo();
    if (m_options.cold && !dropFromPageCache(large)) return false;
    const AddRun stopped = runAdd(paths, m_options.stopAfterMs);
    printAddRun("add_20_files_with_stop_tick_gaps", stopped, m_options.stopAfterMs);
    return whole.added == static_cast<int>(paths.size());
}

}  // namespace

int main(int argc, char** argv) {
    auto applicationStart = Clock::now();
    QApplication application(argc, argv);
    const double applicationMs = msSince(applicationStart);
    std::optional<Options> options = parse(QCoreApplication::arguments());
    if (!options) {
        std::fprintf(stderr, "usage: main_window_bench [--frames N] [--repeat N] [--keys N] [--switches N] "
                             "[--large-frames N] [--stop-after MS] [--cold] [--keep]\n");
        return 2;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("klemora_main_window_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    bool ok = false;
    {
        Bench bench(*options, folder.string());
        ok = bench.startUpSteps(applicationMs) && bench.startToPaint() && bench.keyToPicture() &&
             bench.groupSwitches() && bench.addWithStop();
    }
    if (!options->keep) std::filesystem::remove_all(folder);
    if (!ok) std::fprintf(stderr, "main_window_bench: a case did not complete\n");
    return ok ? 0 : 1;
}
