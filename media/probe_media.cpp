// ProbeMedia on FFmpeg's demuxer: the streams, the first video and audio
// stream, frame rate, duration and frame count.
#include <algorithm>
#include <new>

#include "app/error_text.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "media/file_scan.h"
#include "media/media_detector.h"
#include "media/media_probe.h"
#include "media/media_result.h"
#include "media/probe_rules.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace klemora::media {
namespace {

void showFailure(app::UserInterface& ui, const char* placeCode, int status) {
    ui.showMessage(app::stringPrintf("%s\nCode: %s\nCode: %s", app::loadString(117).c_str(), placeCode, app::DxErrorText(status)),
                   app::Icon::Stop);
}

int fail(MediaInfo& info, ProbeResult result) {
    ReleaseMedia(info);
    return static_cast<int>(result);
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}

VideoFormat videoFormatOf(const AVCodecParameters& p) {
    VideoFormat format;
    format.width = p.width;
    format.height = p.height;
    format.bitCount = p.bits_per_coded_sample;
    if (format.bitCount <= 0) {
        const AVPixFmtDescriptor* pixels = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(p.format));
        format.bitCount = pixels ? av_get_bits_per_pixel(pixels) : 0;
    }
    const AVCodecDescriptor* codec = avcodec_descriptor_get(p.codec_id);
    format.temporalCompression = !(codec && (codec->props & AV_CODEC_PROP_INTRA_ONLY));
    return format;
}

WaveFormat waveFormatOf(const AVCodecParameters& p) {
    WaveFormat format;
    format.channels = p.ch_layout.nb_channels;
    format.samplesPerSecond = p.sample_rate;
    format.bitsPerSample = p.bits_per_coded_sample > 0 ? p.bits_per_coded_sample : av_get_bits_per_sample(p.codec_id);
    format.blockAlign = p.block_align > 0 ? p.block_align : format.channels * format.bitsPerSample / 8;
    format.avgBytesPerSecond = p.bit_rate > 0 ? static_cast<int32_t>(p.bit_rate / 8)
                                              : format.samplesPerSecond * format.blockAlign;
    return format;
}

int describeStream(const AVStream& stream, StreamMediaType& type) {
    type.parameters.reset(avcodec_parameters_alloc());
    if (!type.parameters) return AVERROR(ENOMEM);
    int rc = avcodec_parameters_copy(type.parameters.get(), stream.codecpar);
    if (rc < 0) return rc;
    const AVCodecParameters& p = *stream.codecpar;
    switch (p.codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            // Cover art is a still picture, not the video.
            type.formatType = (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) ? FormatType::None
                                                                                 : FormatType::VideoInfo;
            type.video = videoFormatOf(p);
            break;
        case AVMEDIA_TYPE_AUDIO:
            type.formatType = FormatType::WaveFormatEx;
            type.wave = waveFormatOf(p);
            break;
        case AVMEDIA_TYPE_UNKNOWN: type.formatType = FormatType::Null; break;
        case AVMEDIA_TYPE_DATA: type.formatType = FormatType::None; break;
        default: type.formatType = FormatType::Other; break;
    }
    return 0;
}

// The sampling rate in the audio source pack of the first DV frame, if any.
std::optional<int32_t> firstFrameAudioRate(const std::string& path, const app::DebugLog& log) {
    avi::AviReader reader;
    reader.setLog(log);
    if (reader.Open(path, "r") != 1 || !reader.isDv() || reader.ReadRawPictureData(0) != 1) return std::nullopt;
    std::span<const uint8_t> frame = reader.frameBuffer();
    return avi::dvAudioSampleRate(frame.first(std::min<size_t>(frame.size(), reader.currentChunk().size)));
}

// DV type-1 files used to be described with 32 kHz audio where they held
// 48 kHz; the audio source pack tells the truth, so a camcorder's real 32 kHz
// recording keeps its rate.
void mendDvAudioRate(const std::string& path, StreamMediaType& type, const app::DebugLog& log) {
    WaveFormat& w = type.wave;
    if (w.samplesPerSecond != 32000 || w.avgBytesPerSecond != 128000 || w.blockAlign != 4 || w.bitsPerSample != 16)
        return;
    if (!fileMentionsIavs(path) || firstFrameAudioRate(path, log) == 32000) return;
    w.samplesPerSecond = 48000;
    w.avgBytesPerSecond = 192000;
    type.parameters->sample_rate = 48000;
    type.parameters->bit_rate = 192000 * 8;
}

