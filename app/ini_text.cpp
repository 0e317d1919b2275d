#include "app/ini_text.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace klemora::app {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// "[name]" gives name; anything else is not a section header.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

std::optional<std::string_view> keyOf(std::string_view line) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return trim(t.substr(0, eq));
}

std::string_view valueOf(std::string_view line) {
    std::string_view value = trim(line.substr(line.find('=') + 1));
    // The profile functions drop one pair of enclosing quotes.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

bool isIniText(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return false;
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    for (std::string_view line : splitLines(text)) {
        std::string_view t = trim(line);
        if (t.empty() || t.front() == ';' || t.front() == '#' || sectionName(t) || keyOf(t)) continue;
        return false;
    }
    return true;
}

std::optional<std::string> findIniValue(std::string_view text, std::string_view section, std::string_view key) {
    bool inSection = false;
    for (std::string_view line : splitLines(text)) {
        if (auto name = sectionName(line)) {
            inSection = equalsNoCase(*name, section);
            continue;
        }
        if (!inSection) continue;
        if (auto k = keyOf(line); k && equalsNoCase(*k, key)) return std::string(valueOf(line));
    }
    return std::nullopt;
}

std::string setIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::vector<std::string_view> lines = splitLines(text);
    // A line break in a value would start a new key of its own.
    std::string cleanValue(value);
    for (char& c : cleanValue)
        if (c == '\r' || c == '\n') c = ' ';
    value = cleanValue;
    std::string entry = std::string(key) + "=" + std::string(value);
    std::optional<size_t> sectionEnd;  // index after the last non-blank line of the section
    std::optional<size_t> keyLine;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i])) {
            inSection = equalsNoCase(*name, section);
            if (inSection && !sectionEnd) sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (!trim(lines[i]).empty()) sectionEnd = i + 1;
        if (auto k = keyOf(lines[i]); k && equalsNoCase(*k, key) && !keyLine) keyLine = i;
    }

    std::string out;
    auto append = [&out](std::string_view line) {
        out.append(line);
        out.append("\r\n");
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (keyLine && i == *keyLine) {
            // Keep the stored spelling of the key.
            append(std::string(*keyOf(lines[i])) + "=" + std::string(value));
            continue;
        }
        append(lines[i]);
        if (!keyLine && sectionEnd && i + 1 == *sectionEnd) append(entry);
    }
    if (!sectionEnd) {
        append("[" + std::string(section) + "]");
        append(entry);
    }
    return out;
}

}  // namespace klemora::app
