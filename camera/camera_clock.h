#pragma once
// The clock of the camera component: the capture loop's waits, the simulated
// deck's tape motion and the dialog's pauses all ask it, so tests run a whole
// capture in virtual time without sleeping.
#include <atomic>
#include <cstdint>

namespace klemora::camera {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t nowMicroseconds() const = 0;
    virtual void sleepMicroseconds(int64_t duration) = 0;
    void sleepUntil(int64_t time) {
        int64_t now = nowMicroseconds();
        if (time > now) sleepMicroseconds(time - now);
    }
};

// Monotonic wall time.
class SystemClock : public Clock {
public:
    int64_t nowMicroseconds() const override;
    void sleepMicroseconds(int64_t duration) override;
};

// Virtual time that only moves when slept on or advanced. The capture
// thread and the caller's thread may both use it; a sleep gives the other
// thread a turn, as time passing would.
class ManualClock : public Clock {
public:
    explicit ManualClock(int64_t start = 0) : m_now(start) {}
    int64_t nowMicroseconds() const override { return m_now.load(std::memory_order_acquire); }
    void sleepMicroseconds(int64_t duration) override;
    void advance(int64_t duration) { sleepMicroseconds(duration); }

private:
    std::atomic<int64_t> m_now;
};

// The process-wide system clock, for callers without one of their own.
Clock& systemClock();

}  // namespace klemora::camera
