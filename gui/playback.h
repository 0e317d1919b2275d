#pragma once
// One real-speed play of a frame range with its sound, shared by the dialog
// player and the play window: the file is probed and the decoders started
// on worker threads, and the pictures are presented on this (the user
// interface) thread when the play clock reaches them. The clock is the sound
// device's; without a device, without sound or at a speed other than 1 (the
// sound is muted then) it is the wall clock at that speed.
#include <QImage>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/media_info.h"
#include "media/media_settings.h"
#include "media/play_range.h"
#include "media/sound_output.h"

namespace klemora::media {
class PlayDecoder;
}

namespace klemora::gui {

// What went wrong, for each player to turn into its own step code.
enum class PlayFailure {
    None,
    Open,    // the file cannot be opened or its first picture not decoded
    Range,   // the range lies outside the file
    Start,   // the sound output or the decoders cannot start
    Decode,  // a picture failed while playing
};

// How a play went, for the benchmark and the tests.
struct PlayCounts {
    int32_t shown = 0;     // pictures that reached the screen
    int32_t dropped = 0;   // frames skipped because they came too late
    int32_t repeated = 0;  // frame periods in which the previous picture stayed
    std::vector<double> offsets;  // |frame time - sound position| in seconds at each picture shown
    double firstPictureSeconds = -1;  // from open() to the first picture on screen
    bool withSound = false;           // the clock was a sound device's
};

class Playback {
public:
    explicit Playback(const media::MediaSettings& settings);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Probes `path` and fixes the range (media::resolvePlayRange).
    PlayFailure open(const std::string& path, int32_t from, int32_t to);
    const media::MediaInfo& info() const { return *m_info; }
    media::PlayRange range() const { return m_range; }

    // Called with each picture when it is due; it returns once it is on screen.
    using Present = std::function<void(int32_t frame, const QImage& picture)>;
    // Plays the range at `speed` with the pictures at width x height until
    // it ended, failed or `stopRequested` returns true (looked at every few
    // milliseconds while events are processed).
    PlayFailure run(int32_t width, int32_t height, float speed, const Present& present,
                    const std::function<bool()>& stopRequested);

    // The FFmpeg or sound-device code of the failure, and its frame (-1 if none).
    int errorCode() const { return m_errorCode; }
    int32_t errorFrame() const { return m_errorFrame; }
    int32_t lastShown() const { return m_lastShown; }
    const PlayCounts& counts() const { return m_counts; }

    // Tests: the sound goes to this file (raw 16-bit samples) when no device is used.
    static void recordNullSoundTo(std::string path);

private:
    PlayFailure startDecoding(int32_t width, int32_t height);
    std::unique_ptr<media::SoundDecoder> openSound();
    PlayFailure waitForFirstPicture(const std::function<bool()>& stopRequested);
    bool tick(const Present& present, const std::function<bool()>& stopRequested);
    void pullPictures();
    double clockNow();
    void feedSound();
    void presentDue(int32_t due, const Present& present);
    double secondsSinceOpen() const;

    media::MediaSettings m_settings;
    std::unique_ptr<media::MediaInfo> m_info;
    media::PlayRange m_range;
    std::unique_ptr<media::SoundOutput> m_sound;
    std::unique_ptr<media::PlayDecoder> m_decoder;  // before m_info goes
    media::PlayClock m_clock;
    std::vector<uint8_t> m_pendingSound;  // a chunk the output did not take whole
    size_t m_pendingOffset = 0;
    size_t m_soundFrameBytes = 4;
    struct Ready {
        int32_t frame;
        QImage picture;
    };
    std::vector<Ready> m_ready;  // decoded, not yet due
    std::chrono::steady_clock::time_point m_opened;
    std::chrono::steady_clock::time_point m_started;
    float m_speed = 1;
    int m_errorCode = 0;
    int32_t m_errorFrame = -1;
    int32_t m_lastShown = -1;
    int32_t m_lastRepeat = -1;
    PlayCounts m_counts;
    PlayFailure m_result = PlayFailure::None;
};

}  // namespace klemora::gui
