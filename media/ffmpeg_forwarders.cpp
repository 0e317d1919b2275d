// The FFmpeg functions klemora-cli calls, each forwarding to the library
// loaded on first use (media/ffmpeg_library.h). Linked into klemora-cli
// instead of FFmpeg itself; the declarations come from FFmpeg's headers, so a
// signature written wrong here does not compile. A function missing here
// fails klemora-cli's link.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/cpu.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "media/ffmpeg_library.h"

// Declares `name` as FFmpeg does and defines it to call the loaded one; the
// function pointer is looked up once (a thread-safe static).
#define KLEMORA_FORWARD(library, result, name, parameters, arguments)                                   \
    extern "C" result name parameters {                                                                 \
        static const auto real =                                                                        \
            reinterpret_cast<decltype(&name)>(klemora::media::ffmpegFunction(library, #name));          \
        return real arguments;                                                                          \
    }

namespace {
using enum klemora::media::FfmpegLibrary;
}

// libavutil
KLEMORA_FORWARD(AvUtil, unsigned, avutil_version, (void), ())
KLEMORA_FORWARD(AvUtil, AVBufferRef*, av_buffer_allocz, (size_t size), (size))
KLEMORA_FORWARD(AvUtil, AVBufferRef*, av_buffer_pool_get, (AVBufferPool * pool), (pool))
KLEMORA_FORWARD(AvUtil, AVBufferPool*, av_buffer_pool_init, (size_t size, AVBufferRef* (*alloc)(size_t)),
                (size, alloc))
KLEMORA_FORWARD(AvUtil, void, av_buffer_pool_uninit, (AVBufferPool * *pool), (pool))
KLEMORA_FORWARD(AvUtil, void, av_channel_layout_default, (AVChannelLayout * layout, int channels), (layout, channels))
KLEMORA_FORWARD(AvUtil, int, av_cpu_count, (void), ())
KLEMORA_FORWARD(AvUtil, AVFrame*, av_frame_alloc, (void), ())
KLEMORA_FORWARD(AvUtil, void, av_frame_free, (AVFrame * *frame), (frame))
KLEMORA_FORWARD(AvUtil, int, av_frame_get_buffer, (AVFrame * frame, int align), (frame, align))
KLEMORA_FORWARD(AvUtil, void, av_free, (void* pointer), (pointer))
KLEMORA_FORWARD(AvUtil, void, av_freep, (void* pointer), (pointer))
KLEMORA_FORWARD(AvUtil, void*, av_malloc, (size_t size), (size))
KLEMORA_FORWARD(AvUtil, int, av_get_bits_per_pixel, (const AVPixFmtDescriptor* descriptor), (descriptor))
KLEMORA_FORWARD(AvUtil, int, av_log_format_line2,
                (void* context, int level, const char* format, va_list list, char* line, int size, int* prefix),
                (context, level, format, list, line, size, prefix))
KLEMORA_FORWARD(AvUtil, void, av_log_set_callback, (void (*callback)(void*, int, const char*, va_list)), (callback))
KLEMORA_FORWARD(AvUtil, const AVPixFmtDescriptor*, av_pix_fmt_desc_get, (enum AVPixelFormat format), (format))
KLEMORA_FORWARD(AvUtil, int64_t, av_rescale_q, (int64_t a, AVRational from, AVRational to), (a, from, to))

// libavcodec
KLEMORA_FORWARD(AvCodec, unsigned, avcodec_version, (void), ())
KLEMORA_FORWARD(AvCodec, AVPacket*, av_packet_alloc, (void), ())
KLEMORA_FORWARD(AvCodec, void, av_packet_free, (AVPacket * *packet), (packet))
KLEMORA_FORWARD(AvCodec, void, av_packet_unref, (AVPacket * packet), (packet))
KLEMORA_FORWARD(AvCodec, int, av_new_packet, (AVPacket * packet, int size), (packet, size))
KLEMORA_FORWARD(AvCodec, int, av_get_bits_per_sample, (enum AVCodecID id), (id))
KLEMORA_FORWARD(AvCodec, AVCodecContext*, avcodec_alloc_context3, (const AVCodec* codec), (codec))
KLEMORA_FORWARD(AvCodec, void, avcodec_free_context, (AVCodecContext * *context), (context))
KLEMORA_FORWARD(AvCodec, const AVCodecDescriptor*, avcodec_descriptor_get, (enum AVCodecID id), (id))
KLEMORA_FORWARD(AvCodec, const AVCodec*, avcodec_find_decoder, (enum AVCodecID id), (id))
KLEMORA_FORWARD(AvCodec, const AVCodec*, avcodec_find_encoder, (enum AVCodecID id), (id))
KLEMORA_FORWARD(AvCodec, void, avcodec_flush_buffers, (AVCodecContext * context), (context))
KLEMORA_FORWARD(AvCodec, int, avcodec_open2, (AVCodecContext * context, const AVCodec* codec, AVDictionary** options),
                (context, codec, options))
KLEMORA_FORWARD(AvCodec, AVCodecParameters*, avcodec_parameters_alloc, (void), ())
KLEMORA_FORWARD(AvCodec, void, avcodec_parameters_free, (AVCodecParameters * *parameters), (parameters))
KLEMORA_FORWARD(AvCodec, int, avcodec_parameters_copy, (AVCodecParameters * to, const AVCodecParameters* from),
                (to, from))
KLEMORA_FORWARD(AvCodec, int, avcodec_parameters_to_context,
                (AVCodecContext * context, const AVCodecParameters* parameters), (context, parameters))
KLEMORA_FORWARD(AvCodec, int, avcodec_send_packet, (AVCodecContext * context, const AVPacket* packet),
                (context, packet))
KLEMORA_FORWARD(AvCodec, int, avcodec_receive_frame, (AVCodecContext * context, AVFrame* frame), (context, frame))
KLEMORA_FORWARD(AvCodec, int, avcodec_send_frame, (AVCodecContext * context, const AVFrame* frame), (context, frame))
KLEMORA_FORWARD(AvCodec, int, avcodec_receive_packet, (AVCodecContext * context, AVPacket* packet),
                (context, packet))

// libavformat
KLEMORA_FORWARD(AvFormat, unsigned, avformat_version, (void), ())
KLEMORA_FORWARD(AvFormat, AVFormatContext*, avformat_alloc_context, (void), ())
KLEMORA_FORWARD(AvFormat, int, avformat_alloc_output_context2,
                (AVFormatContext * *context, const AVOutputFormat* format, const char* name, const char* file),
                (context, format, name, file))
KLEMORA_FORWARD(AvFormat, void, avformat_free_context, (AVFormatContext * context), (context))
KLEMORA_FORWARD(AvFormat, int, avformat_open_input,
                (AVFormatContext * *context, const char* url, const AVInputFormat* format, AVDictionary** options),
                (context, url, format, options))
KLEMORA_FORWARD(AvFormat, void, avformat_close_input, (AVFormatContext * *context), (context))
KLEMORA_FORWARD(AvFormat, int, avformat_find_stream_info, (AVFormatContext * context, AVDictionary** options),
                (context, options))
KLEMORA_FORWARD(AvFormat, const AVInputFormat*, av_find_input_format, (const char* name), (name))
KLEMORA_FORWARD(AvFormat, AVStream*, avformat_new_stream, (AVFormatContext * context, const AVCodec* codec),
                (context, codec))
KLEMORA_FORWARD(AvFormat, int, av_read_frame, (AVFormatContext * context, AVPacket* packet), (context, packet))
KLEMORA_FORWARD(AvFormat, int, av_seek_frame, (AVFormatContext * context, int stream, int64_t timestamp, int flags),
                (context, stream, timestamp, flags))
KLEMORA_FORWARD(AvFormat, int, avformat_seek_file,
                (AVFormatContext * context, int stream, int64_t earliest, int64_t timestamp, int64_t latest,
                 int flags),
                (context, stream, earliest, timestamp, latest, flags))
KLEMORA_FORWARD(AvFormat, int, av_index_search_timestamp, (AVStream * stream, int64_t timestamp, int flags),
                (stream, timestamp, flags))
KLEMORA_FORWARD(AvFormat, const AVIndexEntry*, avformat_index_get_entry, (AVStream * stream, int index),
                (stream, index))
KLEMORA_FORWARD(AvFormat, int, avformat_write_header, (AVFormatContext * context, AVDictionary** options),
                (context, options))
KLEMORA_FORWARD(AvFormat, int, av_write_frame, (AVFormatContext * context, AVPacket* packet), (context, packet))
KLEMORA_FORWARD(AvFormat, int, av_write_trailer, (AVFormatContext * context), (context))
KLEMORA_FORWARD(AvFormat, AVIOContext*, avio_alloc_context,
                (unsigned char* buffer, int size, int writing, void* opaque,
                 int (*read)(void*, uint8_t*, int), int (*write)(void*, uint8_t*, int),
                 int64_t (*seek)(void*, int64_t, int)),
                (buffer, size, writing, opaque, read, write, seek))
KLEMORA_FORWARD(AvFormat, void, avio_context_free, (AVIOContext * *context), (context))
KLEMORA_FORWARD(AvFormat, int64_t, avio_seek, (AVIOContext * context, int64_t offset, int whence),
                (context, offset, whence))
KLEMORA_FORWARD(AvFormat, int, avio_open_dyn_buf, (AVIOContext * *context), (context))
KLEMORA_FORWARD(AvFormat, int, avio_close_dyn_buf, (AVIOContext * context, uint8_t** buffer), (context, buffer))

// libswscale
KLEMORA_FORWARD(SwScale, unsigned, swscale_version, (void), ())
KLEMORA_FORWARD(SwScale, struct SwsContext*, sws_getCachedContext,
                (struct SwsContext * context, int fromWidth, int fromHeight, enum AVPixelFormat fromFormat,
                 int toWidth, int toHeight, enum AVPixelFormat toFormat, int flags, SwsFilter* fromFilter,
                 SwsFilter* toFilter, const double* parameters),
                (context, fromWidth, fromHeight, fromFormat, toWidth, toHeight, toFormat, flags, fromFilter,
                 toFilter, parameters))
KLEMORA_FORWARD(SwScale, void, sws_freeContext, (struct SwsContext * context), (context))
KLEMORA_FORWARD(SwScale, int, sws_scale,
                (struct SwsContext * context, const uint8_t* const from[], const int fromStride[], int y,
                 int height, uint8_t* const to[], const int toStride[]),
                (context, from, fromStride, y, height, to, toStride))
