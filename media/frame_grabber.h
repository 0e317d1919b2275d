#pragma once
// Decodes the picture of one moment of a probed file and converts it to the
// 24-bit bottom-up rows of a device-independent bitmap at a requested size.
// The frame source, its decoder and the scaler stay open between calls, so
// stepping through frames reopens nothing. The picture is always the exact
// frame shown at that moment.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "app/debug_log.h"
#include "media/ffmpeg_handles.h"
#include "media/frame_source.h"

namespace klemora::media {

struct MediaInfo;

class FrameGrabber {
public:
    FrameGrabber(const MediaInfo& info, AVFormatContext* format);
    ~FrameGrabber();
    FrameGrabber(const FrameGrabber&) = delete;
    FrameGrabber& operator=(const FrameGrabber&) = delete;

    // Fills `pixels` (rows of dibRowStride(width, 24) bytes, bottom row
    // first) with the picture shown at `time` seconds: 1, or a negative
    // FFmpeg code (AVERROR_EOF at or after the end of the video). Given
    // kConversionSlack bytes more, 16-byte aligned, a picture of the video's
    // own size is converted straight into them instead of copied.
    int grab(double time, int32_t width, int32_t height, std::span<uint8_t> pixels);

    // The scaler's vector code writes up to a few bytes past a row.
    static constexpr int64_t kConversionSlack = 64;

    // Whether frames come through AviReader and the DV decoder (DV AVI files).
    bool readsDvFrames() const { return m_readsDv; }

private:
    int prepare();
    int convert(const AVFrame& frame, int32_t width, int32_t height, std::span<uint8_t> pixels);
    bool convertsStraight(const AVFrame& frame, int32_t width, int32_t height, std::span<uint8_t> pixels) const;
    int convertStraight(const AVFrame& frame, int32_t height, std::span<uint8_t> pixels);

    std::string m_path;
    int m_streamIndex = -1;
    float m_frameRate = 0;
    int m_decoderThreads = 0;
    AVFormatContext* m_format = nullptr;
    app::DebugLog m_log;
    int m_prepared = 0;  // 0 not yet, 1 ready, else the error
    bool m_readsDv = false;
    std::unique_ptr<FrameSource> m_source;
    ScalerPtr m_scaler;
    FramePtr m_scaled;  // the scaler's output rows, padded as it needs them
};

}  // namespace klemora::media
