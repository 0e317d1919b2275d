#include "media/scene_info_text.h"

#include <algorithm>

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/time_text.h"

namespace klemora::media {
namespace {

const char* dvText(int32_t type) {
    switch (type) {
    case 0: return "No DV, ";
    case 1: return "DV-Type1, ";
    case 2: return "DV-Type2, ";
    default: return "Unknown Type, ";
    }
}

const char* openDmlText(int32_t kind) {
    switch (kind) {
    case 0: return "No OpenDML";
    case 1: return "OpenDML";
    case 2: return "Strict OpenDML";
    default: return "Unknown Type";
    }
}

std::string audioText(const MediaInfo& opened) {
    int32_t channels = GetAudioChannels(opened);
    int32_t rate = GetAudioSampleRate(opened);
    int32_t bits = GetAudioBitsPerSample(opened);
    if (channels == 1) return app::stringPrintf("Mono , %d Hz , %d Bit", rate, bits);
    if (channels == 2) return app::stringPrintf("Stereo , %d Hz , %d Bit", rate, bits);
    return app::stringPrintf("%d Channels , %d Hz , %d Bit", channels, rate, bits);
}

// "Label" followed by its separator, as every panel line begins.
std::string label(int id, const char* separator) { return app::loadString(id) + separator; }

}  // namespace

std::string sliderLineText(const scene::SceneList& list, int row, int position) {
    if (!list.validIndex(row)) return {};
    int32_t start = list.startFrame(row);
    int32_t p = std::clamp(position, start, std::max(start, list.stopFrame(row)));
    const std::string& frame = app::loadString(155);
    return app::stringPrintf("%s %d %s %d (%s %d %s %s)", frame.c_str(), p - start + 1, app::loadString(156).c_str(),
                             list.lengthFrames(row), frame.c_str(), p + 1, app::loadString(157).c_str(),
                             app::loadString(158).c_str());
}

std::string sceneInfoText(const scene::SceneList& list, int row, const MediaInfo& opened) {
    const scene::SceneRecord* record = list.record(row);
    if (!record) return {};
    std::string kind = std::string(list.videoFourcc(row)) + ", " + dvText(list.dvType(row)) +
                       openDmlText(list.openDmlKind(row));
    std::string text = label(363, ":\t\t") + app::stringPrintf("%s, FpS: %.2f", kind.c_str(), opened.frameRate);
    text += "\n" + label(364, ":\t\t") +
            app::stringPrintf("X: %d , Y: %d , Bit/Pixel: %d", GetVideoWidth(opened), GetVideoHeight(opened),
                              GetVideoBitCount(opened));
    text += "\n" + label(365, ":\t\t") + audioText(opened) + "\n";
    text += "\n" + label(346, ":\t") + scene::recordingTimeText(record->recordingTime);
    text += "\n" + label(395, ":\t") + scene::timecodeText(record->timecode) + " -> " +
            scene::timecodeText(scene::stopTimecode(*record)) +
            app::stringPrintf(" (%s: %d)", app::loadString(123).c_str(), list.lengthFrames(row));
    text += "\n" + label(334, ":\t") + std::string(list.destName(row)) + "\n";
    text += "\n" + label(200, ":\n") + std::string(list.comment(row));
    return text;
}

}  // namespace klemora::media
