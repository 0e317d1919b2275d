#pragma once
// Owners for the FFmpeg objects the media layer keeps open.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

namespace klemora::media {

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
// A custom-I/O context with the buffer it was given (or the one FFmpeg
// replaced it with); the format context reading through it goes first.
struct IoContextFreer {
    void operator()(AVIOContext* context) const {
        av_freep(&context->buffer);
        avio_context_free(&context);
    }
};
struct CodecParametersFreer {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFreer>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFreer>;
using CodecParametersPtr = std::unique_ptr<AVCodecParameters, CodecParametersFreer>;

}  // namespace klemora::media
