#pragma once
// One DV camera or deck on the FireWire bus.
#include <libraw1394/raw1394.h>

#include <cstdint>
#include <memory>

#include "app/debug_log.h"
#include "camera/camera_clock.h"
#include "camera/camera_device.h"

namespace klemora::camera::firewire {

// 0 and the device, or a negative errno value.
int openFireWireDevice(int port, nodeid_t node, uint64_t guid, Clock& clock, const app::DebugLog& log,
                       std::unique_ptr<CameraDevice>& device);

}  // namespace klemora::camera::firewire
