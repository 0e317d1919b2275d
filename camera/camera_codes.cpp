#include "camera/camera_codes.h"

namespace klemora::camera {

std::string_view transportModeText(int mode) {
    switch (static_cast<TransportMode>(mode)) {
        case TransportMode::Play: return "Camera: Play";
        case TransportMode::Stop: return "Camera: Stop";
        case TransportMode::Freeze: return "Camera: Pause";
        case TransportMode::FastForward: return "Camera: Forward";
        case TransportMode::Rewind: return "Camera: Backward";
        case TransportMode::Record: return "Camera: Record";
        case TransportMode::RecordFreeze: return "Camera: RecordPause";
        case TransportMode::PlayFastestForward: return "Camera: PlayFastForward";
        case TransportMode::PlayFastestReverse: return "Camera: PlayFastBackward";
    }
    return "Camera: State unknown";
}

bool isKnownTransportMode(int mode) { return transportModeText(mode) != "Camera: State unknown"; }

std::string_view captureEndName(int result) {
    switch (result) {
        case 1: return "Normal";
        case 2: return "UserAbort";
        case 3: return "DeviceLost";
        default: return "Failed";
    }
}

}  // namespace klemora::camera
