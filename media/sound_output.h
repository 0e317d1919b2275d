#pragma once
// Where a play's sound goes, and the clock the pictures follow: the media
// seconds the output has really played since it started.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "media/sound_decoder.h"

namespace klemora::media {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // 1, or a negative code when the output cannot start.
    virtual int start() = 0;
    // Bytes that can be written now without waiting.
    virtual int64_t bytesFree() = 0;
    virtual void write(std::span<const uint8_t> bytes) = 0;
    // Media seconds played since start().
    virtual double clock() = 0;
};

// No sound device, no sound stream or a speed other than 1: the clock is the
// wall clock times the speed, and the samples are taken at that pace (into
// a file when one is named, so that a test can look at them).
class NullSoundOutput : public SoundOutput {
public:
    NullSoundOutput(float speed, SoundFormat format, std::string recordPath = {});
    ~NullSoundOutput() override;

    int start() override;
    int64_t bytesFree() override;
    void write(std::span<const uint8_t> bytes) override;
    double clock() override;

private:
    float m_speed;
    SoundFormat m_format;
    std::string m_recordPath;
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_record;
    std::chrono::steady_clock::time_point m_started{};
    int64_t m_written = 0;
};

// The clock of a play: it starts when the sound output starts to play (or
// after kStartWaitSeconds without it), then runs on the wall clock, pulled
// towards the sound output's position a little at each look, so that the
// pictures keep an even pace while the position (read in steps) holds them
// to the sound. While the output stands still (its sound ran out, the device
// stalls) the wall clock runs on alone, so that the pictures never wait for
// sound forever.
class PlayClock {
public:
    // Seconds of stillness after which the output no longer pulls.
    static constexpr double kStallSeconds = 0.25;
    // The largest correction at one look, and the share of the gap taken.
    static constexpr double kMaxCorrection = 0.0005;
    static constexpr double kFollowShare = 0.05;
    // How long the first picture waits for the sound to start.
    static constexpr double kStartWaitSeconds = 3.0;

    // `outputSeconds`: the output's clock; `wallSeconds`: media seconds by
    // the wall clock. Never goes back.
    double update(double outputSeconds, double wallSeconds);

private:
    double m_lastOutput = -1;
    double m_wallAtLastMove = 0;
    bool m_running = false;
    double m_offset = 0;  // added to the wall clock
    double m_now = 0;
};

}  // namespace klemora::media
