#pragma once
// The buses of this installation: FireWire when it is built in, and the
// simulated camera when the environment variable KLEMORA_SIMULATED_CAMERA or
// the setting "SimulatedCamera" names a tape file (a DV AVI or raw DV file).
#include <string>

#include "app/debug_log.h"
#include "camera/camera_clock.h"
#include "camera/camera_io.h"

namespace klemora::camera {

inline constexpr const char* kSimulatedCameraVariable = "KLEMORA_SIMULATED_CAMERA";
inline constexpr const char* kSimulatedCameraKey = "SimulatedCamera";

// The tape the user named for the simulated camera: the environment
// variable, else `setting` (the caller's reading of "SimulatedCamera");
// empty when neither names one.
std::string simulatedTapeFile(const std::string& setting);

// A factory for CameraIO, with the simulated camera on `simulatedTape` when
// that is not empty. The simulated camera lives as long as the factory, so
// its deck keeps tape position and mode across graph rebuilds.
BusFactory systemBusFactory(Clock& clock, const std::string& simulatedTape, const app::DebugLog& log);

// True when the FireWire back-end is part of this build.
bool fireWireBuiltIn();

}  // namespace klemora::camera
