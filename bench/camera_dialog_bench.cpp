// The camera dialog during a capture from the simulated camera: the time
// from the second press of the capture button until the capture has ended
// and the dialog's controls are back, and the largest gap between the ticks
// of a 10 ms timer on the user-interface thread while the capture runs.
//
//   QT_QPA_PLATFORM=offscreen camera_dialog_bench [--repeat 5] [--seconds 2] [--type 2]
//
// The tape and the settings file are generated into a temporary folder and
// removed at the end. One JSON line per measure: p50/p95/max in milliseconds.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "camera/system_buses.h"
#include "gui/camera_dialog.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

double millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void report(const char* name, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    auto at = [&](double q) { return values[std::min(values.size() - 1, static_cast<size_t>(q * values.size()))]; };
    std::printf("{\"case\":\"%s\",\"runs\":%zu,\"p50_ms\":%.1f,\"p95_ms\":%.1f,\"max_ms\":%.1f,\"target_ms\":200}\n",
                name, values.size(), at(0.5), at(0.95), values.back());
}

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == name) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int repeat = option(argc, argv, "--repeat", 5), seconds = option(argc, argv, "--seconds", 2);
    const int type = option(argc, argv, "--type", 2);
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("camera_dialog_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string tape = (dir / "tape.avi").string();
    klemora::fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions.push_back({klemora::fixtures::defaultSessionStart(), 25 * (seconds + 4), {}});
    if (klemora::fixtures::writeDvAvi(tape, options) != 1) return 1;
    ::setenv(klemora::camera::kSimulatedCameraVariable, tape.c_str(), 1);
    std::ofstream(dir / "Klemora.ini") << "[Data]\nVideoDevice=Simulated\nUseDvType=" << type << "\n";
    klemora::app::SettingsStore settings((dir / "Klemora.ini").string());

    // The start question (384) and any other box: OK.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Ok)->click();
    });
    answer.start(5);

    std::vector<double> stops, gaps;
    klemora::gui::CameraDialog dialog(settings, {});
    dialog.show();
    while (!dialog.cameraActive()) QApplication::processEvents(QEventLoop::AllEvents, 10);
    for (int run = 0; run < repeat; ++run) {
        dialog.fileNameBox()->setText(QString::fromStdString((dir / ("capture" + std::to_string(run) + ".avi")).string()));
        Clock::time_point pressed{}, lastTick = Clock::now();
        double gap = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const Clock::time_point now = Clock::now();
            if (dialog.capturing()) gap = std::max(gap, millis(now - lastTick));
            lastTick = now;
        });
        tick.start(10);
        QTimer::singleShot(1500 + seconds * 1000, [&] {
            pressed = Clock::now();
            dialog.captureButton()->click();
        });
        dialog.captureButton()->click();  // returns once the capture has ended
        stops.push_back(millis(Clock::now() - pressed));
        gaps.push_back(gap);
    }
    report("capture_stop_to_controls_back", stops);
    report("ui_tick_gap_during_capture", gaps);
    dialog.accept();
    std::filesystem::remove_all(dir);
    return 0;
}
