#pragma once
// Pictures of a probed file: a 40-byte bitmap information header followed by
// 24-bit bottom-up rows padded to 4 bytes, scaled to the requested size. A
// width or height below 1 selects the video's own size.
#include <cstdint>
#include <span>

#include "app/ui.h"
#include "media/media_info.h"

namespace klemora::media {

// Bytes of header and pixels for a picture of that size; -1 when not probed
// or too large.
int32_t GetPictureBufferSize(int32_t width, int32_t height, const MediaInfo& info);

// 1 = `buffer` holds the picture shown at `time` seconds (the exact frame);
// otherwise the negative FFmpeg code after the KLM-AF-1000 message, or -1
// when not probed. `buffer` must hold GetPictureBufferSize(width, height).
int GrabPictureAtTime(MediaInfo& info, double time, std::span<uint8_t> buffer, int32_t width, int32_t height,
                      app::UserInterface& ui);

// The picture of frame `frame`, at frame x frame duration + 0.01 s.
int GrabFrame(MediaInfo& info, int32_t frame, std::span<uint8_t> buffer, int32_t width, int32_t height,
              app::UserInterface& ui);

// GrabFrame without the message, for a grab on another thread than the one
// that shows messages; ShowGrabFailure shows it later for a failed grab of a
// probed file.
int GrabFrameQuietly(MediaInfo& info, int32_t frame, std::span<uint8_t> buffer, int32_t width, int32_t height);
void ShowGrabFailure(const MediaInfo& info, int32_t frame, int rc, app::UserInterface& ui);

// The size a request means: the video's own for a width or height below 1.
void pictureSizeFor(const MediaInfo& info, int32_t& width, int32_t& height);

}  // namespace klemora::media
