#pragma once
// The AV/C tape-recorder subunit as the FireWire back-end speaks it: the
// command quadlets for the transport modes and status queries, and the
// decoding of their responses. Pure functions over quadlets, so they are
// tested without a camera.
#include <cstdint>
#include <optional>
#include <string>

#include "camera/camera_device.h"

namespace klemora::camera::firewire {

// The CONTROL quadlet that puts the transport into `mode` (a TransportMode);
// empty for modes the component never sends (record).
std::optional<uint32_t> transportCommand(int mode);
// STATUS queries (one quadlet each, the time code takes a second, all ones).
uint32_t transportStateQuery();
uint32_t outputSignalModeQuery();
uint32_t mediumInfoQuery();
uint32_t timecodeQuery();

// 0 for an accepted or stable response; -EIO when no response came,
// -EPERM rejected, -ENOTSUP not implemented, -EAGAIN in transition.
int responseResult(uint32_t response);
// The TransportMode of a TRANSPORT STATE response; 0 when it names none.
int transportModeFromResponse(uint32_t response);
// From the signal mode of an OUTPUT SIGNAL MODE response.
VideoSignal signalFromResponse(uint32_t response);
// From the cassette type of a MEDIUM INFO response.
bool mediumPresentFromResponse(uint32_t response);
// The second quadlet of a TIME CODE response carries frames, seconds,
// minutes and hours from its highest byte down; the component wants the
// four BCD bytes hours first. Empty for the "no time code" pattern.
std::optional<uint32_t> bcdTimecodeFromResponse(uint32_t operands);

// "firewire:" and 16 hex digits of the unit's GUID.
std::string devicePathForGuid(uint64_t guid);
bool guidFromDevicePath(const std::string& path, uint64_t& guid);

}  // namespace klemora::camera::firewire
