#pragma once
// The tape transport of the simulated camera. Like a real deck it runs on a
// frame clock: at every frame tick the tape moves by the mode's speed (one
// frame in play, several in picture search and more when winding) and, in
// the modes that show a picture, the frame under the head goes out. A mode
// set between two ticks takes effect at the next one. The tape stops by
// itself at either end.
#include <cstdint>

#include "camera/camera_clock.h"

namespace klemora::camera {

inline constexpr int kSearchSpeed = 10;  // frames per tick in picture search
inline constexpr int kWindSpeed = 20;    // frames per tick when winding (no picture)

class DeckOutput {
public:
    virtual ~DeckOutput() = default;
    // The frame under the head at tick `tick` went out.
    virtual void framePictured(int32_t frameIndex, int64_t tick) = 0;
};

class SimulatedDeck {
public:
    // `frameCount` 0: no cassette.
    SimulatedDeck(Clock& clock, int32_t frameCount, bool ntsc);

    // TransportMode values. 0, -ENOMEDIUM (a motion without a cassette),
    // -EROFS (recording: the simulated cassette is never written), -EINVAL.
    int setMode(int mode);
    int mode();
    int32_t position();
    // Test set-up: puts the tape at a frame without moving it there.
    void cue(int32_t frame);

    bool mediumPresent() const { return m_frameCount > 0; }
    bool ntsc() const { return m_ntsc; }
    int32_t frameCount() const { return m_frameCount; }

    // Brings the tape to the current time, telling the output of every
    // pictured frame on the way.
    void update();
    void setOutput(DeckOutput* output) { m_output = output; }
    // Clock time of the next tick.
    int64_t nextTickTime() const { return tickTime(m_tick + 1); }

private:
    int64_t tickTime(int64_t tick) const;
    int64_t tickAt(int64_t time) const;
    void step();

    Clock& m_clock;
    int32_t m_frameCount;
    bool m_ntsc;
    int64_t m_start;
    int64_t m_tick = 0;
    int m_mode;
    int32_t m_position = 0;
    DeckOutput* m_output = nullptr;
};

}  // namespace klemora::camera
