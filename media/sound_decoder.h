#pragma once
// The sound of a time span of a file, decoded with libavcodec and converted
// with libswresample to interleaved signed 16-bit samples at a chosen rate
// and channel count, cut to the span to the sample.
#include <cstdint>
#include <string>
#include <vector>

#include "media/ffmpeg_handles.h"

extern "C" {
#include <libswresample/swresample.h>
}

namespace klemora::media {

struct SoundFormat {
    int32_t rate = 0;
    int32_t channels = 0;
    int32_t bytesPerSecond() const { return rate * channels * 2; }
};

class SoundDecoder {
public:
    SoundDecoder() = default;
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    // Opens the file's first audio stream: 1, or a negative FFmpeg code
    // (AVERROR_STREAM_NOT_FOUND when it has none).
    int open(const std::string& path);
    // The stream's own rate and channels (at most two), valid after open.
    SoundFormat streamFormat() const;
    // Positions at `startSeconds` for `seconds` of sound converted to `format`.
    int start(double startSeconds, double seconds, SoundFormat format);
    // Appends the next samples to `out`: 1, 0 at the end of the span or the
    // stream, or a negative FFmpeg code.
    int next(std::vector<uint8_t>& out);

private:
    int decodeFrame();
    void append(const uint8_t* data, int samples, std::vector<uint8_t>& out);

    FormatContextPtr m_format;
    CodecContextPtr m_decoder;
    PacketPtr m_packet;
    FramePtr m_frame;
    struct ResamplerFreer {
        void operator()(SwrContext* context) const { swr_free(&context); }
    };
    std::unique_ptr<SwrContext, ResamplerFreer> m_resampler;
    std::vector<uint8_t> m_converted;
    int m_stream = -1;
    SoundFormat m_out;
    double m_startSeconds = 0;
    int64_t m_total = 0;         // samples of the span at the output rate
    int64_t m_position = 0;      // output samples from the span's start; negative before it
    bool m_positioned = false;   // m_position follows the first frame's time
    bool m_ended = false;
};

}  // namespace klemora::media
