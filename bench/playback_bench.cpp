// Real-speed playback of PAL DV (25 frames/s) and NTSC DV (29.97 frames/s):
// frames dropped and repeated, the offset between each picture's time and
// the play clock when it reached the screen (max and p95), CPU time per wall
// time, and the time from the play call to the first picture on screen.
//
//   QT_QPA_PLATFORM=offscreen playback_bench [--seconds 60] [--width 720] [--height 576]
//
// The clock is the sound device's when there is one (e.g. a PulseAudio
// null sink), else the wall clock; the JSON line says which.
#include <sys/resource.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/picture_view.h"
#include "gui/playback.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using namespace klemora;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](timeval t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

void playOne(const char* name, bool ntsc, int seconds, int width, int height, const std::string& folder) {
    const int frames = ntsc ? seconds * 30000 / 1001 : seconds * 25;
    std::string path = folder + "/" + name + ".avi";
    std::string error;
    fixtures::DvFixtureOptions options = fixtures::hourlySessionsOptions(frames, 2, 25);  // a new picture every second
    options.ntsc = ntsc;
    if (fixtures::writeDvAvi(path, options, nullptr, &error) != 1) {
        std::fprintf(stderr, "%s: %s\n", name, error.c_str());
        return;
    }
    gui::PictureView view;
    view.resize(width, height);
    view.show();
    const double cpuBefore = cpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    gui::Playback playback({});
    if (playback.open(path, 0, frames - 1) != gui::PlayFailure::None) {
        std::fprintf(stderr, "%s: cannot open\n", name);
        return;
    }
    QSize size = view.pictureRect().size();
    gui::PlayFailure failure = playback.run(
        size.width(), size.height(), 1.0f,
        [&](int32_t, const QImage& picture) {
            view.setPicture(picture);
            view.repaint();
        },
        [] { return false; });
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    const double cpu = cpuSeconds() - cpuBefore;
    const gui::PlayCounts& counts = playback.counts();
    std::printf("{\"case\":\"%s\",\"frames\":%d,\"shown\":%d,\"dropped\":%d,\"repeated\":%d,"
                "\"offset_max_ms\":%.2f,\"offset_p95_ms\":%.2f,\"cpu_per_wall\":%.3f,\"first_picture_ms\":%.1f,"
                "\"sound_clock\":%s,\"failed\":%s,\"wall_s\":%.2f}\n",
                name, frames, counts.shown, counts.dropped, counts.repeated,
                1000 * percentile(counts.offsets, 1.0), 1000 * percentile(counts.offsets, 0.95), cpu / wall,
                1000 * counts.firstPictureSeconds, counts.withSound ? "true" : "false",
                failure == gui::PlayFailure::None ? "false" : "true", wall);
    std::fflush(stdout);
    std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int seconds = 60, width = 720, height = 576;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds")) seconds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--width")) width = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--height")) height = std::atoi(argv[i + 1]);
    }
    std::string folder = (std::filesystem::temp_directory_path() / "klemora-playback-bench").string();
    std::filesystem::create_directories(folder);
    playOne("pal_dv", false, seconds, width, height, folder);
    playOne("ntsc_dv", true, seconds, width, height, folder);
    std::filesystem::remove_all(folder);
    return 0;
}
