#include "camera/capture_worker.h"

#include <cerrno>

namespace klemora::camera {
namespace {

// How long one service of the camera may wait for data: also how soon the
// thread sees that it is asked to stop.
constexpr int64_t kServiceWaitMicroseconds = 40000;
// The timecode is a transaction with the unit; the status line shows it once a second.
constexpr int64_t kTimecodePeriod = 200000;

}  // namespace

void readCounts(CameraDevice& device, DeviceReading& reading) {
    DroppedFrameCounter* counter = device.droppedFrameCounter();
    if (!counter) return;
    reading.droppedRc = counter->numDropped(reading.dropped);
    reading.notDroppedRc = counter->numNotDropped(reading.notDropped);
}

void readTimecode(CameraDevice& device, DeviceReading& reading) {
    if (TimecodeReader* reader = device.timecodeReader()) reading.timecodeRc = reader->readTimecode(reading.bcdTimecode);
}

CaptureWorker::CaptureWorker(FilterGraph& graph, CameraDevice& device, Clock& clock)
    : m_graph(graph), m_device(device), m_clock(clock) {
    read(true);  // still the caller's thread: the thread below does not run yet
    m_thread = std::jthread([this](std::stop_token stop) { loop(std::move(stop)); });
}

DeviceReading CaptureWorker::reading() const {
    std::lock_guard lock(m_mutex);
    return m_reading;
}

void CaptureWorker::read(bool withTimecode) {
    DeviceReading reading;
    readCounts(m_device, reading);
    if (withTimecode) readTimecode(m_device, reading);  // not under the lock: the caller never waits on the unit
    std::lock_guard lock(m_mutex);
    if (!withTimecode) {
        reading.timecodeRc = m_reading.timecodeRc;
        reading.bcdTimecode = m_reading.bcdTimecode;
    }
    m_reading = reading;
}

void CaptureWorker::loop(std::stop_token stop) {
    int64_t nextTimecode = m_clock.nowMicroseconds() + kTimecodePeriod;
    while (!stop.stop_requested()) {
        m_graph.serviceSources(kServiceWaitMicroseconds);
        const int64_t now = m_clock.nowMicroseconds();
        const bool withTimecode = now >= nextTimecode;
        if (withTimecode) nextTimecode = now + kTimecodePeriod;
        read(withTimecode);
    }
}

}  // namespace klemora::camera
