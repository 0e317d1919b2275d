// CameraIO: binding a device as the camera and releasing it.
#include <cerrno>
#include <new>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "camera/camera_codes.h"
#include "camera/camera_filter.h"
#include "camera/camera_io.h"
#include "app/error_text.h"

namespace klemora::camera {

int CameraIO::InitCaptureDevice(int deviceIndex, std::unique_ptr<CameraDevice>& device) {
    m_log.write("CameraIO: InitCaptureDevice: Start");
    m_log.write("CameraIO: InitCaptureDevice: Device: %d/Now %d", deviceIndex, m_currentDevice);
    std::vector<DeviceProperties> found;
    int rc = m_enumerator ? m_enumerator->enumerate(found) : -ENODEV;
    if (rc != 0 || found.empty()) {
        if (rc == 0) rc = -ENODEV;
        m_log.write("CameraIO: InitCaptureDevice: Obtain video comp enum failed / %x / %s",
                      static_cast<unsigned>(rc), app::DxErrorText(rc));
        return rc;
    }
    if (deviceIndex < 0 || deviceIndex >= static_cast<int>(m_devices.size())) return -EINVAL;
    const std::string& wanted = m_devices[deviceIndex].devicePath;
    int result = -ENODEV;  // the device has gone since the list was made
    for (size_t i = 0; i < found.size(); ++i) {
        if (!found[i].devicePath) {
            m_log.write("CameraIO: InitCaptureDevice: Bind failed / %x / %s", static_cast<unsigned>(-ENOENT),
                          app::DxErrorText(-ENOENT));
            continue;
        }
        if (*found[i].devicePath != wanted || device) {
            m_log.write("CameraIO: InitCaptureDevice: Device index %d not used", static_cast<int>(i));
            continue;
        }
        result = m_enumerator->open(wanted, device);
        if (result != 0) {
            m_log.write("CameraIO: InitCaptureDevice: Bind failed / %x / %s", static_cast<unsigned>(result),
                          app::DxErrorText(result));
            continue;
        }
        m_currentDevice = deviceIndex;
        m_log.write("CameraIO: InitCaptureDevice: Bind to device index %d", deviceIndex);
    }
    if (!device) return result;
    m_log.write("CameraIO: InitCaptureDevice: Ok");
    return 0;
}

int CameraIO::failAddCamera(int step, int code, int deviceIndex) {
    message(app::stringPrintf("DirectX %s AddCamera()!\nCode 1: %d\nCode 2: %x\nCode 3: %s\nCamera: %d",
                              app::loadString(113).c_str(), step, static_cast<unsigned>(code),
                              app::DxErrorText(code), deviceIndex));
    ReleaseCamera();
    return step;
}

// With a medium: a 525/60 signal is NTSC at 29.97, any other PAL at 25.
// 0, or the failing call's code with `step` set to its step code.
int CameraIO::readSignal(int& step) {
    bool present = false;
    if (int rc = m_transport->mediumPresent(present); rc != 0) {
        m_log.write("CameraIO: AddCamera: Transport GetStatus failed / %x / %s", static_cast<unsigned>(rc),
                      app::DxErrorText(rc));
        step = -5;
        return rc;
    }
    if (!present) return 0;
    VideoSignal signal = VideoSignal::Unknown;
    if (int rc = m_transport->inputSignal(signal); rc != 0) {
        m_log.write("CameraIO: AddCamera: Transport GetTransportBasicParameters failed / %x / %s",
                      static_cast<unsigned>(rc), app::DxErrorText(rc));
        step = -7;
        return rc;
    }
    bool ntsc = signal == VideoSignal::Line525Field60;
    m_videoFormat = ntsc ? kFormatNtsc : kFormatPal;
    m_frameRate = ntsc ? kFrameRateNtsc : kFrameRatePal;
    return 0;
}

int CameraIO::AddCamera(int deviceIndex) {
    m_log.write("CameraIO: AddCamera: Start");
    m_frameRate = kFrameRatePal;
    m_videoFormat = kFormatNone;
    m_cameraAdded = false;
    if (!m_baseGraphReady) {
        message(app::stringPrintf("%s AddCamera()!\nCode: -1", app::loadString(113).c_str()));
        return -1;
    }
    if (m_camera) ReleaseCamera();

    std::unique_ptr<CameraDevice> device;
    if (int rc = InitCaptureDevice(deviceIndex, device); rc != 0) {
        m_log.write("CameraIO: AddCamera: InitCaptureDevice failed / %x / %s", static_cast<unsigned>(rc),
                      app::DxErrorText(rc));
        return failAddCamera(-2, rc, deviceIndex);
    }
    CameraDevice* unit = device.get();
    try {
        auto filter = std::make_unique<CameraFilter>(std::move(device), m_clock, m_log);
        CameraFilter* view = filter.get();
        if (int rc = m_graph->addFilter(std::move(filter)); rc != 0) {
            m_log.write("CameraIO: AddCamera: AddFilter failed / %x / %s", static_cast<unsigned>(rc),
                          app::DxErrorText(rc));
            return failAddCamera(-3, rc, deviceIndex);
        }
        m_camera = view;
    } catch (const std::bad_alloc&) {
        return failAddCamera(-3, -ENOMEM, deviceIndex);
    }

    m_transport = unit->transport();
    if (!m_transport) {
        m_log.write("CameraIO: AddCamera: No Transport Interface / %x / %s", static_cast<unsigned>(-ENOTSUP),
                      app::DxErrorText(-ENOTSUP));
    } else if (int step = 0, rc = readSignal(step); rc != 0) {
        return failAddCamera(step, rc, deviceIndex);
    }
    m_timecodeReader = unit->timecodeReader();
    if (!m_timecodeReader)
        m_log.write("CameraIO: AddCamera: No Timecode Reader / %x / %s", static_cast<unsigned>(-ENOTSUP),
                      app::DxErrorText(-ENOTSUP));
    m_cameraAdded = true;
    m_log.write("CameraIO: AddCamera-Idx: %d", m_currentDevice);
    m_log.write("CameraIO: AddCamera Ok");
    return 1;
}

void CameraIO::ReleaseCamera() {
    // Nothing may stay connected to a camera that goes.
    if (m_captureGraphAdded) ReleaseCaptureGraph();
    if (m_previewGraphAdded) ReleasePreviewGraph();
    if (m_graph) m_graph->stop();
    if (m_transport && m_stopOnRelease) m_transport->setMode(static_cast<int>(TransportMode::Stop));
    if (m_graph && m_camera) m_graph->removeFilter(m_camera);
    m_camera = nullptr;
    m_transport = nullptr;
    m_timecodeReader = nullptr;
    m_videoFormat = kFormatNone;
    m_frameRate = kFrameRatePal;
    m_currentDevice = -1;
    m_cameraAdded = false;
}

}  // namespace klemora::camera
