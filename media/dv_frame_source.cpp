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
                                                   float frameRate, int threads, const app::DebugLog& log) {
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
    source->m_chunks = reader.frameChunks();
    if (source->m_chunks.empty()) return nullptr;

    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
    source->m_decoder.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
    source->m_packet.reset(av_packet_alloc());
    source->m_picture.reset(av_frame_alloc());
    if (!source->m_decoder || !source->m_packet || !source->m_picture) return nullptr;
    AVCodecContext& decoder = *source->m_decoder;
    if (avcodec_parameters_to_context(&decoder, &video) < 0) return nullptr;
    // Slices rather than frames: frame threads would hold pictures back, and
    // a search jumps more often than it steps.
    decoder.thread_type = FF_THREAD_SLICE;
    decoder.thread_count = threads > 0 ? threads : std::clamp(av_cpu_count(), 1, kMaxDecoderThreads);
    if (avcodec_open2(&decoder, codec, nullptr) < 0) return nullptr;
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
    m_pictureFrame = -1;
    av_packet_unref(m_packet.get());
    if (int rc = readChunk(frame, *m_packet); rc < 0) return rc;
    m_packet->pts = m_packet->dts = frame;
    m_packet->flags = AV_PKT_FLAG_KEY;
    int rc = avcodec_send_packet(m_decoder.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    if (rc >= 0) rc = avcodec_receive_frame(m_decoder.get(), m_picture.get());
    if (rc < 0) {
        // A damaged frame may leave the decoder waiting for more: the next frame starts afresh.
        avcodec_flush_buffers(m_decoder.get());
        return rc;
    }
    m_pictureFrame = frame;
    return 1;
}

// A chunk of the wrong size is damaged; the nearest earlier intact frame
// stands in for it, whichever way the frame was reached.
int DvFrameSource::readChunk(int32_t frame, AVPacket& packet) {
    int32_t use = frame;
    while (use > 0 && m_chunks[static_cast<size_t>(use)].size != m_frameSize) --use;
    const avi::MovieChunk& place = m_chunks[static_cast<size_t>(use)];
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

}  // namespace klemora::media