// Streams into media types, the first video and audio stream chosen.
int classifyStreams(MediaInfo& info, AVFormatContext& format, app::UserInterface& ui) {
    info.streamTypes.resize(format.nb_streams);
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        StreamMediaType& type = info.streamTypes[i];
        if (int rc = describeStream(*format.streams[i], type); rc < 0) {
            showFailure(ui, "KLM-AF-1004", rc);
            return static_cast<int>(ProbeResult::MediaTypeUnreadable);
        }
        if (type.formatType == FormatType::VideoInfo) {
            if (info.videoStream < 0) {
                info.videoStream = static_cast<int32_t>(i);
            } else {
                ui.showMessage(app::loadString(129), app::Icon::Information);
            }
        } else if (type.formatType == FormatType::WaveFormatEx) {
            if (info.audioStream < 0) {
                info.audioStream = static_cast<int32_t>(i);
                mendDvAudioRate(info.fileName, type, info.log);
            } else {
                ui.showMessage(app::loadString(130), app::Icon::Information);
            }
        } else {
            ui.showMessage(app::stringPrintf("%s\nMediaType: %s", app::loadString(131).c_str(), formatTypeName(type.formatType)),
                           app::Icon::Information);
        }
    }
    return 1;
}

double frameRateOf(const AVStream& stream) {
    AVRational rate = stream.avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = stream.r_frame_rate;
    return rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
}

// The video stream's length in seconds; the whole file's when the stream
// does not tell.
double streamLength(const AVFormatContext& format, const AVStream& stream) {
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
        return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0)
        return static_cast<double>(format.duration) / AV_TIME_BASE;
    return 0;
}

int probeDuration(MediaInfo& info, const AVFormatContext& format, const AVStream& video, app::UserInterface& ui) {
    double length = streamLength(format, video);
    // A script has no AVI headers to fall back on.
    if (length <= 0 && lowerCase(info.fileName).find(".avs") == std::string::npos) {
        ui.showMessage(app::stringPrintf("%s\nFile: %s", app::loadString(135).c_str(), info.fileName.c_str()),
                       app::Icon::Warning);
        length = DetectVideoDuration(info, ui);
    }
    if (length <= 0) {
        ui.showMessage(app::stringPrintf("%s\nFile: %s", app::loadString(136).c_str(), info.fileName.c_str()),
                       app::Icon::Stop);
        return static_cast<int>(ProbeResult::NoDuration);
    }
    info.duration = durationFromLength(length);
    info.frameCount = frameCountFor(info.duration, info.frameRate);
    return 1;
}

int probe(const std::string& path, MediaInfo& info, app::UserInterface& ui) {
    info.fileName = path;  // the duration fallback reads the file by name
    std::unique_ptr<MediaDetector> detector;
    int step = 0;
    int rc = MediaDetector::open(path, detector, step);
    if (rc < 0) {
        if (step == 0) {
            ui.showMessage(app::stringPrintf("%s\nCode: KLM-AF-1007\nCode 2: NULL", app::loadString(117).c_str()),
                           app::Icon::Stop);
            return fail(info, ProbeResult::DetectorNotCreatable);
        }
        if (step == 1 && rc == AVERROR(ENOENT)) {
            // Not an internal error: the user named a file that is not there.
            ui.showMessage(app::stringPrintf("%s\nFile: %s", app::loadString(880).c_str(), path.c_str()),
                           app::Icon::Stop);
        } else {
            showFailure(ui, step == 1 ? "KLM-AF-1008" : "KLM-AF-1001", rc);
        }
        return fail(info, step == 1 ? ProbeResult::CannotOpenFile : ProbeResult::StreamsUnreadable);
    }
    AVFormatContext& format = *detector->format();
    if (format.nb_streams == 0) {
        showFailure(ui, "KLM-AF-1002", 0);
        return fail(info, ProbeResult::NoStreams);
    }
    info.streamCount = static_cast<int32_t>(format.nb_streams);
    if (rc = classifyStreams(info, format, ui); rc != 1) return fail(info, static_cast<ProbeResult>(rc));
    if (info.videoStream < 0) {
        ui.showMessage(app::loadString(132), app::Icon::Stop);
        return fail(info, ProbeResult::NoVideoStream);
    }
    const VideoFormat& video = info.streamTypes[info.videoStream].video;
    if (video.width <= 0 || video.height <= 0) {
        ui.showMessage(app::loadString(133), app::Icon::Stop);
        return fail(info, ProbeResult::VideoStreamNotSelectable);
    }
    const AVStream& stream = *format.streams[info.videoStream];
    double rate = frameRateOf(stream);
    if (rate <= 0) {
        ui.showMessage(app::loadString(134), app::Icon::Stop);
        return fail(info, ProbeResult::FrameRateZero);
    }
    info.frameRate = static_cast<float>(rate);
    info.frameDuration = 1.0f / info.frameRate;
    if (rc = probeDuration(info, format, stream, ui); rc != 1) return fail(info, static_cast<ProbeResult>(rc));
    info.allKeyframes = video.temporalCompression ? 0 : 1;
    info.detector = std::move(detector);
    info.probed = 1;
    return 1;
}

}  // namespace

int ProbeMedia(const std::string& path, MediaInfo& info, app::UserInterface& ui) {
    if (info.probed && info.fileName == path) return 1;
    ReleaseMedia(info);
    try {
        return probe(path, info, ui);
    } catch (const std::bad_alloc&) {
        ReleaseMedia(info);
        ui.showMessage(app::loadString(109), app::Icon::Stop);
        return static_cast<int>(ProbeResult::OutOfMemory);
    }
}

}  // namespace klemora::media
