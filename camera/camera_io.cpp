// CameraIO: construction, the base graph and the device list.
#include "camera/camera_io.h"

#include <cerrno>
#include <new>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "camera/avi_mux_filter.h"
#include "camera/camera_codes.h"
#include "camera/camera_filter.h"
#include "camera/capture_worker.h"
#include "camera/dv_splitter.h"
#include "camera/preview_renderer.h"
#include "app/error_text.h"

namespace klemora::camera {

int DeviceEnumerator::enumerate(std::vector<DeviceProperties>& devices) {
    int firstFailure = 0;
    bool answered = false;
    for (auto& bus : m_buses) {
        int rc = bus->enumerate(devices);
        if (rc == 0) answered = true;
        else if (firstFailure == 0) firstFailure = rc;
    }
    return answered || m_buses.empty() ? 0 : firstFailure;
}

int DeviceEnumerator::open(const std::string& devicePath, std::unique_ptr<CameraDevice>& device) {
    int result = -ENODEV;
    for (auto& bus : m_buses) {
        int rc = bus->open(devicePath, device);
        if (rc == 0) return 0;
        if (rc != -ENODEV) result = rc;  // a bus that knows the path but cannot open it says why
    }
    return result;
}

CameraIO::CameraIO(app::UserInterface& ui, Clock& clock, BusFactory buses, app::DebugLog log)
    : m_ui(ui), m_clock(clock), m_log(std::move(log)), m_busFactory(std::move(buses)) {
    m_log.write("---------");
    m_log.write("CameraIO: Constructor: Start");
    if (buildBaseGraph("Constructor") == 1) m_log.write("CameraIO: Constructor: Ok");
}

CameraIO::~CameraIO() {
    m_log.write("CameraIO: Destructor: Start");
    tearDown();
    m_log.write("CameraIO: Destructor: Ok");
}

// Building the graph on Linux has two steps that can fail: the graph itself
// (1, which here includes the builder, event and control sides of steps 2 to
// 5) and the device enumerator over the buses (6).
int CameraIO::buildBaseGraph(const char* caption) {
    auto failed = [&](int step, int code) {
        m_log.write("CameraIO: %s: %d failed/ %x / %s", caption, step, static_cast<unsigned>(code),
                      app::DxErrorText(code));
        releaseBaseGraph();
        return -step;
    };
    try {
        m_graph = std::make_unique<FilterGraph>(m_clock);
    } catch (const std::bad_alloc&) {
        return failed(1, -ENOMEM);
    }
    BusList buses;
    int rc = m_busFactory ? m_busFactory(buses) : 0;
    if (rc != 0) return failed(6, rc);
    m_enumerator = std::make_unique<DeviceEnumerator>(std::move(buses));
    m_baseGraphReady = true;
    return 1;
}

void CameraIO::releaseBaseGraph() {
    m_camera = nullptr;
    m_transport = nullptr;
    m_timecodeReader = nullptr;
    m_renderer = nullptr;
    m_videoWindow = nullptr;
    m_splitter = nullptr;
    m_graph.reset();
    m_enumerator.reset();
    m_baseGraphReady = false;
}

void CameraIO::tearDown() {
    if (m_captureGraphAdded) ReleaseCaptureGraph();
    if (m_previewGraphAdded) ReleasePreviewGraph();
    if (m_cameraAdded) ReleaseCamera();
    m_devices.clear();
    releaseBaseGraph();
}

int CameraIO::RestartBaseGraph() {
    tearDown();
    int rc = buildBaseGraph("RestartBaseGraph");
    if (rc == 1) m_log.write("CameraIO: BaseGraph restarted");
    return rc;
}

int CameraIO::ListCaptureDevices(std::vector<std::string>* list) {
    m_log.write("CameraIO: ListCaptureDevices: Start");
    if (!list) return -1;
    list->clear();
    std::string currentPath;
    if (m_currentDevice >= 0 && m_currentDevice < static_cast<int>(m_devices.size()))
        currentPath = m_devices[m_currentDevice].devicePath;
    m_currentDevice = -1;
    m_devices.clear();

    std::vector<DeviceProperties> found;
    int rc = m_enumerator ? m_enumerator->enumerate(found) : -ENODEV;
    if (found.empty()) {
        if (rc == 0) rc = -ENODEV;
        m_log.write("CameraIO: ListCaptureDevices: No devices / %x / %s", static_cast<unsigned>(rc),
                      app::DxErrorText(rc));
        return -3;
    }
    for (size_t i = 0; i < found.size() && m_devices.size() < kMaxCaptureDevices; ++i) {
        const DeviceProperties& device = found[i];
        const int n = static_cast<int>(i);
        if (!device.friendlyName) {
            m_log.write("CameraIO: CaptureDeviceFriendlyName %d: Error", n);
            continue;
        }
        m_log.write("CameraIO: CaptureDeviceFriendlyName %d: %s", n, device.friendlyName->c_str());
        std::string text = *device.friendlyName;
        if (device.description) {
            m_log.write("CameraIO: CaptureDeviceDescription %d: %s", n, device.description->c_str());
            text += " / " + *device.description;
        } else {
            m_log.write("CameraIO: CaptureDeviceDescription %d: Error", n);
            text += " / ---";
        }
        if (!device.devicePath) {
            m_log.write("CameraIO: CaptureDeviceDevicePath %d: Error", n);
            continue;
        }
        m_log.write("CameraIO: CaptureDeviceDevicePath: %d: %s", n, device.devicePath->c_str());
        list->push_back(text);
        m_devices.push_back({*device.friendlyName, device.description.value_or(""), *device.devicePath});
        if (!currentPath.empty() && *device.devicePath == currentPath)
            m_currentDevice = static_cast<int>(m_devices.size()) - 1;
    }
    m_log.write("CameraIO: ListCaptureDevices: Ok");
    return 1;
}

void CameraIO::message(const std::string& text) {
    m_log.write("%s", text.c_str());
    m_ui.showMessage(text, app::Icon::Stop);
}

void CameraIO::failGraph(const char* operation, int step, int code) {
    message(app::stringPrintf("DirectX %s %s()!\nCode 1: %d\nCode 2: %x\nCode 3: %s\nCamera: %d",
                              app::loadString(113).c_str(), operation, step, static_cast<unsigned>(code),
                              app::DxErrorText(code), m_currentDevice));
}

}  // namespace klemora::camera
