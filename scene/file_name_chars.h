#pragma once
// The characters a file name must not contain, for every place that checks
// a name the user typed or a template generated.
#include <cstddef>
#include <string_view>

namespace klemora::scene {

inline constexpr std::string_view kInvalidFileNameChars = "\"*/:<>?\\|";

// Position of the first such character, or the name's length when there is none.
inline size_t findInvalidFileNameChar(std::string_view name) {
    size_t pos = name.find_first_of(kInvalidFileNameChars);
    return pos == std::string_view::npos ? name.size() : pos;
}

}  // namespace klemora::scene
