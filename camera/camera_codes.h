#pragma once
// The numbers the camera component shares with its users: transport modes
// (the values of the external-transport interface, kept so that logs and the
// dialog read the same on every platform), the graph event codes of the
// capture loop and the reasons a capture ended.
#include <string_view>

namespace klemora::camera {

enum class TransportMode : int {
    Play = 4296,
    Stop = 4297,
    Freeze = 4298,
    FastForward = 4300,
    Rewind = 4301,
    Record = 4302,
    RecordFreeze = 4904,
    PlayFastestForward = 5029,
    PlayFastestReverse = 5031,
};

// "Camera: Play" ... "Camera: PlayFastBackward"; "Camera: State unknown" for
// any other value.
std::string_view transportModeText(int mode);
// One of the modes above (the watchdog treats anything else as a lost camera).
bool isKnownTransportMode(int mode);

// Graph events the capture loop reacts to.
enum class GraphEvent : int {
    UserAbort = 0x02,
    ErrorAbort = 0x03,
    StreamControlStopped = 0x1A,
    DeviceLost = 0x1F,
};

// Why StartCapture returned.
enum class CaptureEnd : int { Normal = 1, UserAbort = 2, DeviceLost = 3 };
// "Normal", "UserAbort", "DeviceLost"; "Failed" for a negative result.
std::string_view captureEndName(int result);

// The formats of the camera signal.
inline constexpr int kFormatNone = 0;
inline constexpr int kFormatPal = 1;   // 625/50
inline constexpr int kFormatNtsc = 2;  // 525/60
inline constexpr double kFrameRatePal = 25.0;
inline constexpr double kFrameRateNtsc = 29.97;

inline constexpr int kMaxCaptureDevices = 50;

}  // namespace klemora::camera
