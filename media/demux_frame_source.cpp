#include "media/demux_frame_source.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace klemora::media {
namespace {

// Decoding on from the last picture beats a seek when the target is at most
// this far ahead, even where the index names no key frame.
constexpr double kForwardDecodeSeconds = 1.0;

int64_t frameTimestamp(const AVFrame& frame) {
    return frame.best_effort_timestamp != AV_NOPTS_VALUE ? frame.best_effort_timestamp : frame.pts;
}

}  // namespace

std::unique_ptr<DemuxFrameSource> DemuxFrameSource::open(AVFormatContext& format, int streamIndex, int threads,
                                                         int& error) {
    error = AVERROR_STREAM_NOT_FOUND;
    if (streamIndex < 0 || streamIndex >= static_cast<int>(format.nb_streams)) return nullptr;
    AVStream& stream = *format.streams[streamIndex];
    // Only the video is read; the demuxer skips the rest cheaply.
    for (unsigned i = 0; i < format.nb_streams; ++i)
        format.streams[i]->discard = static_cast<int>(i) == streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    std::unique_ptr<DemuxFrameSource> source(new DemuxFrameSource(format, streamIndex));
    error = AVERROR_DECODER_NOT_FOUND;
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec) return nullptr;
    error = AVERROR(ENOMEM);
    source->m_decoder.reset(avcodec_alloc_context3(codec));
    source->m_packet.reset(av_packet_alloc());
    source->m_current.reset(av_frame_alloc());
    source->m_lookahead.reset(av_frame_alloc());
    source->m_scratch.reset(av_frame_alloc());
    if (!source->m_decoder || !source->m_packet || !source->m_current || !source->m_lookahead || !source->m_scratch)
        return nullptr;
    AVCodecContext& decoder = *source->m_decoder;
    if ((error = avcodec_parameters_to_context(&decoder, stream.codecpar)) < 0) return nullptr;
    decoder.pkt_timebase = stream.time_base;
    // Slice threads use the cores on one picture without the delay of frame
    // threads, which would cost every seek a pipeline refill.
    decoder.thread_type = FF_THREAD_SLICE;
    decoder.thread_count = threads;
    if ((error = avcodec_open2(&decoder, codec, nullptr)) < 0) return nullptr;

    source->m_startTimestamp = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
        source->m_endTimestamp = source->m_startTimestamp + stream.duration;
    error = 0;
    return source;
}

int DemuxFrameSource::decodeAt(double time) {
    if (!(time >= 0)) return AVERROR(EINVAL);
    AVRational base = m_format.streams[m_streamIndex]->time_base;
    int64_t target = m_startTimestamp + static_cast<int64_t>(std::floor(time * base.den / base.num + 1e-9));
    if (m_endTimestamp >= 0 && target >= m_endTimestamp) return AVERROR_EOF;
    return decodeAtTimestamp(target);
}

// The picture shown at `target`: the last one whose timestamp is not after it
// (the first picture for a target before the stream starts).
int DemuxFrameSource::decodeAtTimestamp(int64_t target) {
    if (m_haveCurrent && m_currentTimestamp <= target &&
        ((m_haveLookahead && m_lookaheadTimestamp > target) || m_currentTimestamp == target))
        return 1;
    if (!decodingOnReaches(target)) {
        if (int rc = seekBefore(target); rc < 0) return rc;
    }
    for (;;) {
        if (m_haveLookahead) {
            std::swap(m_scratch, m_lookahead);
            m_haveLookahead = false;
        } else {
            int rc = decodeNext(m_scratch.get());
            if (rc == AVERROR_EOF) break;
            if (rc < 0) return rc;
        }
        int64_t timestamp = frameTimestamp(*m_scratch);
        if (timestamp == AV_NOPTS_VALUE) timestamp = m_haveCurrent ? m_currentTimestamp + 1 : m_startTimestamp;
        if (m_haveCurrent && timestamp > target) {
            std::swap(m_lookahead, m_scratch);
            m_haveLookahead = true;
            m_lookaheadTimestamp = timestamp;
            break;
        }
        std::swap(m_current, m_scratch);
        m_haveCurrent = true;
        m_currentTimestamp = timestamp;
        if (timestamp >= target) break;
    }
    if (m_haveCurrent && m_demuxerDrained && !m_haveLookahead && m_currentTimestamp + frameLength() <= target) {
        // The stream ended before its stated length: that is its end from now on.
        m_endTimestamp = m_currentTimestamp + frameLength();
        return AVERROR_EOF;
    }
    return m_haveCurrent ? 1 : AVERROR_EOF;
}

