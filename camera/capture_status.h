#pragma once
// The status line of the camera dialog: frames saved and dropped, the
// captured length, the tape timecode and the signal format.
#include <string>

namespace klemora::camera {

class CameraIO;

inline constexpr const char* kIdleStatusLine =
    "Saved: --- / Dropped: --- / Length: --- / Timecode: --- / Format: ---";

// "PAL", "NTSC" or "---".
const char* formatText(int videoFormat);

// The line for the given counts. `capturing` false, or saved < 1, gives the
// line without counts. Dropped counts of 1 or less show as 0.
std::string statusLine(bool capturing, long long dropped, long long notDropped, double frameRate,
                       const std::string& timecode, int videoFormat);

// The line as the status timer shows it, read from the component.
std::string currentStatusLine(CameraIO& io, bool capturing);

}  // namespace klemora::camera
