#pragma once
// The camera in the graph: a source with a capture pin and a preview pin,
// both carrying the interleaved DV frames of the bound unit. It owns the
// unit; its transport, timecode reader and dropped-frame counter are the
// unit's.
#include <memory>

#include "app/debug_log.h"
#include "camera/camera_clock.h"
#include "camera/camera_device.h"
#include "camera/filter_graph.h"

namespace klemora::camera {

inline constexpr const char* kCaptureFilterName = "Capture";

class CameraFilter : public Filter, private FrameSink {
public:
    CameraFilter(std::unique_ptr<CameraDevice> device, Clock& clock, const app::DebugLog& log);
    ~CameraFilter() override;

    CameraDevice& device() { return *m_device; }
    Pin& capturePin() { return *pin(0); }
    Pin& previewPin() { return *pin(1); }
    int64_t framesDelivered() const { return m_framesDelivered; }
    bool deviceLost() const { return m_lost; }

    bool isSource() const override { return true; }
    int run() override;
    int stop() override;
    int service(int64_t timeoutMicroseconds) override;

private:
    void frameArrived(std::span<const uint8_t> frame) override;

    std::unique_ptr<CameraDevice> m_device;
    Clock& m_clock;
    const app::DebugLog m_log;
    int64_t m_framesDelivered = 0;
    bool m_lost = false;
    int m_lastError = 0;
};

}  // namespace klemora::camera
