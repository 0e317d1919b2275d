#include "media/sound_output.h"

#include <algorithm>

namespace klemora::media {

NullSoundOutput::NullSoundOutput(float speed, SoundFormat format, std::string recordPath)
    : m_speed(speed), m_format(format), m_recordPath(std::move(recordPath)) {}

NullSoundOutput::~NullSoundOutput() = default;

int NullSoundOutput::start() {
    if (!m_recordPath.empty()) {
        m_record.reset(std::fopen(m_recordPath.c_str(), "wb"));
        if (!m_record) return -1;
    }
    m_started = std::chrono::steady_clock::now();
    m_written = 0;
    return 1;
}

int64_t NullSoundOutput::bytesFree() {
    if (m_format.bytesPerSecond() == 0 || m_started == std::chrono::steady_clock::time_point{}) return 0;
    // As a device would: half a second ahead of what has been played.
    double ahead = clock() + 0.5;
    auto due = static_cast<int64_t>(ahead * m_format.bytesPerSecond());
    return std::max<int64_t>(due - m_written, 0);
}

void NullSoundOutput::write(std::span<const uint8_t> bytes) {
    if (m_record) std::fwrite(bytes.data(), 1, bytes.size(), m_record.get());
    m_written += static_cast<int64_t>(bytes.size());
}

double NullSoundOutput::clock() {
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_started;
    return elapsed.count() * m_speed;
}

double PlayClock::update(double outputSeconds, double wallSeconds) {
    if (!m_running) {
        // The first picture stays until the sound really plays (a sound
        // server may take a while to start); then both run from there.
        if (outputSeconds <= 0 && wallSeconds < kStartWaitSeconds) return m_now;
        m_running = true;
        m_offset = outputSeconds - wallSeconds;
    }
    if (outputSeconds > m_lastOutput) {
        m_lastOutput = outputSeconds;
        m_wallAtLastMove = wallSeconds;
    }
    if (wallSeconds - m_wallAtLastMove <= kStallSeconds) {
        double gap = outputSeconds - (wallSeconds + m_offset);
        m_offset += std::clamp(gap * kFollowShare, -kMaxCorrection, kMaxCorrection);
    }
    m_now = std::max(m_now, wallSeconds + m_offset);
    return m_now;
}

}  // namespace klemora::media
