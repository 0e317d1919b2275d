#pragma once
// One source file as the media layer sees it: its streams as FFmpeg's demuxer
// reports them, frame rate, duration and frame count, plus the facts only the
// AVI container tells (DV type, OpenDML, key frames, recording date, aspect).
// ProbeMedia fills it; the frame grabber and the scene writer use it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/debug_log.h"
#include "media/ffmpeg_handles.h"
#include "scene/scene_record.h"

namespace klemora::media {

// The format families a stream's media type falls into; the messages name
// them as "FORMAT_VideoInfo" and so on (formatTypeName).
enum class FormatType { VideoInfo, WaveFormatEx, Null, None, Other };
const char* formatTypeName(FormatType type);

// The audio stream's format, in the fields of a wave format header.
struct WaveFormat {
    int32_t channels = 0;
    int32_t samplesPerSecond = 0;
    int32_t avgBytesPerSecond = 0;
    int32_t blockAlign = 0;
    int32_t bitsPerSample = 0;
};

// The video stream's format, in the fields of a bitmap information header.
struct VideoFormat {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitCount = 0;
    bool temporalCompression = false;
};

struct StreamMediaType {
    FormatType formatType = FormatType::Null;
    WaveFormat wave;
    VideoFormat video;
    CodecParametersPtr parameters;  // the demuxer's own description, kept for the decoder
};

class MediaDetector;  // the open demuxer and the frame grabber on it (media_detector.h)

struct MediaInfo {
    // Every field clear; `fixRatio` is the "FixRatio" setting of the run
    // (empty: the file's own aspect decides), `log` the run's debug log.
    explicit MediaInfo(std::string_view fixRatio = {}, app::DebugLog log = {});
    ~MediaInfo();
    MediaInfo(const MediaInfo&) = delete;
    MediaInfo& operator=(const MediaInfo&) = delete;

    std::string fileName;  // empty when nothing is probed
    int32_t streamCount = 0;
    int32_t videoStream = -1;
    int32_t audioStream = -1;
    float frameDuration = 0;  // seconds per frame
    float frameRate = 0;
    int32_t frameCount = 0;
    float duration = 0;  // seconds, in steps of 1/100
    scene::RecordingTime recordingTime = scene::kNoRecordingTime;
    uint8_t isDv = 0;
    uint8_t isDvType1 = 0;
    uint8_t isOpenDml = 0;
    uint8_t isExtendedOpenDml = 0;
    uint8_t allKeyframes = 1;
    uint8_t wideScreen = 0;
    std::string fixRatio;  // "FixRatio" without blanks, "/" as ":"
    app::DebugLog log;     // for the readers and the grabber of the file
    int32_t decoderThreads = 0;  // of the grabber's decoder: 0 as many as help, 1 none besides the caller's
    char fourcc[5] = {};
    scene::Timecode timecode{};
    uint8_t probed = 0;
    uint8_t extraDataRead = 0;
    std::unique_ptr<MediaDetector> detector;
    std::vector<StreamMediaType> streamTypes;
};

// Releases the demuxer, the grabber and the media types and clears the
// fields, all but the FixRatio text, the log and the decoder threads.
void ReleaseMedia(MediaInfo& info);

// Each 0 when not probed or when the stream is missing.
int32_t GetAudioChannels(const MediaInfo& info);
int32_t GetAudioSampleRate(const MediaInfo& info);
int32_t GetAudioBitsPerSample(const MediaInfo& info);
int32_t GetVideoWidth(const MediaInfo& info);
int32_t GetVideoHeight(const MediaInfo& info);
int32_t GetVideoBitCount(const MediaInfo& info);
// The scene record's codes: DV type 0 (none), 1 or 2; OpenDML 0 (none), 1 or 2 (extended).
int32_t GetDvType(const MediaInfo& info);
int32_t GetOpenDmlKind(const MediaInfo& info);
// The first frame's timecode, to whichever outputs are given.
void GetTimecode(const MediaInfo& info, uint8_t* hours, uint8_t* minutes, uint8_t* seconds, uint8_t* frames);

}  // namespace klemora::media
