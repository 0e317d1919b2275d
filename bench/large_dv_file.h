#pragma once
// What the GUI benches share: the large OpenDML DV file they scrub through,
// serving events until a picture arrives, and the percentile they report.
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fixtures/dv_fixture.h"

namespace klemora::bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

// PAL DV type 2 with sound in OpenDML RIFF segments, a recording session per hour.
inline bool makeLargeDvFile(const std::string& path, int32_t frames) {
    fixtures::DvFixtureOptions options = fixtures::hourlySessionsOptions(frames, 2);
    options.openDml = fixtures::OpenDmlLayout::Segments;
    std::string error;
    if (fixtures::writeDvAvi(path, options, nullptr, &error) == 1) return true;
    std::fprintf(stderr, "fixture: %s\n", error.c_str());
    return false;
}

// Serves events until `lastShown` is `frame`; false after 10 s.
inline bool waitShown(const int& lastShown, int frame) {
    auto start = Clock::now();
    while (lastShown != frame) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (msSince(start) > 10000) return false;
    }
    return true;
}

}  // namespace klemora::bench
