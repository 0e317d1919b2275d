#pragma once
// The destination name of a capture as the capture button takes it.
#include <string>
#include <string_view>

namespace klemora::camera {

// A full path: absolute on this system ("/..."), or a drive letter and ":"
// or a "\\" network path as the Windows forms.
bool isFullCapturePath(std::string_view name);

// The file name part in lower case (the folders keep their case: they are
// case-sensitive here) and ".avi" appended when the name does not contain it.
std::string normalizedCaptureName(std::string_view name);

// 0 and the name to capture to, or the number of the message that refuses
// it: 360 (no name), 449 (not a full path).
int checkCaptureName(std::string_view name, std::string& path);

}  // namespace klemora::camera
