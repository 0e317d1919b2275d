#include "camera/system_buses.h"

#include <cstdlib>
#include <memory>

#include "camera/simulated_camera.h"

namespace klemora::camera {

std::string simulatedTapeFile(const std::string& setting) {
    if (const char* value = std::getenv(kSimulatedCameraVariable); value && *value) return value;
    return setting;
}

// Defined by the back-end file the build chose: with FireWire or without.
void addPlatformBuses(BusList& buses, Clock& clock, const app::DebugLog& log);

BusFactory systemBusFactory(Clock& clock, const std::string& simulatedTape, const app::DebugLog& log) {
    std::shared_ptr<SimulatedCameraSet> simulated;
    if (!simulatedTape.empty()) {
        simulated = std::make_shared<SimulatedCameraSet>();
        auto unit = simulated->add(clock, SimulatedCameraSpec{.tapePath = simulatedTape});
        if (unit->tapeResult() != 0)
            log.write("CameraIO: Simulated camera: tape %s not usable (%d), deck without cassette",
                      simulatedTape.c_str(), unit->tapeResult());
    }
    return [&clock, simulated, log](BusList& buses) {
        addPlatformBuses(buses, clock, log);
        if (simulated) buses.push_back(makeSimulatedBus(simulated));
        return 0;
    };
}

}  // namespace klemora::camera
