#pragma once
// Where the frame grabber's pictures come from: the DV frames of an AVI file
// read through AviReader, or any file through FFmpeg's demuxer.
#include <cstdint>

extern "C" {
#include <libavutil/frame.h>
}

namespace klemora::media {

class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Decodes the picture shown at `time` seconds: 1, or a negative FFmpeg
    // code (AVERROR_EOF at or after the end of the video).
    virtual int decodeAt(double time) = 0;
    // The picture of the last successful decodeAt.
    virtual const AVFrame& picture() const = 0;
};

}  // namespace klemora::media
