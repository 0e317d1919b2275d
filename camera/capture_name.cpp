#include "camera/capture_name.h"

#include <algorithm>

namespace klemora::camera {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool isFullCapturePath(std::string_view name) {
    if (!name.empty() && name[0] == '/') return true;
    if (name.size() >= 2 && isDriveLetter(name[0]) && name[1] == ':') return true;
    return name.size() >= 2 && name[0] == '\\' && name[1] == '\\';
}

std::string normalizedCaptureName(std::string_view name) {
    std::string result(name);
    size_t cut = result.find_last_of("/\\");
    size_t from = cut == std::string::npos ? 0 : cut + 1;
    // A drive-letter or network name is a Windows name: all of it is case-blind.
    if (!result.empty() && result[0] != '/') from = 0;
    // Only ASCII letters change, so UTF-8 names stay intact.
    std::transform(result.begin() + static_cast<std::ptrdiff_t>(from), result.end(),
                   result.begin() + static_cast<std::ptrdiff_t>(from), lowerAscii);
    std::string lowered = result;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), lowerAscii);
    if (lowered.find(".avi") == std::string::npos) result += ".avi";
    return result;
}

int checkCaptureName(std::string_view name, std::string& path) {
    if (name.empty()) return 360;
    if (!isFullCapturePath(name)) return 449;
    path = normalizedCaptureName(name);
    return 0;
}

}  // namespace klemora::camera
