#include "output/chunk_cursor.h"

#include <cerrno>

namespace klemora::output {

ChunkCursor::ChunkCursor(avi::AviReader& reader, int streamNumber)
    : m_reader(reader), m_walker(reader), m_stream(streamNumber) {}

int ChunkCursor::seek(int64_t index) {
    if (index < m_index) return -1;
    while (m_index < index) {
        if (m_ended) return 0;
        if (m_valid) m_bytesBefore += m_chunk.size;
        m_valid = false;
        avi::MovieChunk next;
        int rc = 0;
        do {
            rc = m_walker.next(next);
        } while (rc == 1 && next.streamNumber != m_stream);
        if (rc < 0) {
            m_errno = EIO;
            return -1;
        }
        if (rc == 0) {
            m_ended = true;
            return 0;
        }
        m_chunk = next;
        m_valid = true;
        ++m_index;
    }
    return m_valid ? 1 : 0;
}

int ChunkCursor::read(std::vector<uint8_t>& into) {
    if (!m_valid) return -1;
    into.resize(m_chunk.size);
    return readPart(0, into);
}

int ChunkCursor::readPart(uint32_t offset, std::span<uint8_t> into) {
    if (!m_valid || offset > m_chunk.size || into.size() > m_chunk.size - offset) return -1;
    if (into.empty()) return 1;
    if (m_reader.ReadAt(m_chunk.dataOffset + offset, into.data(), into.size()) != 1) {
        m_errno = EIO;
        return -1;
    }
    return 1;
}

}  // namespace klemora::output
