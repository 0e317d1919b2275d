// CameraIO: tape transport, timecode and dropped-frame counts.
#include <cerrno>

#include "app/debug_log.h"
#include "camera/camera_codes.h"
#include "camera/camera_filter.h"
#include "camera/camera_io.h"
#include "camera/timecode_text.h"
#include "app/error_text.h"

namespace klemora::camera {

int CameraIO::transportCommand(int mode, const char* name) {
    if (!m_transport) return -1;
    if (int rc = m_transport->setMode(mode); rc != 0) {
        app::debugLogLine("CameraIO: %s failed / %x / %s", name, static_cast<unsigned>(rc), media::DxErrorText(rc));
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
        app::debugLogLine("CameraIO: GetCameraState failed / %x / %s", static_cast<unsigned>(rc), media::DxErrorText(rc));
        return -2;
    }
    return mode;
}

int CameraIO::GetDroppedFramesInfo(int64_t* dropped, int64_t* notDropped) {
    if (!m_camera) return -1;
    DroppedFrameCounter* counter = m_camera->device().droppedFrameCounter();
    if (!counter) {
        app::debugLogLine("CameraIO: GetDroppedFramesInfo: No Interface / %x / %s", static_cast<unsigned>(-ENOTSUP),
                      media::DxErrorText(-ENOTSUP));
        return -2;
    }
    int64_t value = 0;
    if (int rc = counter->numDropped(value); rc != 0) {
        app::debugLogLine("CameraIO: GetDroppedFramesInfo: GetNumDropped failed / %x / %s", static_cast<unsigned>(rc),
                      media::DxErrorText(rc));
        return -3;
    }
    if (dropped) *dropped = value;
    if (int rc = counter->numNotDropped(value); rc != 0) {
        app::debugLogLine("CameraIO: GetDroppedFramesInfo: GetNumNotDropped failed / %x / %s",
                      static_cast<unsigned>(rc), media::DxErrorText(rc));
        return -4;
    }
    if (notDropped) *notDropped = value;
    return 1;
}

int CameraIO::GetTimecodeString(std::string* text) {
    if (!m_timecodeReader) return -1;
    uint32_t bcd = 0;
    if (int rc = m_timecodeReader->readTimecode(bcd); rc != 0) {
        app::debugLogLine("CameraIO: GetTimecodeString(): GetTimecode: %x %s", static_cast<unsigned>(rc),
                      media::DxErrorText(rc));
        if (text) *text = kNoTimecodeText;
        return -2;
    }
    if (text) *text = timecodeText(bcd);
    return 1;
}

}  // namespace klemora::camera
