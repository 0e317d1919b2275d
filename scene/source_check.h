#pragma once
// After loading a project or an import: find each scene's source file (asking
// for another folder when it has moved) and refill the source facts that the
// files do not store.
#include <cstdint>
#include <string>

#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// The alternative folder chosen during one program run.
struct SourceSearch {
    std::string lastFoundPath;
    std::string alternativeFolder;  // with a trailing "/" when set
};

enum class SourceCheckResult { Completed, Cancelled };
SourceCheckResult checkSources(SceneList& list, SourceSearch& search, app::UserInterface& ui);

struct SourceFacts {
    int32_t frameCount = 0;
    float framesPerSecond = 25.0f;
    bool allKeyframes = false;
    int32_t dvType = 0;
    int32_t openDmlKind = 0;
    bool wideScreen = false;
    std::string videoFourcc;
    // For the EDL exchange: seconds per frame (0 when only the rate is known),
    // which streams the file has, and the DV recording time and timecode of
    // its first frame (left at the defaults where the file has none).
    float frameDuration = 0;
    bool hasVideo = true;
    bool hasAudio = true;
    RecordingTime firstRecordingTime = kNoRecordingTime;
    Timecode firstTimecode{};
};

// Fills SourceFacts for one file: the AVI reader for ".avi" files, the media
// probe for the rest (provided by the media layer). Returns 1 or the
// failing reader's code.
class SourceProbe {
public:
    virtual ~SourceProbe() = default;
    virtual int probe(const std::string& path, SourceFacts& facts) = 0;
};

// The file's facts into scene i: its frame range in the file, rate (when
// positive), key frames, DV type, OpenDML kind, wide screen, four-character code.
void applySourceFacts(SceneList& list, int i, const SourceFacts& facts);

// Probes every scene's source (each file once); a failure shows 107, and 114
// unless it is the last scene. False when the user stopped the probe.
bool probeSources(SceneList& list, SourceProbe& probe, app::UserInterface& ui);

}  // namespace klemora::scene
