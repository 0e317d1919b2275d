#include "app/file_version.h"

#include <charconv>
#include <string_view>

#include "app/file_io.h"

namespace klemora::app {
namespace {

// Four 16-bit parts, most significant first, joined by ".".
bool normaliseVersion(std::string_view text, std::string& out) {
    out.clear();
    for (int part = 0; part < 4; ++part) {
        unsigned value = 0;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || value > 0xFFFF) return false;
        text.remove_prefix(static_cast<size_t>(ptr - text.data()));
        out += std::to_string(value);
        if (part < 3) {
            if (text.empty() || text.front() != '.') return false;
            text.remove_prefix(1);
            out += '.';
        }
    }
    return text.empty();
}

}  // namespace

int ReadFileVersion(const std::string& path, std::string& version) {
    auto content = readWholeFile(path);
    if (!content) return -1;
    // Only the version line counts here; the table itself is checked on load.
    std::string_view text = *content;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.rfind("VERSION\t", 0) == 0) return normaliseVersion(line.substr(8), version) ? 1 : -2;
    }
    return -2;
}

}  // namespace klemora::app