// One frame's length in stream time units (at least 1).
int64_t DemuxFrameSource::frameLength() const {
    const AVStream& stream = *m_format.streams[m_streamIndex];
    AVRational rate = stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0 ? stream.avg_frame_rate
                                                                                     : stream.r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) return 1;
    return std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), stream.time_base));
}

bool DemuxFrameSource::decodingOnReaches(int64_t target) const {
    if (!m_haveCurrent || m_currentTimestamp >= target) return false;
    if (m_haveLookahead && m_lookaheadTimestamp > target) return true;
    AVStream* stream = m_format.streams[m_streamIndex];
    // With an index: no key frame between the last picture and the target,
    // or just the next one. Further key frames on, a seek to the last of them
    // decodes fewer pictures (all-key-frame video stepped through sparsely).
    int entry = av_index_search_timestamp(stream, target, AVSEEK_FLAG_BACKWARD);
    if (entry >= 0) {
        const AVIndexEntry* key = avformat_index_get_entry(stream, entry);
        if (key && key->timestamp <= m_currentTimestamp) return true;
        int currentEntry = av_index_search_timestamp(stream, m_currentTimestamp, AVSEEK_FLAG_BACKWARD);
        if (key && currentEntry >= 0 && entry - currentEntry >= 2) return false;
    }
    double ahead = static_cast<double>(target - m_currentTimestamp) * av_q2d(stream->time_base);
    return ahead <= kForwardDecodeSeconds;
}

int DemuxFrameSource::seekBefore(int64_t target) {
    int rc = av_seek_frame(&m_format, m_streamIndex, target, AVSEEK_FLAG_BACKWARD);
    if (rc < 0) rc = avformat_seek_file(&m_format, m_streamIndex, INT64_MIN, target, target, 0);
    if (rc < 0) rc = av_seek_frame(&m_format, m_streamIndex, m_startTimestamp, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    if (rc < 0) return rc;
    avcodec_flush_buffers(m_decoder.get());
    m_haveCurrent = false;
    m_haveLookahead = false;
    m_demuxerDrained = false;
    return 0;
}

// The next decoded picture of the video stream; AVERROR_EOF after the last.
// Damaged packets are skipped, as a player skips them.
int DemuxFrameSource::decodeNext(AVFrame* into) {
    for (;;) {
        int rc = avcodec_receive_frame(m_decoder.get(), into);
        if (rc == 0 || rc == AVERROR_EOF) return rc;
        if (rc != AVERROR(EAGAIN) && rc != AVERROR_INVALIDDATA) return rc;
        if (m_demuxerDrained) {
            if (rc == AVERROR_INVALIDDATA) continue;
            return AVERROR_EOF;
        }
        rc = av_read_frame(&m_format, m_packet.get());
        if (rc == AVERROR_EOF) {
            m_demuxerDrained = true;
            avcodec_send_packet(m_decoder.get(), nullptr);
            continue;
        }
        if (rc < 0) return rc;
        if (m_packet->stream_index == m_streamIndex) {
            rc = avcodec_send_packet(m_decoder.get(), m_packet.get());
            if (rc < 0 && rc != AVERROR(EAGAIN) && rc != AVERROR_INVALIDDATA) {
                av_packet_unref(m_packet.get());
                return rc;
            }
        }
        av_packet_unref(m_packet.get());
    }
}

}  // namespace klemora::media
