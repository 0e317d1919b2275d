#pragma once
// The buses of this installation: FireWire when it is built in, and the
// simulated camera when the environment variable KLEMORA_SIMULATED_CAMERA or
// the setting "SimulatedCamera" names a tape file (a DV AVI or raw DV file).
#include <string>

#include "camera/camera_clock.h"
#include "camera/camera_io.h"

namespace klemora::camera {

inline constexpr const char* kSimulatedCameraVariable = "KLEMORA_SIMULATED_CAMERA";
inline constexpr const char* kSimulatedCameraKey = "SimulatedCamera";

// The tape the user named for the simulated camera; empty when none.
std::string simulatedTapeFile();

// A factory for CameraIO. The simulated camera it adds lives as long as the
// factory, so its deck keeps tape position and mode across graph rebuilds.
BusFactory systemBusFactory(Clock& clock);

// True when the FireWire back-end is part of this build.
bool fireWireBuiltIn();

}  // namespace klemora::camera
