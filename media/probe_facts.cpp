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
avi::Fact unknown(const char* key, avi::FactKind kind) { return {key, {}, kind}; }

avi::Fact knownIf(bool known, avi::Fact fact) { return known ? std::move(fact) : unknown(fact.key.c_str(), fact.kind); }

}  // namespace

std::vector<avi::Fact> ProbeFacts(const MediaInfo& info) {
    const bool audio = info.audioStream >= 0;
    const bool container = info.extraDataRead != 0;
    const bool dv = container && info.isDv;
    const bool recorded = dv && info.recordingTime != scene::kNoRecordingTime;
    return {
        number("streams", info.streamCount),
        number("videoStream", info.videoStream),
        knownIf(audio, number("audioStream", info.audioStream)),
        real("frameRate", "%.6g", info.frameRate),
        real("frameDuration", "%.6g", info.frameDuration),
        number("frameCount", info.frameCount),
        real("duration", "%.2f", info.duration),
        number("width", GetVideoWidth(info)),
        number("height", GetVideoHeight(info)),
        number("bitCount", GetVideoBitCount(info)),
        knownIf(audio, number("audioChannels", GetAudioChannels(info))),
        knownIf(audio, number("audioSampleRate", GetAudioSampleRate(info))),
        knownIf(audio, number("audioBitsPerSample", GetAudioBitsPerSample(info))),
        knownIf(container, flag("isDv", info.isDv)),
        knownIf(container, flag("isDvType1", info.isDvType1)),
        knownIf(container, flag("isOpenDml", info.isOpenDml)),
        knownIf(container, flag("isExtendedOpenDml", info.isExtendedOpenDml)),
        flag("allKeyframes", info.allKeyframes),
        knownIf(container, flag("wideScreen", info.wideScreen)),
        knownIf(container && info.fourcc[0] != '\0', text("fourcc", std::string(scene::fieldText(info.fourcc)))),
        knownIf(recorded, text("recordingTime", avi::isoRecordingTimeText(info.recordingTime))),
        knownIf(dv, text("timecode", avi::timecodeColonText(info.timecode))),
    };
}

}  // namespace klemora::media
