#pragma once
// The pictures of one search, each grabbed while the one before is compared:
// the caller names the frame it expects to ask for next, and a second thread
// grabs it meanwhile. The two pictures last handed out stay too, since a fine
// pass starts on the frame the coarse pass compared before the last. The
// buffers leave the grabber room to convert straight into them. The plain
// way grabs every picture on the caller's thread into buffers of the bare
// size; the pictures and the messages are the same either way.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "app/ui.h"
#include "media/media_info.h"

namespace klemora::detect {

class PictureReadAhead {
public:
    // `info` is probed; its grabber is this object's until it is destroyed.
    // Throws std::bad_alloc when the buffers of `pictureSize` bytes do not fit.
    PictureReadAhead(media::MediaInfo& info, size_t pictureSize, bool plain);
    ~PictureReadAhead();  // waits for the grab in hand
    PictureReadAhead(const PictureReadAhead&) = delete;
    PictureReadAhead& operator=(const PictureReadAhead&) = delete;

    // GrabFrame's result for `frame`, its failure shown on `ui`; then
    // `next` (none when negative) is grabbed ahead. After a failure the
    // picture stays the one before.
    int grab(int32_t frame, int32_t next, app::UserInterface& ui);
    // A bitmap information header and its pixels.
    std::span<const uint8_t> picture() const { return m_current.picture.first(m_pictureSize); }

private:
    struct Slot {
        int32_t frame = -1;  // -1: holds no frame's picture
        int rc = 0;
        std::vector<uint8_t> storage;
        std::span<uint8_t> picture;  // inside `storage`, with the pixels 16-byte aligned
    };
    int take(int32_t frame);
    void waitIdle(std::unique_lock<std::mutex>& lock);
    void grabInto(Slot& slot, int32_t frame);
    void work();

    media::MediaInfo& m_info;
    const size_t m_pictureSize;
    Slot m_current, m_previous, m_ahead;
    std::mutex m_lock;
    std::condition_variable m_changed;
    int32_t m_wanted = -1;  // the frame the worker is to grab into m_ahead
    bool m_busy = false;    // the worker is grabbing
    bool m_quit = false;
    std::thread m_worker;   // only with read-ahead
};

}  // namespace klemora::detect
