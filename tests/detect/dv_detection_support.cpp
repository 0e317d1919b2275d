#include "tests/detect/dv_detection_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace klemora::test {

scene::RecordingTime stamp(int year, int month, int day, int hours, int minutes, int seconds) {
    return scene::recordingTimeOf(year, month, day, hours, minutes, seconds);
}

fixtures::DvSession session(const scene::RecordingTime& start, int frames) {
    fixtures::DvSession s;
    s.start = start;
    s.frames = frames;
    return s;
}

std::string writeRecording(const TempDir& dir, const std::string& name, const fixtures::DvFixtureOptions& options) {
    std::string path = dir.file(name);
    std::string error;
    EXPECT_EQ(fixtures::writeDvAvi(path, options, nullptr, &error), 1) << error;
    return path;
}

void patchHeaderFrameCount(const std::string& path, uint32_t frames) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    char id[4] = {};
    file.seekg(24);
    file.read(id, 4);
    ASSERT_EQ(std::memcmp(id, "avih", 4), 0) << "the main header is not the first chunk of 'hdrl'";
    const char bytes[4] = {static_cast<char>(frames), static_cast<char>(frames >> 8), static_cast<char>(frames >> 16),
                           static_cast<char>(frames >> 24)};
    file.seekp(24 + 8 + 16);  // dwTotalFrames
    file.write(bytes, 4);
    ASSERT_TRUE(file.good());
}

detect::SearchSource wholeFile(const std::string& path, int32_t frames) { return {path, 0, frames - 1}; }

void runDetection(DetectionRun& run, const std::vector<detect::SearchSource>& sources, ScriptedUserInterface& ui,
                  int diff, int trim, const app::DebugLog& log) {
    detect::DvDetectionSettings settings{diff, trim, log};
    run.result = detect::FindPerDvDatestamp(sources, run.scenes, ui, settings);
}

std::vector<Span> spansOf(const scene::SceneList& scenes) {
    std::vector<Span> spans;
    for (int i = 0; i < scenes.count(); ++i) spans.push_back({scenes.startFrame(i), scenes.stopFrame(i)});
    return spans;
}

}  // namespace klemora::test
