#pragma once
// printf-style formatting into a std::string, for the message forms
// ("%s\nFile: %s\nCode: %d") that the dialogs show.
#include <string>

namespace klemora::app {

std::string stringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace klemora::app
