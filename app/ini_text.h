#pragma once
// Line-level editing of INI text, kept apart from file handling so that the
// rules (case-insensitive names, untouched neighbours) can be tested directly.
#include <optional>
#include <string>
#include <string_view>

namespace klemora::app {

// True for text a settings file may hold: no NUL byte, and every line blank,
// a comment (";" or "#"), a "[section]" or a key=value pair. Empty text is
// INI text too. Anything else (a video, a document) is not to be rewritten.
bool isIniText(std::string_view text);

std::optional<std::string> findIniValue(std::string_view text, std::string_view section, std::string_view key);
std::string setIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace klemora::app
