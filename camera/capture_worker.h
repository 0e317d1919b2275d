#pragma once
// The capture thread. It services the camera filter, so FireWire reception,
// the DV splitter, the AVI multiplexer and the disk writes all run here,
// where no repaint or modal dialog of the caller can hold them up. It never
// touches the seam: the caller learns what happened from the graph's event
// queue, the preview's frame queue and the device readings below (the
// latest wins), and keeps the device to this thread while it runs.
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>

#include "camera/camera_clock.h"
#include "camera/camera_device.h"
#include "camera/filter_graph.h"

namespace klemora::camera {

// The unit's counters and timecode as one reading; each rc is 0 or the
// failing call's code, and -ENOTSUP when the unit lacks the interface.
struct DeviceReading {
    int droppedRc = -ENOTSUP;
    int64_t dropped = 0;
    int notDroppedRc = -ENOTSUP;
    int64_t notDropped = 0;
    int timecodeRc = -ENOTSUP;
    uint32_t bcdTimecode = 0;
};

void readCounts(CameraDevice& device, DeviceReading& reading);
void readTimecode(CameraDevice& device, DeviceReading& reading);

class CaptureWorker {
public:
    // The graph runs already; it must not change until the worker is gone.
    CaptureWorker(FilterGraph& graph, CameraDevice& device, Clock& clock);
    ~CaptureWorker() = default;  // the thread stops and is joined
    CaptureWorker(const CaptureWorker&) = delete;
    CaptureWorker& operator=(const CaptureWorker&) = delete;

    DeviceReading reading() const;

private:
    void loop(std::stop_token stop);
    void read(bool withTimecode);

    FilterGraph& m_graph;
    CameraDevice& m_device;
    Clock& m_clock;
    mutable std::mutex m_mutex;  // m_reading
    DeviceReading m_reading;
    std::jthread m_thread;  // last: it starts once everything it uses is there
};

}  // namespace klemora::camera
