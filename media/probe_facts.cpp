#include "media/probe_facts.h"

#include <string>

#include "app/text_format.h"
#include "scene/scene_record.h"

namespace klemora::media {
namespace {

avi::Fact number(const char* key, long long value) { return {key, std::to_string(value), avi::FactKind::Number}; }
avi::Fact real(const char* key, const char* format, double value) {
    return {key, app::stringPrintf(format, value), avi::FactKind::Number};
}
avi::Fact flag(const char* key, uint8_t value) { return {key, value ? "true" : "false", avi::FactKind::Bool}; }
avi::Fact text(const char* key, std::string value) { return {key, std::move(value), avi::FactKind::Text}; }

}  // namespace

std::vector<avi::Fact> ProbeFacts(const MediaInfo& info) {
    return {
        number("streams", info.streamCount),
        number("videoStream", info.videoStream),
        number("audioStream", info.audioStream),
        real("frameRate", "%.6g", info.frameRate),
        real("frameDuration", "%.6g", info.frameDuration),
        number("frameCount", info.frameCount),
        real("duration", "%.2f", info.duration),
        number("width", GetVideoWidth(info)),
        number("height", GetVideoHeight(info)),
        number("bitCount", GetVideoBitCount(info)),
        number("audioChannels", GetAudioChannels(info)),
        number("audioSampleRate", GetAudioSampleRate(info)),
        number("audioBitsPerSample", GetAudioBitsPerSample(info)),
        flag("isDv", info.isDv),
        flag("isDvType1", info.isDvType1),
        flag("isOpenDml", info.isOpenDml),
        flag("isExtendedOpenDml", info.isExtendedOpenDml),
        flag("allKeyframes", info.allKeyframes),
        flag("wideScreen", info.wideScreen),
        text("fourcc", std::string(scene::fieldText(info.fourcc))),
        text("recordingTime", avi::isoRecordingTimeText(info.recordingTime)),
        text("timecode", avi::timecodeColonText(info.timecode)),
    };
}

}  // namespace klemora::media
