#include "camera/camera_filter.h"

#include <cerrno>

#include "app/debug_log.h"
#include "avi/avi_format.h"
#include "camera/camera_codes.h"
#include "app/error_text.h"

namespace klemora::camera {

CameraFilter::CameraFilter(std::unique_ptr<CameraDevice> device, Clock& clock, const app::DebugLog& log)
    : Filter(kCaptureFilterName), m_device(std::move(device)), m_clock(clock), m_log(log) {
    addPin("Capture", PinDirection::Output, MediaKind::InterleavedDv);
    addPin("Preview", PinDirection::Output, MediaKind::InterleavedDv);
}

CameraFilter::~CameraFilter() {
    if (m_device && m_device->streaming()) m_device->stopStream();
}

int CameraFilter::run() {
    m_lost = false;
    m_lastError = 0;
    int rc = m_device->startStream();
    if (rc == -ENODEV) m_lost = true;
    return rc;
}

int CameraFilter::stop() {
    if (m_device->streaming()) m_device->stopStream();
    return 0;
}

int CameraFilter::service(int64_t timeoutMicroseconds) {
    const int64_t until = m_clock.nowMicroseconds() + timeoutMicroseconds;
    int rc = m_lost ? -ENODEV : m_device->receive(timeoutMicroseconds, *this);
    if (rc == -ENODEV && !m_lost) {
        m_lost = true;
        if (graph()) graph()->postEvent(static_cast<int>(GraphEvent::DeviceLost));
    } else if (rc < 0 && rc != -ENODEV && rc != m_lastError) {
        // Reception troubles that may pass (a bus reset) are logged once each.
        m_log.write("CameraIO: Capture: receive failed / %x / %s", static_cast<unsigned>(rc),
                      app::DxErrorText(rc));
    }
    if (rc < 0) {
        m_lastError = rc;
        m_clock.sleepUntil(until);  // a failing unit must not turn the wait into a busy loop
    }
    return rc;
}

void CameraFilter::frameArrived(std::span<const uint8_t> frame) {
    MediaSample sample;
    sample.kind = MediaKind::InterleavedDv;
    sample.data = frame;
    sample.pal = frame.size() >= avi::kDvFrameSizePal;
    ++m_framesDelivered;
    deliver(capturePin(), sample);
    deliver(previewPin(), sample);
}

}  // namespace klemora::camera
