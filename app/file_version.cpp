#include "app/file_version.h"

#include <charconv>
#include <string_view>

#include "app/file_io.h"
#include "app/string_table.h"

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
    StringMap ignored;
    std::string raw;
    if (!parseStringTable(*content, ignored, &raw) || raw.empty()) return -2;
    return normaliseVersion(raw, version) ? 1 : -2;
}

}  // namespace klemora::app
