#include "camera/dv_audio_extractor.h"

#include <cstring>


namespace klemora::camera {
namespace {

constexpr int kAvioBufferSize = 32768;
constexpr int kMaxPacketsPerFrame = 8;  // one video packet and up to two channel pairs, with room

}  // namespace

// The frame being fed, as a stream that ends after it. Every new frame
// continues the stream at its end, so the demultiplexer sees one long file.
struct DvAudioExtractor::Input {
    std::vector<uint8_t> frame;
    int64_t frameStart = 0;  // stream offset of frame[0]
    int64_t position = 0;

    static int read(void* opaque, uint8_t* buffer, int size) {
        auto* self = static_cast<Input*>(opaque);
        int64_t offset = self->position - self->frameStart;
        if (offset < 0 || offset >= static_cast<int64_t>(self->frame.size())) return AVERROR_EOF;
        int count = static_cast<int>(std::min<int64_t>(size, static_cast<int64_t>(self->frame.size()) - offset));
        std::memcpy(buffer, self->frame.data() + offset, count);
        self->position += count;
        return count;
    }
    static int64_t seek(void* opaque, int64_t offset, int whence) {
        auto* self = static_cast<Input*>(opaque);
        int64_t end = self->frameStart + static_cast<int64_t>(self->frame.size());
        if (whence == AVSEEK_SIZE) return -1;  // a live stream has no size
        int64_t target = whence == SEEK_CUR ? self->position + offset : whence == SEEK_END ? end + offset : offset;
        if (target < 0) return AVERROR(EINVAL);
        self->position = target;
        return target;
    }
};

DvAudioExtractor::DvAudioExtractor() : m_input(std::make_unique<Input>()) {}

DvAudioExtractor::~DvAudioExtractor() = default;

int DvAudioExtractor::openDemuxer() {
    const AVInputFormat* dv = av_find_input_format("dv");
    if (!dv) return AVERROR_DEMUXER_NOT_FOUND;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kAvioBufferSize));
    if (!buffer) return AVERROR(ENOMEM);
    m_io.reset(avio_alloc_context(buffer, kAvioBufferSize, 0, m_input.get(), &Input::read, nullptr, &Input::seek));
    if (!m_io) {
        av_free(buffer);
        return AVERROR(ENOMEM);
    }
    m_packet.reset(av_packet_alloc());
    m_format.reset(avformat_alloc_context());
    if (!m_packet || !m_format) return AVERROR(ENOMEM);
    m_format->pb = m_io.get();
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVFormatContext* opened = m_format.release();
    int rc = avformat_open_input(&opened, nullptr, dv, nullptr);  // frees the context on failure
    m_format.reset(opened);
    if (rc < 0) return rc;
    // The header read looked at the first frame and went back to its start.
    return 0;
}

void DvAudioExtractor::closeDemuxer() {
    m_packet.reset();
    m_format.reset();
    m_io.reset();
}

int DvAudioExtractor::extract(std::span<const uint8_t> frame, std::vector<uint8_t>& pcm, avi::PcmFormat& format) {
    pcm.clear();
    m_input->frameStart += static_cast<int64_t>(m_input->frame.size());
    m_input->frame.assign(frame.begin(), frame.end());
    m_input->position = m_input->frameStart;
    if (!m_format) {
        if (int rc = openDemuxer(); rc < 0) {
            closeDemuxer();  // start again with the next frame
            return rc;
        }
    } else if (int64_t rc = avio_seek(m_format->pb, m_input->frameStart, SEEK_SET); rc < 0) {
        return static_cast<int>(rc);
    }
    return readAudio(pcm, format);
}

int DvAudioExtractor::readAudio(std::vector<uint8_t>& pcm, avi::PcmFormat& format) {
    int found = 0;
    int firstAudio = -1;
    for (int i = 0; i < kMaxPacketsPerFrame; ++i) {
        int rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc < 0) break;  // the frame is used up
        const AVStream* stream = m_format->streams[m_packet->stream_index];
        const AVCodecParameters* par = stream->codecpar;
        bool audio = par->codec_type == AVMEDIA_TYPE_AUDIO && par->codec_id == AV_CODEC_ID_PCM_S16LE;
        if (audio && (firstAudio < 0 || firstAudio == m_packet->stream_index) && par->ch_layout.nb_channels == 2 &&
            par->sample_rate > 0 && m_packet->size > 0) {
            firstAudio = m_packet->stream_index;
            pcm.insert(pcm.end(), m_packet->data, m_packet->data + (m_packet->size & ~3));
            format.channels = 2;
            format.bitsPerSample = 16;
            format.samplesPerSecond = static_cast<uint32_t>(par->sample_rate);
            found = 1;
        }
        av_packet_unref(m_packet.get());
    }
    return found;
}

int32_t samplesForFrame(int64_t frame, uint32_t sampleRate, bool pal) {
    // frames per second: 25 / 1, or 30000 / 1001
    const int64_t num = pal ? 25 : 30000;
    const int64_t den = pal ? 1 : 1001;
    auto before = [&](int64_t n) { return n * static_cast<int64_t>(sampleRate) * den / num; };
    return static_cast<int32_t>(before(frame + 1) - before(frame));
}

}  // namespace klemora::camera
