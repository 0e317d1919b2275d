#pragma once
// The exact DV frame of an AVI file: its raw chunk read through AviReader and
// handed to libavcodec's DV decoder. The frame chunks are listed once, in
// file order as AviReader counts them, so a jump costs one read wherever it
// lands. The decoder's slice threads share out each frame, so a jump is as
// quick as a step.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "avi/movie_chunks.h"
#include "media/ffmpeg_handles.h"
#include "media/frame_source.h"

namespace klemora::avi {
class AviReader;
}

namespace klemora::media {

class DvFrameSource : public FrameSource {
public:
    // Null when the file cannot be read as DV through AviReader or the DV
    // decoder does not open.
    // `threads` 0: as many decoder threads as help.
    static std::unique_ptr<DvFrameSource> open(const std::string& path, const AVCodecParameters& video, float frameRate,
                                               int threads, const app::DebugLog& log);
    ~DvFrameSource() override;

    int decodeAt(double time) override;
    const AVFrame& picture() const override { return *m_picture; }

private:
    DvFrameSource() = default;
    int decodeFrame(int32_t frame);
    int readChunk(int32_t frame, AVPacket& packet);

    std::unique_ptr<avi::AviReader> m_reader;
    CodecContextPtr m_decoder;
    PacketPtr m_packet;
    FramePtr m_picture;
    std::span<const avi::MovieChunk> m_chunks;  // m_reader's frame chunks in file order
    uint32_t m_frameSize = 0;          // 144000 (PAL) or 120000 (NTSC)
    // Packet buffers the decoder threads reference instead of copying.
    struct PoolFreer {
        void operator()(AVBufferPool* pool) const { av_buffer_pool_uninit(&pool); }
    };
    std::unique_ptr<AVBufferPool, PoolFreer> m_packetPool;
    float m_frameRate = 0;
    int32_t m_pictureFrame = -1;  // frame of m_picture, -1 when none
};

}  // namespace klemora::media
