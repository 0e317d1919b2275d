#include "camera/system_buses.h"

#include <cstdlib>
#include <memory>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "camera/simulated_camera.h"

namespace klemora::camera {

std::string simulatedTapeFile() {
    if (const char* value = std::getenv(kSimulatedCameraVariable); value && *value) return value;
    return app::settings().readText(kSimulatedCameraKey, "");
}

// Defined by the back-end file the build chose: with FireWire or without.
void addPlatformBuses(BusList& buses, Clock& clock);

BusFactory systemBusFactory(Clock& clock) {
    std::shared_ptr<SimulatedCameraSet> simulated;
    std::string tape = simulatedTapeFile();
    if (!tape.empty()) {
        simulated = std::make_shared<SimulatedCameraSet>();
        auto unit = simulated->add(clock, SimulatedCameraSpec{.tapePath = tape});
        if (unit->tapeResult() != 0)
            app::debugLogLine("CameraIO: Simulated camera: tape %s not usable (%d), deck without cassette",
                          tape.c_str(), unit->tapeResult());
    }
    return [&clock, simulated](BusList& buses) {
        addPlatformBuses(buses, clock);
        if (simulated) buses.push_back(makeSimulatedBus(simulated));
        return 0;
    };
}

}  // namespace klemora::camera
