#include "media/sound_decoder.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace klemora::media {

SoundDecoder::~SoundDecoder() = default;

int SoundDecoder::open(const std::string& path) {
    AVFormatContext* format = nullptr;
    if (int rc = avformat_open_input(&format, path.c_str(), nullptr, nullptr); rc < 0) return rc;
    m_format.reset(format);
    if (int rc = avformat_find_stream_info(format, nullptr); rc < 0) return rc;
    const AVCodec* codec = nullptr;
    m_stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_stream < 0) return m_stream;
    m_decoder.reset(avcodec_alloc_context3(codec));
    m_packet.reset(av_packet_alloc());
    m_frame.reset(av_frame_alloc());
    if (!m_decoder || !m_packet || !m_frame) return AVERROR(ENOMEM);
    if (int rc = avcodec_parameters_to_context(m_decoder.get(), format->streams[m_stream]->codecpar); rc < 0)
        return rc;
    if (int rc = avcodec_open2(m_decoder.get(), codec, nullptr); rc < 0) return rc;
    // Only ours reaches the decoder; the demuxer can drop the rest at once.
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (static_cast<int>(i) != m_stream) format->streams[i]->discard = AVDISCARD_ALL;
    return 1;
}

SoundFormat SoundDecoder::streamFormat() const {
    if (!m_decoder) return {};
    return {m_decoder->sample_rate, std::min(m_decoder->ch_layout.nb_channels, 2)};
}

int SoundDecoder::start(double startSeconds, double seconds, SoundFormat format) {
    if (!m_decoder || format.rate < 1 || format.channels < 1) return AVERROR(EINVAL);
    m_out = format;
    m_startSeconds = startSeconds;
    m_total = std::llround(seconds * format.rate);
    m_position = 0;
    m_positioned = false;
    m_ended = false;
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, format.channels);
    SwrContext* resampler = nullptr;
    int rc = swr_alloc_set_opts2(&resampler, &outLayout, AV_SAMPLE_FMT_S16, format.rate, &m_decoder->ch_layout,
                                 m_decoder->sample_fmt, m_decoder->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&outLayout);
    m_resampler.reset(resampler);
    if (rc < 0) return rc;
    if (rc = swr_init(resampler); rc < 0) return rc;
    int64_t target = std::llround(startSeconds * AV_TIME_BASE);
    if (rc = av_seek_frame(m_format.get(), -1, target, AVSEEK_FLAG_BACKWARD); rc < 0 && startSeconds > 0) return rc;
    avcodec_flush_buffers(m_decoder.get());
    return 1;
}

int SoundDecoder::decodeFrame() {
    for (;;) {
        int rc = avcodec_receive_frame(m_decoder.get(), m_frame.get());
        if (rc != AVERROR(EAGAIN)) return rc;
        rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc == AVERROR_EOF) {
            rc = avcodec_send_packet(m_decoder.get(), nullptr);
            if (rc < 0 && rc != AVERROR_EOF) return rc;
            continue;
        }
        if (rc < 0) return rc;
        if (m_packet->stream_index == m_stream) rc = avcodec_send_packet(m_decoder.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        // A damaged packet is left out rather than ending the sound.
        if (rc < 0 && rc != AVERROR_INVALIDDATA) return rc;
    }
}

int SoundDecoder::next(std::vector<uint8_t>& out) {
    while (!m_ended && m_position < m_total) {
        int rc = decodeFrame();
        if (rc == AVERROR_EOF) break;
        if (rc < 0) return rc;
        if (!m_positioned) {
            int64_t pts = m_frame->best_effort_timestamp;
            if (pts != AV_NOPTS_VALUE) {
                double seconds = pts * av_q2d(m_format->streams[m_stream]->time_base);
                m_position = std::llround((seconds - m_startSeconds) * m_out.rate);
            }
            m_positioned = true;
        }
        int capacity = swr_get_out_samples(m_resampler.get(), m_frame->nb_samples);
        if (capacity < 0) return capacity;
        m_converted.resize(static_cast<size_t>(capacity) * m_out.channels * 2);
        uint8_t* target = m_converted.data();
        int samples = swr_convert(m_resampler.get(), &target, capacity,
                                  const_cast<const uint8_t**>(m_frame->extended_data), m_frame->nb_samples);
        av_frame_unref(m_frame.get());
        if (samples < 0) return samples;
        size_t before = out.size();
        append(m_converted.data(), samples, out);
        if (out.size() > before) return 1;
    }
    m_ended = true;
    return 0;
}

void SoundDecoder::append(const uint8_t* data, int samples, std::vector<uint8_t>& out) {
    // Keep the part of [position, position + samples) that lies inside the span.
    int64_t begin = std::max<int64_t>(m_position, 0);
    int64_t end = std::min<int64_t>(m_position + samples, m_total);
    const int64_t frameBytes = m_out.channels * 2;
    if (end > begin) {
        const uint8_t* from = data + (begin - m_position) * frameBytes;
        out.insert(out.end(), from, from + (end - begin) * frameBytes);
    }
    m_position += samples;
}

}  // namespace klemora::media
