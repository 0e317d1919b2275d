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
    : m_path(info.fileName), m_streamIndex(info.videoStream), m_frameRate(info.frameRate), m_format(format),
      m_log(info.log) {}

FrameGrabber::~FrameGrabber() = default;

int FrameGrabber::prepare() {
    if (m_prepared != 0) return m_prepared;
    if (!m_format || m_streamIndex < 0 || m_streamIndex >= static_cast<int>(m_format->nb_streams))
        return m_prepared = AVERROR_STREAM_NOT_FOUND;
    const AVCodecParameters& video = *m_format->streams[m_streamIndex]->codecpar;
    if (isAviPath(m_path)) m_source = DvFrameSource::open(m_path, video, m_frameRate, m_log);
    m_readsDv = m_source != nullptr;
    int error = 0;
    if (!m_source) m_source = DemuxFrameSource::open(*m_format, m_streamIndex, error);
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
    // A negative stride from the last row writes the rows bottom-up.
    uint8_t* destination[4] = {pixels.data() + (height - 1) * stride, nullptr, nullptr, nullptr};
    int destinationStride[4] = {static_cast<int>(-stride), 0, 0, 0};
    int rows = sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, destination, destinationStride);
    if (rows != height) return rows < 0 ? rows : AVERROR_EXTERNAL;
    int64_t used = static_cast<int64_t>(width) * 3;
    if (used < stride)
        for (int32_t y = 0; y < height; ++y) std::memset(pixels.data() + y * stride + used, 0, stride - used);
    return 1;
}

}  // namespace klemora::media
