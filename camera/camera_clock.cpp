#include "camera/camera_clock.h"

#include <chrono>
#include <thread>

namespace klemora::camera {

int64_t SystemClock::nowMicroseconds() const {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMicroseconds(int64_t duration) {
    if (duration > 0) std::this_thread::sleep_for(std::chrono::microseconds(duration));
}

void ManualClock::sleepMicroseconds(int64_t duration) {
    if (duration > 0) m_now.fetch_add(duration, std::memory_order_acq_rel);
    std::this_thread::yield();
}

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace klemora::camera
