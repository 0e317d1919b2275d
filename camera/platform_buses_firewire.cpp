// The platform buses of a build with the FireWire back-end.
#include "camera/firewire/firewire_bus.h"
#include "camera/system_buses.h"

namespace klemora::camera {

void addPlatformBuses(BusList& buses, Clock& clock, const app::DebugLog& log) {
    buses.push_back(firewire::makeFireWireBus(clock, log));
}

bool fireWireBuiltIn() { return true; }

}  // namespace klemora::camera
