// The DV date pass reads only the bytes of each frame its packs lie in; the
// scenes it finds must be those of reading every frame whole, edges,
// dates, timecodes and wide-screen flags alike, whatever the file's layout
// or damage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/detect/dv_detection_support.h"

namespace klemora::test {
namespace {

std::vector<std::string> scenesFound(const std::string& path, int32_t frames, bool wholeFrames, int trim) {
    ScriptedUserInterface ui;
    scene::SceneList scenes;
    detect::DvDetectionSettings settings{1, trim};
    settings.wholeFrames = wholeFrames;
    detect::DvDetectionResult result = detect::FindPerDvDatestamp({wholeFile(path, frames)}, scenes, ui, settings);
    std::vector<std::string> found{"status " + std::to_string(result.status)};
    for (int i = 0; i < scenes.count(); ++i) {
        scene::RecordingTime t = scenes.recordingTime(i);
        scene::Timecode tc = scenes.timecode(i);
        found.push_back(std::to_string(scenes.startFrame(i)) + "-" + std::to_string(scenes.stopFrame(i)) + " " +
                        std::to_string(t.yearsSince1900) + "/" + std::to_string(t.month) + "/" +
                        std::to_string(t.dayOfMonth) + " " + std::to_string(t.hours) + ":" + std::to_string(t.minutes) +
                        ":" + std::to_string(t.seconds) + " tc " + std::to_string(tc.minutes) + ":" +
                        std::to_string(tc.seconds) + "." + std::to_string(tc.frames) + " wide " +
                        std::to_string(scenes.wideScreen(i)));
    }
    return found;
}

TEST(DvPartialReads, FindTheScenesOfWholeFrameReads) {
    TempDir dir;
    const scene::RecordingTime first = stamp(2006, 7, 1, 10, 0, 0), second = stamp(2006, 7, 1, 10, 5, 0),
                               third = stamp(2006, 7, 2, 8, 0, 0);
    std::vector<fixtures::DvFixtureOptions> layouts;
    for (int type : {1, 2}) {
        fixtures::DvFixtureOptions options;
        options.type = type;
        options.sessions = {session(first, 30), session(second, 25), session(third, 20)};
        layouts.push_back(options);
    }
    fixtures::DvFixtureOptions odd = layouts[1];
    odd.openDml = fixtures::OpenDmlLayout::Segments;
    odd.riffSegmentBytes = 2u << 20;  // segment boundaries inside the sessions
    odd.framesWithLatePacks = {{29, 31}};  // packs from the third DIF sequence on, across an edge
    odd.framesWithoutPacks = {{54, 55}};   // the last frames of a session carry nothing
    odd.wideScreen = true;
    odd.videoControlAt453 = false;
    layouts.push_back(odd);
    fixtures::DvFixtureOptions damaged = layouts[1];
    damaged.damagedSizeFields = {{40, 0xFFFFFFF0u}};
    damaged.truncateInsideFrame = 70;
    layouts.push_back(damaged);
    fixtures::DvFixtureOptions ntsc = layouts[0];
    ntsc.ntsc = true;
    layouts.push_back(ntsc);

    for (size_t i = 0; i < layouts.size(); ++i) {
        std::string path = writeRecording(dir, "layout" + std::to_string(i) + ".avi", layouts[i]);
        for (int trim : {0, 2}) {
            std::vector<std::string> partial = scenesFound(path, 75, false, trim);
            EXPECT_GE(partial.size(), 3u) << i;
            EXPECT_EQ(partial, scenesFound(path, 75, true, trim)) << "layout " << i << " trim " << trim;
        }
    }
}

}  // namespace
}  // namespace klemora::test
