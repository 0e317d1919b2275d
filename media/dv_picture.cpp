#include "media/dv_picture.h"

#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace klemora::media {

DvPictureDecoder::DvPictureDecoder() = default;
DvPictureDecoder::~DvPictureDecoder() = default;

int DvPictureDecoder::open() {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
    if (!codec) return AVERROR_DECODER_NOT_FOUND;
    m_decoder.reset(avcodec_alloc_context3(codec));
    m_packet.reset(av_packet_alloc());
    m_frame.reset(av_frame_alloc());
    if (!m_decoder || !m_packet || !m_frame) {
        m_decoder.reset();
        return AVERROR(ENOMEM);
    }
    // One picture at a time: a preview has no use for frames decoded ahead.
    m_decoder->thread_count = 1;
    if (int rc = avcodec_open2(m_decoder.get(), codec, nullptr); rc < 0) {
        m_decoder.reset();
        return rc;
    }
    return 1;
}

int DvPictureDecoder::decode(std::span<const uint8_t> frame, DvPicture& picture) {
    if (frame.empty()) return AVERROR_INVALIDDATA;
    if (!m_decoder)
        if (int rc = open(); rc != 1) return rc;
    m_input.assign(frame.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    std::memcpy(m_input.data(), frame.data(), frame.size());
    m_packet->data = m_input.data();
    m_packet->size = static_cast<int>(frame.size());
    int rc = avcodec_send_packet(m_decoder.get(), m_packet.get());
    if (rc >= 0) rc = avcodec_receive_frame(m_decoder.get(), m_frame.get());
    if (rc < 0) return rc;

    const int width = m_frame->width, height = m_frame->height;
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), width, height,
                                        static_cast<AVPixelFormat>(m_frame->format), width, height,
                                        AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr));
    if (!m_scaler) return AVERROR(EINVAL);
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * height * 4);
    uint8_t* planes[4] = {picture.pixels.data(), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    sws_scale(m_scaler.get(), m_frame->data, m_frame->linesize, 0, height, planes, strides);
    av_frame_unref(m_frame.get());
    return 1;
}

}  // namespace klemora::media
