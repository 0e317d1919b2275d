// The platform buses of a build without the FireWire back-end: none.
#include "camera/system_buses.h"

namespace klemora::camera {

void addPlatformBuses(BusList&, Clock&, const app::DebugLog&) {}

bool fireWireBuiltIn() { return false; }

}  // namespace klemora::camera
