// CameraIO: tape transport, timecode and dropped-frame counts.
#include <cerrno>

#include "app/debug_log.h"
#include "camera/camera_codes.h"
#include "camera/camera_filter.h"
#include "camera/camera_io.h"
#include "camera/capture_worker.h"
#include "camera/timecode_text.h"
#include "app/error_text.h"

namespace klemora::camera {

int CameraIO::transportCommand(int mode, const char* name) {
    if (!m_transport) return -1;
    if (int rc = m_transport->setMode(mode); rc != 0) {
        m_log.write("CameraIO: %s failed / %x / %s", name, static_cast<unsigned>(rc), app::DxErrorText(rc));
        return -1;
    }
    return 1;
}

int CameraIO::CameraPlay() { return transportCommand(static_cast<int>(TransportMode::Play), "CameraPlay"); }
int CameraIO::CameraPause() { return transportCommand(static_cast<int>(TransportMode::Freeze), "CameraPause"); }
int CameraIO::CameraStop() { return transportCommand(static_cast<int>(TransportMode::Stop), "CameraStop"); }
int CameraIO::CameraForward() {
    return transportCommand(static_cast<int>(TransportMode::FastForward), "CameraForward");
}
int CameraIO::CameraBackward() { return transportCommand(static_cast<int>(TransportMode::Rewind), "CameraBackward"); }
int CameraIO::CameraPlayFastForward() {
    return transportCommand(static_cast<int>(TransportMode::PlayFastestForward), "CameraPlayFastForward");
}
int CameraIO::CameraPlayFastBackward() {
    return transportCommand(static_cast<int>(TransportMode::PlayFastestReverse), "CameraPlayFastBackward");
}

int CameraIO::GetCameraState() {
    if (!m_transport) return -1;
    int mode = 0;
    if (int rc = m_transport->getMode(mode); rc != 0) {
        m_log.write("CameraIO: GetCameraState failed / %x / %s", static_cast<unsigned>(rc), app::DxErrorText(rc));
        return -2;
    }
    return mode;
}

// While a capture runs the unit belongs to the capture thread: the counts
// and the timecode are its latest reading.
int CameraIO::GetDroppedFramesInfo(int64_t* dropped, int64_t* notDropped) {
    if (!m_camera) return -1;
    if (!m_camera->device().droppedFrameCounter()) {
        m_log.write("CameraIO: GetDroppedFramesInfo: No Interface / %x / %s", static_cast<unsigned>(-ENOTSUP),
                      app::DxErrorText(-ENOTSUP));
        return -2;
    }
    DeviceReading reading;
    if (m_worker) reading = m_worker->reading();
    else readCounts(m_camera->device(), reading);
    if (int rc = reading.droppedRc; rc != 0) {
        m_log.write("CameraIO: GetDroppedFramesInfo: GetNumDropped failed / %x / %s", static_cast<unsigned>(rc),
                      app::DxErrorText(rc));
        return -3;
    }
    if (dropped) *dropped = reading.dropped;
    if (int rc = reading.notDroppedRc; rc != 0) {
        m_log.write("CameraIO: GetDroppedFramesInfo: GetNumNotDropped failed / %x / %s",
                      static_cast<unsigned>(rc), app::DxErrorText(rc));
        return -4;
    }
    if (notDropped) *notDropped = reading.notDropped;
    return 1;
}

int CameraIO::GetTimecodeString(std::string* text) {
    if (!m_timecodeReader || !m_camera) return -1;
    DeviceReading reading;
    if (m_worker) reading = m_worker->reading();
    else readTimecode(m_camera->device(), reading);
    if (int rc = reading.timecodeRc; rc != 0) {
        m_log.write("CameraIO: GetTimecodeString(): GetTimecode: %x %s", static_cast<unsigned>(rc),
                      app::DxErrorText(rc));
        if (text) *text = kNoTimecodeText;
        return -2;
    }
    if (text) *text = timecodeText(reading.bcdTimecode);
    return 1;
}

}  // namespace klemora::camera
