#pragma once
// The decoding side of a play: on worker threads, the pictures of a frame
// range (the exact frames, through the frame grabber, at the size the screen
// shows them) and the sound of the same span, each into a small bounded
// queue that the presenting thread empties. Nothing here waits on that
// thread; stopping closes the queues and joins the workers.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "media/bounded_queue.h"
#include "media/media_info.h"
#include "media/play_range.h"
#include "media/sound_decoder.h"

namespace klemora::media {

struct DecodedPicture {
    int32_t frame = -1;
    std::vector<uint8_t> dib;  // bitmap information header and 24-bit bottom-up rows
};

class PlayDecoder {
public:
    // `info` is probed and outlives the decoder; from start() to stop() only
    // the picture worker grabs through it.
    PlayDecoder(MediaInfo& info, PlayRange range, int32_t width, int32_t height);
    ~PlayDecoder();
    PlayDecoder(const PlayDecoder&) = delete;
    PlayDecoder& operator=(const PlayDecoder&) = delete;

    // With sound from `sound` (opened and started on the span) when given.
    void start(std::unique_ptr<SoundDecoder> sound);
    void stop();

    std::optional<DecodedPicture> nextPicture() { return m_pictures.tryPop(); }
    std::optional<std::vector<uint8_t>> nextSound() { return m_sound.tryPop(); }
    bool picturesDrained() const { return m_pictures.drained(); }
    bool soundDrained() const { return m_sound.drained(); }
    // The FFmpeg code that ended the pictures early (0 when none) and its frame.
    int pictureError() const { return m_error.load(); }
    int32_t errorFrame() const { return m_errorFrame.load(); }

private:
    void decodePictures();
    void decodeSound();

    MediaInfo& m_info;
    PlayRange m_range;
    int32_t m_width;
    int32_t m_height;
    std::unique_ptr<SoundDecoder> m_soundDecoder;
    BoundedQueue<DecodedPicture> m_pictures{6};
    BoundedQueue<std::vector<uint8_t>> m_sound{48};
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_error{0};
    std::atomic<int32_t> m_errorFrame{-1};
    std::thread m_pictureThread;
    std::thread m_soundThread;
};

}  // namespace klemora::media
