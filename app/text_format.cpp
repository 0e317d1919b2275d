#include "app/text_format.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace klemora::app {

std::string stringPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

int compareAsciiNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) {
        return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    };
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = lower(a[i]), cb = lower(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace klemora::app
