#include "media/media_info.h"

#include <algorithm>
#include <utility>

#include "media/media_detector.h"
#include "media/probe_rules.h"

namespace klemora::media {

const char* formatTypeName(FormatType type) {
    switch (type) {
        case FormatType::VideoInfo: return "FORMAT_VideoInfo";
        case FormatType::WaveFormatEx: return "FORMAT_WaveFormatEx";
        case FormatType::Null: return "GUID_NULL";
        case FormatType::None: return "FORMAT_None";
        case FormatType::Other: return "---";
    }
    return "---";
}

MediaInfo::MediaInfo(std::string_view fixRatio, app::DebugLog log)
    : fixRatio(normalizeFixRatio(fixRatio)), log(std::move(log)) {}

MediaInfo::~MediaInfo() = default;

void ReleaseMedia(MediaInfo& info) {
    std::string fixRatio = std::move(info.fixRatio);
    info.detector.reset();
    info.streamTypes.clear();
    info.fileName.clear();
    info.streamCount = 0;
    info.videoStream = -1;
    info.audioStream = -1;
    info.frameDuration = 0;
    info.frameRate = 0;
    info.frameCount = 0;
    info.duration = 0;
    info.recordingTime = scene::kNoRecordingTime;
    info.isDv = info.isDvType1 = info.isOpenDml = info.isExtendedOpenDml = 0;
    info.allKeyframes = 1;
    info.wideScreen = 0;
    std::fill(std::begin(info.fourcc), std::end(info.fourcc), '\0');
    info.timecode = {};
    info.probed = 0;
    info.extraDataRead = 0;
    info.fixRatio = std::move(fixRatio);
}

namespace {

const WaveFormat* audioFormat(const MediaInfo& info) {
    if (!info.probed || info.audioStream < 0 || info.audioStream >= static_cast<int>(info.streamTypes.size()))
        return nullptr;
    return &info.streamTypes[info.audioStream].wave;
}

const VideoFormat* videoFormat(const MediaInfo& info) {
    if (!info.probed || info.videoStream < 0 || info.videoStream >= static_cast<int>(info.streamTypes.size()))
        return nullptr;
    const StreamMediaType& type = info.streamTypes[info.videoStream];
    return type.formatType == FormatType::VideoInfo ? &type.video : nullptr;
}

}  // namespace

int32_t GetAudioChannels(const MediaInfo& info) { return audioFormat(info) ? audioFormat(info)->channels : 0; }
int32_t GetAudioSampleRate(const MediaInfo& info) {
    return audioFormat(info) ? audioFormat(info)->samplesPerSecond : 0;
}
int32_t GetAudioBitsPerSample(const MediaInfo& info) {
    return audioFormat(info) ? audioFormat(info)->bitsPerSample : 0;
}
int32_t GetVideoWidth(const MediaInfo& info) { return videoFormat(info) ? videoFormat(info)->width : 0; }
int32_t GetVideoHeight(const MediaInfo& info) { return videoFormat(info) ? videoFormat(info)->height : 0; }
int32_t GetVideoBitCount(const MediaInfo& info) { return videoFormat(info) ? videoFormat(info)->bitCount : 0; }
int32_t GetDvType(const MediaInfo& info) { return info.isDv ? (info.isDvType1 ? 1 : 2) : 0; }
int32_t GetOpenDmlKind(const MediaInfo& info) { return info.isExtendedOpenDml ? 2 : info.isOpenDml ? 1 : 0; }

void GetTimecode(const MediaInfo& info, uint8_t* hours, uint8_t* minutes, uint8_t* seconds, uint8_t* frames) {
    if (hours) *hours = static_cast<uint8_t>(info.timecode.hours);
    if (minutes) *minutes = static_cast<uint8_t>(info.timecode.minutes);
    if (seconds) *seconds = static_cast<uint8_t>(info.timecode.seconds);
    if (frames) *frames = static_cast<uint8_t>(info.timecode.frames);
}

}  // namespace klemora::media
