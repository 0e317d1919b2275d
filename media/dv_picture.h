#pragma once
// One raw DV frame (a camera's, as it came over the wire) decoded into 32-bit
// pixels (B, G, R, 0xff in memory) at the frame's own size, for a preview.
#include <cstdint>
#include <span>
#include <vector>

#include "media/ffmpeg_handles.h"

namespace klemora::media {

struct DvPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 4, rows top down
};

class DvPictureDecoder {
public:
    DvPictureDecoder();
    ~DvPictureDecoder();
    DvPictureDecoder(const DvPictureDecoder&) = delete;
    DvPictureDecoder& operator=(const DvPictureDecoder&) = delete;

    // 1, or a negative FFmpeg code (the decoder missing, a damaged frame).
    int decode(std::span<const uint8_t> frame, DvPicture& picture);

private:
    int open();

    CodecContextPtr m_decoder;
    PacketPtr m_packet;
    FramePtr m_frame;
    ScalerPtr m_scaler;
    std::vector<uint8_t> m_input;  // the frame with the decoder's padding
};

}  // namespace klemora::media
