#include "media/play_decoder.h"

#include "app/ui.h"
#include "media/picture_grab.h"

extern "C" {
#include <libavutil/error.h>
}

namespace klemora::media {

PlayDecoder::PlayDecoder(MediaInfo& info, PlayRange range, int32_t width, int32_t height)
    : m_info(info), m_range(range), m_width(width), m_height(height) {}

PlayDecoder::~PlayDecoder() { stop(); }

void PlayDecoder::start(std::unique_ptr<SoundDecoder> sound) {
    m_soundDecoder = std::move(sound);
    m_pictureThread = std::thread([this] { decodePictures(); });
    if (m_soundDecoder) m_soundThread = std::thread([this] { decodeSound(); });
    else m_sound.finish();
}

void PlayDecoder::stop() {
    m_stopping = true;
    m_pictures.close();
    m_sound.close();
    if (m_pictureThread.joinable()) m_pictureThread.join();
    if (m_soundThread.joinable()) m_soundThread.join();
}

void PlayDecoder::decodePictures() {
    // The grabber reports nothing itself; the presenting side tells the user.
    app::SilentUserInterface quiet;
    int32_t size = GetPictureBufferSize(m_width, m_height, m_info);
    for (int32_t frame = m_range.first; frame <= m_range.last && !m_stopping; ++frame) {
        DecodedPicture picture{frame, std::vector<uint8_t>(size > 0 ? size : 0)};
        int rc = size > 0 ? GrabFrame(m_info, frame, picture.dib, m_width, m_height, quiet) : AVERROR(EINVAL);
        // A count from the demuxer's duration can be a frame or two high;
        // earlier, the end of the file means it lost frames it had.
        if (rc == AVERROR_EOF && frame > m_range.first && frame >= m_info.frameCount - 2) break;
        if (rc != 1) {
            m_errorFrame = frame;
            m_error = rc < 0 ? rc : AVERROR_UNKNOWN;
            break;
        }
        if (!m_pictures.push(std::move(picture))) break;
    }
    m_pictures.finish();
}

void PlayDecoder::decodeSound() {
    for (;;) {
        std::vector<uint8_t> chunk;
        // A sound that fails part-way only falls silent; the pictures go on.
        if (m_soundDecoder->next(chunk) != 1 || m_stopping) break;
        if (!m_sound.push(std::move(chunk))) break;
    }
    m_sound.finish();
}

}  // namespace klemora::media
