#pragma once
// Shared set-up of the DV detection tests: recordings made of sessions, a run
// of FindPerDvDatestamp with a scripted seam, and a fixed time zone.
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "detect/dv_scene_detection.h"
#include "scene/scene_list.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {

// The zone every local-time conversion of a test uses; the old one returns after it.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) : m_env("TZ", zone) { tzset(); }

private:
    struct Reset {
        ~Reset() { tzset(); }
    };
    Reset m_reset;  // destroyed after m_env has put TZ back
    ScopedEnv m_env;
};

scene::RecordingTime stamp(int year, int month, int day, int hours, int minutes, int seconds);

fixtures::DvSession session(const scene::RecordingTime& start, int frames);

// Writes the recording; fails the test when the generator does.
std::string writeRecording(const TempDir& dir, const std::string& name, const fixtures::DvFixtureOptions& options);

// Sets the frame count of the main AVI header (the file may hold fewer frames).
void patchHeaderFrameCount(const std::string& path, uint32_t frames);

struct DetectionRun {
    scene::SceneList scenes;
    detect::DvDetectionResult result;
};

// One file over its whole range (lastFrame -1: its last frame).
detect::SearchSource wholeFile(const std::string& path, int32_t frames);

void runDetection(DetectionRun& run, const std::vector<detect::SearchSource>& sources, ScriptedUserInterface& ui,
                  int diff = 1, int trim = 0, const app::DebugLog& log = app::DebugLog::off());

struct Span {
    int32_t start;
    int32_t stop;
    bool operator==(const Span&) const = default;
};
inline void PrintTo(const Span& s, std::ostream* os) { *os << s.start << "-" << s.stop; }
std::vector<Span> spansOf(const scene::SceneList& scenes);

}  // namespace klemora::test
