#include "media/dv_frame_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/debug_log.h"
#include "avi/avi_format.h"
#include "avi/avi_reader.h"

extern "C" {
#include <libavutil/cpu.h>
}

namespace klemora::media {
namespace {

// More threads than this gain nothing on a 720 x 576 DV frame.
constexpr int kMaxDecoderThreads = 4;

}  // namespace

std::unique_ptr<DvFrameSource> DvFrameSource::open(const std::string& path, const AVCodecParameters& video,
                                                   float frameRate, const app::DebugLog& log) {
    if (video.codec_id != AV_CODEC_ID_DVVIDEO || frameRate <= 0) return nullptr;
    std::unique_ptr<DvFrameSource> source(new DvFrameSource);
    source->m_frameRate = frameRate;
    source->m_reader = std::make_unique<avi::AviReader>();
    avi::AviReader& reader = *source->m_reader;
    reader.setLog(log);
    int rc = reader.Open(path, "r");
    if (rc != 1 || !reader.isDv()) {
        log.write("DvFrameSource: %s not read as DV AVI (code %d)", path.c_str(), rc);
        return nullptr;
    }
    source->m_frameSize = reader.isPal() ? avi::kDvFrameSizePal : avi::kDvFrameSizeNtsc;
    source->m_packetPool.reset(av_buffer_pool_init(source->m_frameSize + AV_INPUT_BUFFER_PADDING_SIZE, av_buffer_allocz));
    if (!source->m_packetPool) return nullptr;
    // The reader's own frame list: the same frames, damaged chunks and count as every other reader of the file.
    for (const avi::MovieChunk& chunk : reader.frameChunks()) source->m_chunks.push_back({chunk.dataOffset, chunk.size});
    if (source->m_chunks.empty()) return nullptr;

    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
    source->m_decoder.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
    source->m_packet.reset(av_packet_alloc());
    source->m_picture.reset(av_frame_alloc());
    if (!source->m_decoder || !source->m_packet || !source->m_picture) return nullptr;
    AVCodecContext& decoder = *source->m_decoder;
    if (avcodec_parameters_to_context(&decoder, &video) < 0) return nullptr;
    decoder.thread_type = FF_THREAD_FRAME;
    decoder.thread_count = std::clamp(av_cpu_count(), 1, kMaxDecoderThreads);
    if (avcodec_open2(&decoder, codec, nullptr) < 0) return nullptr;
    // Frame threads hold back one picture per extra thread.
    source->m_pipelineDepth =
        decoder.active_thread_type == FF_THREAD_FRAME ? static_cast<size_t>(std::max(1, decoder.thread_count)) : 1;
    return source;
}

DvFrameSource::~DvFrameSource() = default;

int DvFrameSource::decodeAt(double time) {
    if (!(time >= 0)) return AVERROR(EINVAL);
    double frame = std::floor(time * m_frameRate);
    if (frame >= static_cast<double>(m_chunks.size())) return AVERROR_EOF;
    return decodeFrame(static_cast<int32_t>(frame));
}

int DvFrameSource::decodeFrame(int32_t frame) {
    if (frame == m_pictureFrame) return 1;
    bool stepping = frame == m_pictureFrame + 1;
    if (m_inDecoder.empty() || m_inDecoder.front() != frame) {
        if (int rc = restart(); rc < 0) return rc;
        if (int rc = send(frame); rc < 0) return rc;
    }
    const int32_t count = static_cast<int32_t>(m_chunks.size());
    while (stepping && !m_draining && m_inDecoder.size() < m_pipelineDepth && m_inDecoder.back() + 1 < count) {
        if (send(m_inDecoder.back() + 1) < 0) break;  // the frame asked for does not depend on it
    }
    if (m_inDecoder.size() < m_pipelineDepth && !m_draining) {
        avcodec_send_packet(m_decoder.get(), nullptr);  // let the frames in flight out
        m_draining = true;
    }
    return receive(frame);
}

int DvFrameSource::receive(int32_t frame) {
    m_pictureFrame = -1;
    int rc = avcodec_receive_frame(m_decoder.get(), m_picture.get());
    if (rc == AVERROR(EAGAIN) && !m_draining) {  // the decoder holds back more than expected
        avcodec_send_packet(m_decoder.get(), nullptr);
        m_draining = true;
        rc = avcodec_receive_frame(m_decoder.get(), m_picture.get());
    }
    int32_t expected = m_inDecoder.empty() ? -1 : m_inDecoder.front();
    if (!m_inDecoder.empty()) m_inDecoder.pop_front();
    if (rc < 0 || expected != frame || m_picture->pts != frame) {
        // A picture dropped by the decoder would shift every later one: start over.
        restart();
        return rc < 0 ? rc : AVERROR_BUG;
    }
    m_pictureFrame = frame;
    return 1;
}

int DvFrameSource::send(int32_t frame) {
    av_packet_unref(m_packet.get());
    if (int rc = readChunk(frame, *m_packet); rc < 0) return rc;
    m_packet->pts = m_packet->dts = frame;
    m_packet->flags = AV_PKT_FLAG_KEY;
    int rc = avcodec_send_packet(m_decoder.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    if (rc < 0) return rc;
    m_inDecoder.push_back(frame);
    return 0;
}

// A chunk of the wrong size is damaged; the nearest earlier intact frame
// stands in for it, whichever way the frame was reached.
int DvFrameSource::readChunk(int32_t frame, AVPacket& packet) {
    int32_t use = frame;
    while (use > 0 && m_chunks[use].size != m_frameSize) --use;
    const ChunkPlace& place = m_chunks[use];
    uint32_t size = std::min(place.size, m_frameSize);
    packet.buf = av_buffer_pool_get(m_packetPool.get());
    if (!packet.buf) return AVERROR(ENOMEM);
    packet.data = packet.buf->data;
    packet.size = static_cast<int>(size);
    // Pool buffers come back with old bytes; the decoder's padding must be zero.
    std::memset(packet.data + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    if (m_reader->ReadAt(place.dataOffset, packet.data, size) != 1) {
        m_reader->log().write("DvFrameSource: frame %d unreadable at %lld", frame, static_cast<long long>(place.dataOffset));
        return AVERROR(EIO);
    }
    return 0;
}

int DvFrameSource::restart() {
    if (!m_inDecoder.empty() || m_draining) avcodec_flush_buffers(m_decoder.get());
    m_inDecoder.clear();
    m_draining = false;
    return 0;
}

}  // namespace klemora::media
