#pragma once
// The simulated camera of the camera dialog tests: a DV tape file named by
// the environment, a prepared settings file, and waiting for what the
// dialog shows while a capture holds the test inside the button's click.
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/settings_store.h"
#include "camera/system_buses.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {

// 250 frames of PAL DV from timecode 00:10:00:00 as the simulated tape.
inline std::string writeCameraTape(const std::string& path, int type = 1) {
    fixtures::DvFixtureOptions options;
    options.type = type;
    options.sessions.push_back({fixtures::defaultSessionStart(), 250, scene::Timecode{0, 10, 0, 0}});
    std::string error;
    if (fixtures::writeDvAvi(path, options, nullptr, &error) != 1) qWarning("%s", error.c_str());
    return path;
}

inline constexpr const char* kSimulatedEntry = "Simulated DV Camera / DV tape tape.avi";

struct CameraSetup {
    TempDir dir;
    std::string tape = writeCameraTape(dir.file("tape.avi"));
    ScopedEnv simulated{camera::kSimulatedCameraVariable, tape.c_str()};
    std::unique_ptr<app::SettingsStore> store;

    // The settings file holds `data` in its "Data" section.
    app::SettingsStore& settings(const std::string& data) {
        std::ofstream(dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n" << data;
        store = std::make_unique<app::SettingsStore>(dir.file("Klemora.ini"));
        return *store;
    }
};

// Runs `action` once `condition` holds, checking every 20 ms: the way to
// act while a capture keeps the test inside the click that started it.
inline void once(QObject* owner, std::function<bool()> condition, std::function<void()> action) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, condition, action] {
        if (!condition()) return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start(20);
}

}  // namespace klemora::test
