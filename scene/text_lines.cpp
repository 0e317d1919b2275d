#include "scene/text_lines.h"

#include <unistd.h>

#include <cerrno>
#include <climits>

namespace klemora::scene {
namespace {

constexpr size_t kReadBlock = 65536;

}  // namespace

TextLineReader::TextLineReader(std::string_view text) : m_memory(text), m_fromMemory(true) {}

TextLineReader::TextLineReader(app::UniqueFd fd) : m_fd(std::move(fd)), m_fromMemory(false) {
    if (!m_fd) m_failed = m_eof = true;
}

// Appends the next block to the buffer; false when nothing more comes.
bool TextLineReader::refill() {
    if (m_eof) return false;
    if (m_fromMemory) {
        size_t n = std::min(kReadBlock, m_memory.size());
        m_buffer.append(m_memory.substr(0, n));
        m_memory.remove_prefix(n);
        if (m_memory.empty()) m_eof = true;
        return n > 0;
    }
    char block[kReadBlock];
    for (;;) {
        ssize_t n = ::read(m_fd.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_eof = true;
            m_failed = n < 0;
            return false;
        }
        m_buffer.append(block, static_cast<size_t>(n));
        return true;
    }
}

bool TextLineReader::next(std::string& line) {
    line.clear();
    m_cut = false;
    for (;;) {
        size_t end = m_buffer.find('\n', m_pos);
        size_t stop = end == std::string::npos ? m_buffer.size() : end;
        size_t room = kMaxLineLength - line.size();
        line.append(m_buffer, m_pos, std::min(stop - m_pos, room));
        if (stop - m_pos > room) m_cut = true;
        if (end != std::string::npos) {
            m_pos = end + 1;
            break;
        }
        m_buffer.clear();
        m_pos = 0;
        if (!refill()) {
            if (m_failed || line.empty()) return false;
            break;  // the last line has no line end
        }
    }
    // Keep the buffer small once most of it is consumed.
    if (m_pos >= kReadBlock) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
    if (!line.empty() && line.back() == '\r' && !m_cut) line.pop_back();
    if (m_row < INT_MAX) ++m_row;
    return true;
}

}  // namespace klemora::scene
