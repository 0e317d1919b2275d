#include "media/picture_grab.h"

#include <limits>

#include "app/string_table.h"
#include "media/bitmap_header.h"
#include "app/error_text.h"
#include "media/frame_grabber.h"
#include "media/media_detector.h"
#include "app/text_format.h"
#include "media/probe_rules.h"

extern "C" {
#include <libavutil/error.h>
}

namespace klemora::media {
namespace {

// Larger pictures would not fit the 32-bit size of the buffer.
constexpr int32_t kMaxPictureSide = 16384;

int64_t bufferSizeFor(int32_t width, int32_t height) {
    return kBitmapInfoHeaderSize + dibRowStride(width, 24) * height;
}

}  // namespace

void pictureSizeFor(const MediaInfo& info, int32_t& width, int32_t& height) {
    if (width < 1 || height < 1) {
        width = GetVideoWidth(info);
        height = GetVideoHeight(info);
    }
}

int32_t GetPictureBufferSize(int32_t width, int32_t height, const MediaInfo& info) {
    if (!info.probed) return -1;
    pictureSizeFor(info, width, height);
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return -1;
    int64_t size = bufferSizeFor(width, height);
    return size <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(size) : -1;
}

namespace {

// 1, the FFmpeg code, or -1 when not probed; shows nothing.
int grabQuietly(MediaInfo& info, double time, std::span<uint8_t> buffer, int32_t width, int32_t height) {
    if (!info.probed || !info.detector) return -1;
    pictureSizeFor(info, width, height);
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return AVERROR(EINVAL);
    if (static_cast<int64_t>(buffer.size()) < bufferSizeFor(width, height)) return AVERROR_BUFFER_TOO_SMALL;
    writeBitmapInfoHeader(pictureHeader(width, height), buffer.first<kBitmapInfoHeaderSize>());
    return info.detector->grabber(info).grab(time, width, height, buffer.subspan(kBitmapInfoHeaderSize));
}

void showFailureAt(double time, int rc, app::UserInterface& ui) {
    ui.showMessage(app::stringPrintf("%s\nCode: KLM-AF-1000\nCode 2: %s\nPicTime: %f", app::loadString(117).c_str(),
                                     app::DxErrorText(rc), time),
                   app::Icon::Stop);
}

}  // namespace

int GrabPictureAtTime(MediaInfo& info, double time, std::span<uint8_t> buffer, int32_t width, int32_t height,
                      app::UserInterface& ui) {
    if (!info.probed || !info.detector) return -1;
    const int rc = grabQuietly(info, time, buffer, width, height);
    if (rc != 1) showFailureAt(time, rc, ui);
    return rc;
}

int GrabFrame(MediaInfo& info, int32_t frame, std::span<uint8_t> buffer, int32_t width, int32_t height,
              app::UserInterface& ui) {
    if (!info.probed) return -1;
    return GrabPictureAtTime(info, frameTime(frame, info.frameDuration), buffer, width, height, ui);
}

int GrabFrameQuietly(MediaInfo& info, int32_t frame, std::span<uint8_t> buffer, int32_t width, int32_t height) {
    if (!info.probed) return -1;
    return grabQuietly(info, frameTime(frame, info.frameDuration), buffer, width, height);
}

void ShowGrabFailure(const MediaInfo& info, int32_t frame, int rc, app::UserInterface& ui) {
    if (info.probed && info.detector) showFailureAt(frameTime(frame, info.frameDuration), rc, ui);
}

}  // namespace klemora::media
