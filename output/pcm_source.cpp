#include "output/pcm_source.h"

#include <algorithm>

namespace klemora::output {

int PcmSource::fetch(int64_t first, int64_t count, std::span<const uint8_t>& out) {
    out = {};
    if (first < m_bufferStart || count < 0) return -1;
    int64_t bufferEnd = m_bufferStart + static_cast<int64_t>(m_buffer.size());
    if (first >= bufferEnd) {
        m_buffer.clear();
        if (skipTo(first) < 0) return -1;
        m_bufferStart = first;
    } else {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + (first - m_bufferStart));
        m_bufferStart = first;
    }
    if (appendUntil(first + count) < 0) return -1;
    size_t available = std::min(m_buffer.size(), static_cast<size_t>(count));
    out = std::span<const uint8_t>(m_buffer.data(), available);
    return 1;
}

int PcmSource::locate(int64_t first, int64_t count, avi::SourceChunk& out) {
    int64_t bufferEnd = m_bufferStart + static_cast<int64_t>(m_buffer.size());
    if (count <= 0 || first < bufferEnd) return 0;  // overlapping what is held: fetch knows how
    m_buffer.clear();
    if (skipTo(first) < 0) return -1;
    m_bufferStart = first;
    if (!m_cursor.valid() || !m_cursor.sourceChunk(out)) return 0;
    const uint32_t size = m_cursor.chunk().size;
    if (m_chunkOffset >= size || static_cast<uint64_t>(count) > size - m_chunkOffset) return 0;
    if (m_chunkOffset != 0 || count != size) {
        out.dataOffset += m_chunkOffset;
        out.size = static_cast<uint32_t>(count);
        out.headerFourcc = 0;  // a part: the header must be our own
    }
    m_chunkOffset += static_cast<uint32_t>(count);
    return 1;
}

// Passes whole chunks without reading them; the buffer is empty here.
int PcmSource::skipTo(int64_t position) {
    int rc = m_cursor.seekByte(position);
    if (rc != 1) return rc;
    m_chunkOffset = static_cast<uint32_t>(std::max<int64_t>(0, position - m_cursor.bytesBefore()));
    return 1;
}

int PcmSource::appendUntil(int64_t end) {
    while (m_bufferStart + static_cast<int64_t>(m_buffer.size()) < end && m_cursor.valid()) {
        uint32_t size = m_cursor.chunk().size;
        if (m_chunkOffset >= size) {
            m_chunkOffset = 0;
            if (int rc = m_cursor.advance(); rc <= 0) return rc;
            continue;
        }
        int64_t wanted = end - (m_bufferStart + static_cast<int64_t>(m_buffer.size()));
        uint32_t take = static_cast<uint32_t>(std::min<int64_t>(wanted, size - m_chunkOffset));
        size_t at = m_buffer.size();
        m_buffer.resize(at + take);
        if (m_cursor.readPart(m_chunkOffset, std::span<uint8_t>(m_buffer.data() + at, take)) != 1) return -1;
        m_chunkOffset += take;
    }
    return 1;
}

}  // namespace klemora::output
