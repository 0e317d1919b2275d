#include "output/chunk_cursor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/debug_log.h"
#include "avi/avi_format.h"

namespace klemora::output {

ChunkCursor::ChunkCursor(avi::AviReader& reader, int streamNumber, const std::vector<avi::IndexedChunk>* index)
    : m_reader(reader), m_table(index), m_stream(streamNumber), m_fileSize(reader.fileSize()) {}

int ChunkCursor::seek(int64_t index) {
    if (index < m_index) return -1;
    if (index == m_index) return m_valid ? 1 : 0;
    if (m_table && index < static_cast<int64_t>(m_table->size())) {
        int rc = seekIndexed(index);
        if (rc != 0) return rc;
        leaveIndex();  // the entry does not match the file
    } else if (m_table) {
        leaveIndex();  // the index ends before the stream does
    }
    return seekWalking(index);
}

int ChunkCursor::seekByte(int64_t position) {
    if (m_index < 0) {
        if (int rc = seek(0); rc != 1) return rc;
    }
    if (m_table) {
        // Sizes come from the index, so passing chunks costs no reads.
        const std::vector<avi::IndexedChunk>& table = *m_table;
        int64_t target = m_index;
        int64_t before = m_bytesBefore;
        while (target < static_cast<int64_t>(table.size()) &&
               before + table[static_cast<size_t>(target)].size <= position) {
            before += table[static_cast<size_t>(target)].size;
            ++target;
        }
        if (int rc = seek(target); rc != 1) return rc;
    }
    while (m_valid && m_bytesBefore + m_chunk.size <= position) {
        if (int rc = advance(); rc != 1) return rc;
    }
    return m_valid ? 1 : 0;
}

int ChunkCursor::seekIndexed(int64_t index) {
    const std::vector<avi::IndexedChunk>& table = *m_table;
    // m_bytesBefore is the sum of the entries before m_index.
    for (int64_t i = std::max<int64_t>(m_index, 0); i < index; ++i) m_bytesBefore += table[static_cast<size_t>(i)].size;
    const avi::IndexedChunk& entry = table[static_cast<size_t>(index)];
    if (entry.headerOffset < 0 || entry.headerOffset + 8 + entry.size > m_fileSize) return 0;
    if (!m_headers) m_headers.emplace(m_reader, table);
    uint8_t header[8];
    if (const uint8_t* known = m_headers->header(static_cast<size_t>(index))) std::memcpy(header, known, sizeof header);
    else if (m_reader.ReadAt(entry.headerOffset, header, sizeof header) != 1) return 0;
    uint32_t id = avi::readLe32(header);
    if (avi::chunkStreamNumber(id) != m_stream || avi::readLe32(header + 4) != entry.size) return 0;
    m_chunk.headerOffset = entry.headerOffset;
    m_chunk.dataOffset = entry.headerOffset + 8;
    m_chunk.fourcc = id;
    m_chunk.size = entry.size;
    m_chunk.streamNumber = m_stream;
    m_chunk.damaged = false;
    m_index = index;
    m_valid = true;
    return 1;
}

// From now on the cursor walks; it starts again from the file's beginning.
void ChunkCursor::leaveIndex() {
    m_reader.log().write("ChunkCursor: %s: index of stream %d not usable, walking the file", m_reader.fileName().c_str(),
                  m_stream);
    m_table = nullptr;
    m_headers.reset();
    m_index = -1;
    m_bytesBefore = 0;
    m_valid = false;
}

int ChunkCursor::seekWalking(int64_t index) {
    if (!m_walker) m_walker.emplace(m_reader);
    while (m_index < index) {
        if (m_ended) return 0;
        if (m_valid) m_bytesBefore += m_chunk.size;
        m_valid = false;
        avi::MovieChunk next;
        int rc = 0;
        do {
            rc = m_walker->next(next);
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
    return 1;
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

bool ChunkCursor::sourceChunk(avi::SourceChunk& out) const {
    int descriptor = m_reader.sourceDescriptor();
    if (!m_valid || descriptor < 0 || m_chunk.dataOffset + m_chunk.size > m_fileSize) return false;
    // A damaged chunk's size is not the one its header claims.
    out = {descriptor, m_chunk.dataOffset, m_chunk.size, m_chunk.damaged ? 0u : m_chunk.fourcc};
    return true;
}

}  // namespace klemora::output
