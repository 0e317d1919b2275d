#include "media/frame_grabber.h"

#include <algorithm>
#include <cstring>

#include "media/bitmap_header.h"
#include "media/demux_frame_source.h"
#include "media/dv_frame_source.h"
#include "media/media_info.h"

namespace klemora::media {
namespace {

bool isAviPath(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(), ::tolower);
    return path.find(".avi") != std::string::npos;
}

}  // namespace

FrameGrabber::FrameGrabber(const MediaInfo& info, AVFormatContext* format)
    : m_path(info.fileName), m_streamIndex(info.videoStream), m_frameRate(info.frameRate),
      m_decoderThreads(info.decoderThreads), m_format(format),
      m_log(info.log) {}

FrameGrabber::~FrameGrabber() = default;

int FrameGrabber::prepare() {
    if (m_prepared != 0) return m_prepared;
    if (!m_format || m_streamIndex < 0 || m_streamIndex >= static_cast<int>(m_format->nb_streams))
        return m_prepared = AVERROR_STREAM_NOT_FOUND;
    const AVCodecParameters& video = *m_format->streams[m_streamIndex]->codecpar;
    if (isAviPath(m_path)) m_source = DvFrameSource::open(m_path, video, m_frameRate, m_decoderThreads, m_log);
    m_readsDv = m_source != nullptr;
    int error = 0;
    if (!m_source) m_source = DemuxFrameSource::open(*m_format, m_streamIndex, m_decoderThreads, error);
    return m_prepared = m_source ? 1 : error;
}

int FrameGrabber::grab(double time, int32_t width, int32_t height, std::span<uint8_t> pixels) {
    if (int rc = prepare(); rc != 1) return rc;
    if (int rc = m_source->decodeAt(time); rc != 1) return rc;
    return convert(m_source->picture(), width, height, pixels);
}

int FrameGrabber::convert(const AVFrame& frame, int32_t width, int32_t height, std::span<uint8_t> pixels) {
    int64_t stride = dibRowStride(width, 24);
    if (width < 1 || height < 1 || static_cast<int64_t>(pixels.size()) < stride * height)
        return AVERROR_BUFFER_TOO_SMALL;
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame.width, frame.height,
                                        static_cast<AVPixelFormat>(frame.format), width, height, AV_PIX_FMT_BGR24,
                                        SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!m_scaler) return AVERROR(EINVAL);
    if (convertsStraight(frame, width, height, pixels)) return convertStraight(frame, height, pixels);
    // The scaler's vector code writes a few bytes past the end of a row, for
    // which the packed bitmap rows have no room: it scales into rows of its
    // own, which are then copied bottom row first.
    if (!m_scaled || m_scaled->width != width || m_scaled->height != height) {
        m_scaled.reset(av_frame_alloc());
        if (!m_scaled) return AVERROR(ENOMEM);
        m_scaled->format = AV_PIX_FMT_BGR24;
        m_scaled->width = width;
        m_scaled->height = height;
        if (int rc = av_frame_get_buffer(m_scaled.get(), 0); rc < 0) {
            m_scaled.reset();
            return rc;
        }
    }
    int rows = sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, m_scaled->data,
                         m_scaled->linesize);
    if (rows != height) return rows < 0 ? rows : AVERROR_EXTERNAL;
    int64_t used = static_cast<int64_t>(width) * 3;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = pixels.data() + (height - 1 - y) * stride;
        std::memcpy(row, m_scaled->data[0] + static_cast<int64_t>(y) * m_scaled->linesize[0], used);
        if (used < stride) std::memset(row + used, 0, stride - used);
    }
    return 1;
}

// Only 4:2:0 without scaling (PAL DV): the scaler's direct converter then
// makes each output row from its own luma row and the chroma row of its
// pair, which an even height keeps, so the order the rows are fed in
// changes no pixel. Through the full scaler (4:1:1 NTSC DV) it does.
bool FrameGrabber::convertsStraight(const AVFrame& frame, int32_t width, int32_t height,
                                    std::span<uint8_t> pixels) const {
    const int64_t stride = dibRowStride(width, 24);
    return frame.format == AV_PIX_FMT_YUV420P && frame.width == width && frame.height == height && height % 2 == 0 &&
           stride == int64_t{width} * 3 &&
           stride % 16 == 0 && reinterpret_cast<uintptr_t>(pixels.data()) % 16 == 0 &&
           static_cast<int64_t>(pixels.size()) >= stride * height + kConversionSlack;
}

// The source fed bottom row first comes out in the bitmap's row order; a
// row's overrun lands on the next row before that is written, the last
// one's in the slack.
int FrameGrabber::convertStraight(const AVFrame& frame, int32_t height, std::span<uint8_t> pixels) {
    const uint8_t* planes[4] = {};
    int strides[4] = {};
    for (int i = 0; i < 3; ++i) {
        const int rows = i == 0 ? frame.height : frame.height / 2;
        planes[i] = frame.data[i] + static_cast<ptrdiff_t>(rows - 1) * frame.linesize[i];
        strides[i] = -frame.linesize[i];
    }
    uint8_t* out[4] = {pixels.data(), nullptr, nullptr, nullptr};
    int outStrides[4] = {static_cast<int>(dibRowStride(frame.width, 24)), 0, 0, 0};
    int rows = sws_scale(m_scaler.get(), planes, strides, 0, frame.height, out, outStrides);
    if (rows != height) return rows < 0 ? rows : AVERROR_EXTERNAL;
    return 1;
}

}  // namespace klemora::media
