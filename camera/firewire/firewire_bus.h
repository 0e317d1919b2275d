#pragma once
// The FireWire back-end: DV cameras and decks reached over IEEE 1394 through
// libraw1394 (ports, nodes, configuration ROM), libavc1394 (AV/C unit and
// tape-recorder subunit: transport, status, timecode) and libiec61883 (plug
// registers and DV reception).
#include <memory>

#include "app/debug_log.h"
#include "camera/camera_clock.h"
#include "camera/camera_device.h"

namespace klemora::camera::firewire {

std::unique_ptr<CameraBus> makeFireWireBus(Clock& clock, app::DebugLog log = {});

}  // namespace klemora::camera::firewire
