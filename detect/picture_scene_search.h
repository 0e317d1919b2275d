#pragma once
// The picture-difference search over one file: a coarse pass compares every
// 25th frame with the one 25 frames before; where they differ, a fine pass
// looks at each frame in between for the first picture of the new scene.
#include <cstdint>
#include <string>

#include "detect/picture_diff_detector.h"
#include "scene/scene_list.h"

namespace klemora::detect {

inline constexpr int32_t kCoarseStep = 25;

enum class PictureSearchResult : int {
    Done = 1,
    Cancelled = 2,
    OpenFailed = -1,        // message 107
    NoPictureBuffer = -2,   // no progress window (KLM-AS-1001) or no buffer size (KLM-AS-1002)
    OutOfMemory = -3,       // message 109
    FirstFrameFailed = -4,  // KLM-AS-1003
    InitFailed = -5,        // KLM-AS-1004
    AddSceneFailed = -6,    // message 113 with AddNewScene()
};

// Appends the scenes of frames `first`..`last` (0-based, inclusive; cut to
// the file's frames) of `fileName` to `scenes`. A PictureSearchResult
// code; scenes appended before a failure stay.
int SearchScenes(const std::string& fileName, scene::SceneList& scenes, PictureDiffDetector& detector,
                 int32_t first, int32_t last);

}  // namespace klemora::detect
