#pragma once
// Line-level editing of INI text, kept apart from file handling so that the
// rules (case-insensitive names, untouched neighbours) can be tested directly.
#include <optional>
#include <string>
#include <string_view>

namespace klemora::app {

std::optional<std::string> findIniValue(std::string_view text, std::string_view section, std::string_view key);
std::string setIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace klemora::app
