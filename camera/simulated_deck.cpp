#include "camera/simulated_deck.h"

#include <cerrno>

#include "camera/camera_codes.h"

namespace klemora::camera {
namespace {

// Frame period as a fraction of a second: 1/25, or 1001/30000.
constexpr int64_t kMicro = 1000000;

int speedOf(int mode) {
    switch (static_cast<TransportMode>(mode)) {
        case TransportMode::Play: return 1;
        case TransportMode::PlayFastestForward: return kSearchSpeed;
        case TransportMode::PlayFastestReverse: return -kSearchSpeed;
        case TransportMode::FastForward: return kWindSpeed;
        case TransportMode::Rewind: return -kWindSpeed;
        default: return 0;
    }
}

bool showsPicture(int mode) {
    switch (static_cast<TransportMode>(mode)) {
        case TransportMode::Play:
        case TransportMode::Freeze:
        case TransportMode::PlayFastestForward:
        case TransportMode::PlayFastestReverse: return true;
        default: return false;
    }
}

}  // namespace

SimulatedDeck::SimulatedDeck(Clock& clock, int32_t frameCount, bool ntsc)
    : m_clock(clock), m_frameCount(frameCount > 0 ? frameCount : 0), m_ntsc(ntsc),
      m_start(clock.nowMicroseconds()), m_mode(static_cast<int>(TransportMode::Stop)) {}

int64_t SimulatedDeck::tickTime(int64_t tick) const {
    const int64_t num = m_ntsc ? 30000 : 25;
    const int64_t den = m_ntsc ? 1001 : 1;
    return m_start + (tick * kMicro * den + num - 1) / num;
}

int64_t SimulatedDeck::tickAt(int64_t time) const {
    const int64_t num = m_ntsc ? 30000 : 25;
    const int64_t den = m_ntsc ? 1001 : 1;
    if (time <= m_start) return 0;
    // The last tick whose time has come: tickTime(k) <= time.
    int64_t k = (time - m_start) * num / (kMicro * den);
    while (tickTime(k + 1) <= time) ++k;
    while (k > 0 && tickTime(k) > time) --k;
    return k;
}

// The frame under the head goes out, then the tape moves on; a move past
// either end stops the deck there.
void SimulatedDeck::step() {
    if (showsPicture(m_mode) && m_output) m_output->framePictured(m_position, m_tick);
    const int speed = speedOf(m_mode);
    if (speed == 0) return;
    const int64_t next = static_cast<int64_t>(m_position) + speed;
    if (next < 0 || next >= m_frameCount) {
        m_position = next < 0 ? 0 : m_frameCount - 1;
        m_mode = static_cast<int>(TransportMode::Stop);
        return;
    }
    m_position = static_cast<int32_t>(next);
}

void SimulatedDeck::update() {
    const int64_t target = tickAt(m_clock.nowMicroseconds());
    while (m_tick < target) {
        ++m_tick;
        if (m_frameCount > 0) step();
    }
}

int SimulatedDeck::setMode(int mode) {
    update();
    const auto wanted = static_cast<TransportMode>(mode);
    if (wanted == TransportMode::Record || wanted == TransportMode::RecordFreeze) return -EROFS;
    if (!isKnownTransportMode(mode)) return -EINVAL;
    if (m_frameCount == 0 && wanted != TransportMode::Stop) return -ENOMEDIUM;
    m_mode = mode;
    return 0;
}

int SimulatedDeck::mode() {
    update();
    return m_mode;
}

int32_t SimulatedDeck::position() {
    update();
    return m_position;
}

void SimulatedDeck::cue(int32_t frame) {
    update();
    if (m_frameCount == 0) return;
    m_position = frame < 0 ? 0 : frame >= m_frameCount ? m_frameCount - 1 : frame;
}

}  // namespace klemora::camera
