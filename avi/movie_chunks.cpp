#include "avi/movie_chunks.h"

#include "avi/avi_format.h"
#include "avi/avi_reader.h"

namespace klemora::avi {
namespace {

// Deeper nesting than 'RIFF' > 'movi' > 'rec ' is not AVI; damaged sizes
// must not make the walker keep an unbounded stack.
constexpr size_t kMaxListDepth = 8;

}  // namespace

MovieChunkWalker::MovieChunkWalker(AviReader& reader) : m_reader(reader), m_fileSize(reader.fileSize()) {}

bool MovieChunkWalker::insideMovie() const {
    for (const OpenList& list : m_lists)
        if (list.type == kFccMovi) return true;
    return false;
}

int MovieChunkWalker::next(MovieChunk& chunk) {
    for (;;) {
        while (!m_lists.empty() && m_position >= m_lists.back().end) m_lists.pop_back();
        if (m_position + 8 > m_fileSize) return 0;
        uint8_t header[12];
        if (m_reader.ReadAt(m_position, header, 8) != 1) return -1;
        const uint32_t id = readLe32(header);
        const uint32_t size = readLe32(header + 4);
        const int64_t dataOffset = m_position + 8;
        const int64_t end = dataOffset + size + (size & 1u);
        if ((id == kFccRiff || id == kFccList) && size >= 4) {
            if (m_reader.ReadAt(dataOffset, header + 8, 4) != 1) return -1;
            const uint32_t type = readLe32(header + 8);
            if (id == kFccRiff) ++m_segment;
            if (m_lists.size() < kMaxListDepth) m_lists.push_back({end, type});
            m_position = dataOffset + 4;
            continue;
        }
        m_position = end;
        if (!insideMovie() || chunkStreamNumber(id) < 0) continue;
        if (end > m_fileSize + 1) return 0;  // a chunk cut off by the end of the file
        chunk.headerOffset = dataOffset - 8;
        chunk.dataOffset = dataOffset;
        chunk.fourcc = id;
        chunk.size = size;
        chunk.streamNumber = chunkStreamNumber(id);
        chunk.segment = m_segment < 0 ? 0 : m_segment;
        return 1;
    }
}

}  // namespace klemora::avi
