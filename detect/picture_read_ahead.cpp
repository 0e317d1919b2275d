#include "detect/picture_read_ahead.h"

#include <utility>

#include "media/bitmap_header.h"
#include "media/frame_grabber.h"
#include "media/picture_grab.h"

namespace klemora::detect {

namespace {

constexpr size_t kPixelAlignment = 16;

}  // namespace

PictureReadAhead::PictureReadAhead(media::MediaInfo& info, size_t pictureSize, bool plain)
    : m_info(info), m_pictureSize(pictureSize) {
    const size_t slack = plain ? 0 : media::FrameGrabber::kConversionSlack;
    for (Slot* slot : {&m_current, &m_previous, &m_ahead}) {
        slot->storage.assign(pictureSize + slack + kPixelAlignment, 0);
        const auto pixels = reinterpret_cast<uintptr_t>(slot->storage.data()) + media::kBitmapInfoHeaderSize;
        const size_t offset = (kPixelAlignment - pixels % kPixelAlignment) % kPixelAlignment;
        slot->picture = std::span<uint8_t>(slot->storage).subspan(offset, pictureSize + slack);
    }
    if (!plain) m_worker = std::thread([this] { work(); });
}

PictureReadAhead::~PictureReadAhead() {
    if (!m_worker.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_quit = true;
    }
    m_changed.notify_all();
    m_worker.join();
}

int PictureReadAhead::grab(int32_t frame, int32_t next, app::UserInterface& ui) {
    const int rc = take(frame);
    if (rc != 1) media::ShowGrabFailure(m_info, frame, rc, ui);
    const bool held = next == m_current.frame || next == m_previous.frame;
    if (next < 0 || held || !m_worker.joinable()) return rc;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_wanted = next;
    }
    m_changed.notify_all();
    return rc;
}

// The picture of `frame` into m_current, the one it replaces into m_previous.
int PictureReadAhead::take(int32_t frame) {
    if (frame == m_current.frame) return 1;
    if (frame == m_previous.frame) {
        std::swap(m_current, m_previous);
        return 1;
    }
    {
        std::unique_lock<std::mutex> lock(m_lock);
        waitIdle(lock);
    }
    if (m_ahead.frame != frame) grabInto(m_ahead, frame);
    const int rc = m_ahead.rc;
    if (rc != 1) {
        m_ahead.frame = -1;
        return rc;
    }
    std::swap(m_previous, m_current);
    std::swap(m_current, m_ahead);
    return 1;
}

void PictureReadAhead::waitIdle(std::unique_lock<std::mutex>& lock) {
    m_changed.wait(lock, [this] { return !m_busy && m_wanted < 0; });
}

void PictureReadAhead::grabInto(Slot& slot, int32_t frame) {
    slot.frame = frame;
    slot.rc = media::GrabFrameQuietly(m_info, frame, slot.picture, 0, 0);
}

void PictureReadAhead::work() {
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || m_wanted >= 0; });
        if (m_quit) return;
        const int32_t frame = std::exchange(m_wanted, -1);
        m_busy = true;
        lock.unlock();
        grabInto(m_ahead, frame);
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

}  // namespace klemora::detect
