#pragma once
// printf-style formatting into a std::string, for the message forms
// ("%s\nFile: %s\nCode: %d") that the dialogs show; and the upper case of
// codes such as the language of "Lang".
#include <string>
#include <string_view>

namespace klemora::app {

std::string stringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ASCII letters made upper case, whatever the locale; other bytes as they are.
std::string asciiUpper(std::string_view text);
// Byte-wise order with ASCII letters compared without case, whatever the
// locale: <0, 0 or >0.
int compareAsciiNoCase(std::string_view a, std::string_view b);

}  // namespace klemora::app
