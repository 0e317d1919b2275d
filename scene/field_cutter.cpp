#include "scene/field_cutter.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace klemora::scene {

std::string_view trimField(std::string_view piece) {
    constexpr std::string_view kBlanks = " \t\r";
    size_t begin = piece.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos) return {};
    piece = piece.substr(begin, piece.find_last_not_of(kBlanks) - begin + 1);
    if (!piece.empty() && piece.front() == '"') piece.remove_prefix(1);
    if (!piece.empty() && piece.back() == '"') piece.remove_suffix(1);
    return piece;
}

std::vector<std::string_view> cutFields(std::string_view line, char separator, size_t maxPieces) {
    std::vector<std::string_view> pieces;
    size_t pos = 0;
    while (pieces.size() < maxPieces) {
        pos = line.find_first_not_of(separator, pos);
        if (pos == std::string_view::npos) break;
        size_t end = line.find(separator, pos);
        if (end == std::string_view::npos) end = line.size();
        pieces.push_back(trimField(line.substr(pos, end - pos)));
        pos = end;
    }
    return pieces;
}

namespace {

// The piece from its first non-blank; a "+" sign is dropped, as from_chars
// does not take one.
std::string_view numberStart(std::string_view piece, bool& negative) {
    size_t begin = piece.find_first_not_of(" \t\r\n\v\f");
    piece = begin == std::string_view::npos ? std::string_view() : piece.substr(begin);
    negative = !piece.empty() && piece.front() == '-';
    if (!piece.empty() && (piece.front() == '+' || piece.front() == '-')) piece.remove_prefix(1);
    return piece;
}

}  // namespace

int64_t leadingInteger(std::string_view piece) {
    bool negative = false;
    piece = numberStart(piece, negative);
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), magnitude);
    if (ec == std::errc::result_out_of_range) return negative ? INT64_MIN : INT64_MAX;
    if (ec != std::errc()) return 0;
    if (!negative) return magnitude > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(magnitude);
    return magnitude > static_cast<uint64_t>(INT64_MAX) ? INT64_MIN : -static_cast<int64_t>(magnitude);
}

double leadingNumber(std::string_view piece) {
    bool negative = false;
    piece = numberStart(piece, negative);
    // No second sign after the first one, as strtod would not take "+-1".
    if (!piece.empty() && (piece.front() == '+' || piece.front() == '-')) return 0;
    double value = 0;
    auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large reads as infinite, too small as 0, as with strtod.
        bool tiny = false;
        for (const char* p = piece.data(); p < end; ++p)
            if (*p == 'e' || *p == 'E') tiny = p + 1 < end && p[1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (ec != std::errc()) {
        return 0;
    }
    return negative ? -value : value;
}

void appendQuoted(std::string& line, std::string_view text) {
    line += '"';
    line += text;
    line += '"';
}

void appendInt(std::string& line, int64_t value) { line += std::to_string(value); }

void appendFixed6(std::string& line, double value) {
    if (!std::isfinite(value)) {
        line += std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan") : (value < 0 ? "-inf" : "inf");
        return;
    }
    char text[400];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    if (ec == std::errc()) line.append(text, end);
}

std::string toCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace klemora::scene
