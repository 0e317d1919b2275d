#pragma once
// Little-endian reads over a byte span that never pass its end.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace klemora::scene {

class ByteCursor {
public:
    explicit ByteCursor(std::string_view data) : m_data(data) {}

    size_t position() const { return m_pos; }
    size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    bool seek(size_t position) {
        if (position > m_data.size()) return false;
        m_pos = position;
        return true;
    }

    bool bytes(size_t n, std::string_view& out) {
        if (remaining() < n) return false;
        out = m_data.substr(m_pos, n);
        m_pos += n;
        return true;
    }
    bool int32(int32_t& value) { return little<uint32_t>(reinterpret_cast<uint32_t&>(value)); }
    bool float64(double& value) {
        uint64_t bits;
        if (!little<uint64_t>(bits)) return false;
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }

private:
    template <typename T>
    bool little(T& value) {
        if (remaining() < sizeof(T)) return false;
        value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<T>(static_cast<unsigned char>(m_data[m_pos + i])) << (8 * i);
        m_pos += sizeof(T);
        return true;
    }

    std::string_view m_data;
    size_t m_pos = 0;
};

inline void appendInt32(std::string& out, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline void appendFloat64(std::string& out, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

// The text and zeros up to the field's width; the text is cut to width - 1.
inline void appendFixedText(std::string& out, std::string_view text, size_t width) {
    text = text.substr(0, width - 1);
    out.append(text);
    out.append(width - text.size(), '\0');
}

}  // namespace klemora::scene
