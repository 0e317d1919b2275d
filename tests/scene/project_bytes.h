#pragma once
// Hand-assembled project file bytes, field by field in the on-disk order,
// so the readers are tested against the format and not against our writer.
#include <cstdint>
#include <cstring>
#include <string>

namespace klemora::test {

class ProjectBytes {
public:
    ProjectBytes& signature(const std::string& line) {
        text(line, 60);
        return *this;
    }
    ProjectBytes& text(const std::string& s, size_t width) {
        std::string field = s.substr(0, width);
        field.resize(width, '\0');
        m_bytes += field;
        return *this;
    }
    ProjectBytes& i32(int32_t v) {
        for (int i = 0; i < 4; ++i) m_bytes += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    ProjectBytes& f64(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i) m_bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
        return *this;
    }
    ProjectBytes& raw(const std::string& s) {
        m_bytes += s;
        return *this;
    }
    ProjectBytes& tm(int sec, int min, int hour, int day, int mon, int year, int wday, int yday, int dst) {
        for (int v : {sec, min, hour, day, mon, year, wday, yday, dst}) i32(v);
        return *this;
    }
    ProjectBytes& timecode(int h, int m, int s, int f) {
        for (int v : {h, m, s, f}) m_bytes += static_cast<char>(v);
        return *this;
    }
    const std::string& bytes() const { return m_bytes; }
    size_t size() const { return m_bytes.size(); }

private:
    std::string m_bytes;
};

}  // namespace klemora::test
