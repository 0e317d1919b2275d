#pragma once
// printf-style message composition for the formats the messages are given in.
#include <string>

namespace klemora::media {

std::string messageText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace klemora::media
