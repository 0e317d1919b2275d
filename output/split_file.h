#pragma once
// Splitting AVI files into parts of a fixed number of frames or seconds:
// one scene list over all files, written with WriteScenes, each part
// containing exactly its frames.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "output/write_context.h"
#include "scene/scene_list.h"

namespace klemora::output {

struct SplitRequest {
    int32_t framesPerPart = 0;
    int32_t secondsPerPart = 0;
    std::string destinationDirectory;
    std::string nameTemplate = "%Q_%N3";  // "FormatString"
    bool nameFromSource = false;          // "SpecialSwitch1": "%s_s%03d" names
    std::string fixRatio;                 // "FixRatio", for probing the files
};

enum class SplitResult : int {
    Ok = 1,
    NothingToDo = -1,   // both values 0 (210)
    BothValues = -2,    // both values positive (211)
    Stopped = -3,       // the user ended the run after a failed probe
    ListFull = -4,      // more than 2000 parts (140)
    AppendFailed = -5,
};

// Frames per part: the frames, or trunc(seconds x frame rate) (at least 1).
int32_t partLengthFrames(int32_t framesPerPart, int32_t secondsPerPart, float frameRate);
// [0, m-1], [m, 2m-1], ... with the last part ending at the last frame.
std::vector<std::pair<int32_t, int32_t>> splitParts(int32_t frameCount, int32_t partLength);
// The parts of inter-frame video: every part after the first begins on the
// first key frame at or after its own start (`keyFrames[i]`: frame i is
// one), the part before it running up to there; a part with no key frame
// left is joined to the one before. Unchanged when every frame is a key frame.
std::vector<std::pair<int32_t, int32_t>> alignPartsToKeyFrames(const std::vector<std::pair<int32_t, int32_t>>& parts,
                                                               const std::vector<bool>& keyFrames);

// Probes every file (in name order) and appends its parts to `list`. 1, or
// a SplitResult code after its message. Parts of a file whose frames are
// not all key frames begin on key frames (806 when a boundary moved), so
// that every part decodes.
int buildSplitList(std::vector<std::string> files, const SplitRequest& request, scene::SceneList& list,
                   app::UserInterface& ui, const app::DebugLog& log = app::DebugLog::off());

// 1 when exactly one of the two values is positive; else 210 (both 0) or
// 211 (both positive) is shown and the SplitResult code returned.
int checkSplitValues(int32_t framesPerPart, int32_t secondsPerPart, app::UserInterface& ui);

// The whole operation. 210 or 211 for the values; then the parts are
// written into the destination folder with the context's overwrite mode
// (kept across runs). Returns 1, a SplitResult code, or WriteScenes' code.
int SplitFiles(const std::vector<std::string>& files, const SplitRequest& request, WriteContext& context);

}  // namespace klemora::output
