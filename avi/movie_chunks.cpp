#include "avi/movie_chunks.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "avi/avi_format.h"
#include "avi/avi_index_layout.h"
#include "avi/avi_reader.h"
#include "avi/avi_reader_internal.h"

namespace klemora::avi {
namespace {

// Deeper nesting than 'RIFF' > 'movi' > 'rec ' is not AVI; damaged sizes
// must not make the walker keep an unbounded stack.
constexpr size_t kMaxListDepth = 8;
// The search for the next chunk header reads this much at a time.
constexpr int64_t kScanBlock = 64 * 1024;
// More 'idx1' entries than this are not read for the repair of a damaged size.
constexpr int64_t kMaxIndexEntries = 1 << 22;

bool isDigit(uint32_t c) { return c >= '0' && c <= '9'; }
bool isChunkLetter(uint32_t c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

}  // namespace

MovieChunkWalker::MovieChunkWalker(AviReader& reader)
    : m_reader(reader), m_fileSize(reader.fileSize()), m_streamCount(static_cast<int>(reader.streams().size())) {}

bool MovieChunkWalker::insideMovie() const {
    for (const OpenList& list : m_lists)
        if (list.type == kFccMovi) return true;
    return false;
}

int64_t MovieChunkWalker::listEnd() const {
    return m_lists.empty() ? std::numeric_limits<int64_t>::max() : m_lists.back().end;
}

bool MovieChunkWalker::readHeader(int64_t at, uint32_t& id, uint32_t& size) {
    if (at < 0 || at + 8 > m_fileSize) return false;
    if (at != m_headerAt) {
        m_headerAt = -1;
        if (const uint8_t* known = m_prefetch.headerAt(at)) std::memcpy(m_header, known, sizeof m_header);
        else if (m_reader.ReadAt(at, m_header, sizeof m_header) != 1) return false;
        m_headerAt = at;
    }
    id = readLe32(m_header);
    size = readLe32(m_header + 4);
    return true;
}

// What a movie list holds: stream chunks ("00dc", "01wb", "00__"), their
// OpenDML indexes, padding, lists, and 'idx1' after the list.
bool MovieChunkWalker::plausibleId(uint32_t id) const {
    if (id == kFccList || id == kFccRiff || id == kFccJunk || id == kFccIdx1) return true;
    const uint32_t third = (id >> 16) & 0xFF, fourth = id >> 24;
    if ((id & 0xFFFF) == makeFourcc("ix00") % 0x10000) return isDigit(third) && isDigit(fourth);
    const int number = chunkStreamNumber(id);
    if (number < 0 || number >= std::max(m_streamCount, 2)) return false;
    return isChunkLetter(third) && isChunkLetter(fourth);
}

// A chunk header at `at` whose chunk ends by `limit` (a list only inside the
// list holding it: a cut file leaves lists longer than itself).
bool MovieChunkWalker::plausibleAt(int64_t at, int64_t limit) {
    uint32_t id = 0;
    uint32_t size = 0;
    if (!readHeader(at, id, size) || !plausibleId(id)) return false;
    if (id == kFccList || id == kFccRiff) return size >= 4 && at + 8 + paddedSize(size) <= listEnd();
    return at + 8 + paddedSize(size) <= limit;
}

// Whether a chunk ending at `end` is followed by another chunk header, or by
// nothing (the end of its list or of the file).
bool MovieChunkWalker::followedByChunk(int64_t end) {
    if (end + 8 > std::min(listEnd(), m_fileSize)) return true;
    return plausibleAt(end, listEnd());
}

// The first offset in [from, to) in steps of two (chunks start at even
// offsets) with a chunk header that fits the file and is followed by
// another; -1 when there is none or the file cannot be read.
int64_t MovieChunkWalker::resync(int64_t from, int64_t to) {
    to = std::min(to, m_fileSize - 7);
    const int64_t limit = std::min(listEnd(), m_fileSize + 1);
    std::vector<uint8_t> block;
    for (int64_t start = from; start < to; start += kScanBlock) {
        const int64_t count = std::min(kScanBlock, to - start);
        block.resize(static_cast<size_t>(count) + 7);
        if (m_reader.ReadAt(start, block.data(), block.size()) != 1) return -1;
        for (int64_t i = 0; i < count; i += 2) {
            const uint32_t id = readLe32(block.data() + i);
            if (!plausibleId(id)) continue;
            const int64_t at = start + i;
            if (!plausibleAt(at, limit)) continue;
            if (id == kFccList || id == kFccRiff || followedByChunk(at + 8 + paddedSize(readLe32(block.data() + i + 4))))
                return at;
        }
    }
    return -1;
}

// A chunk ending at `end` fits its list and the file and is followed by a chunk header or nothing.
bool MovieChunkWalker::endsWell(int64_t end) {
    return end <= listEnd() && end <= m_fileSize + 1 && followedByChunk(end);
}

void MovieChunkWalker::loadIndex() {
    m_indexLoaded = true;
    const AviReader::IndexPlace& place = m_reader.legacyIndex();
    if (place.dataOffset < 0) return;
    const int64_t entries =
        std::min(std::min(place.size, m_fileSize - place.dataOffset) / kLegacyEntrySize, kMaxIndexEntries);
    if (entries <= 0) return;
    std::vector<uint8_t> bytes(static_cast<size_t>(entries * kLegacyEntrySize));
    if (m_reader.ReadAt(place.dataOffset, bytes.data(), bytes.size()) != 1) return;
    // Offsets count from the 'movi' type, or (in some files) from the file start.
    const int64_t movi = m_reader.movieListOffset() - 4;
    int64_t base = -1;
    for (int64_t e = 0; e < entries; ++e) {
        const uint8_t* entry = bytes.data() + e * kLegacyEntrySize;
        const uint32_t id = readLe32(entry);
        const int64_t offset = readLe32(entry + 8);
        if (base < 0) {
            uint8_t probe[4] = {};
            base = m_reader.ReadAt(movi + offset, probe, 4) == 1 && readLe32(probe) == id ? movi : 0;
        }
        m_index.push_back({base + offset, readLe32(entry + 12)});
    }
    std::sort(m_index.begin(), m_index.end(),
              [](const LegacyEntry& a, const LegacyEntry& b) { return a.headerOffset < b.headerOffset; });
}

// The size 'idx1' gives the chunk whose header is at `headerOffset`.
std::optional<uint32_t> MovieChunkWalker::indexedSize(int64_t headerOffset) {
    if (!m_indexLoaded) loadIndex();
    auto entry = std::lower_bound(m_index.begin(), m_index.end(), headerOffset,
                                  [](const LegacyEntry& c, int64_t offset) { return c.headerOffset < offset; });
    if (entry == m_index.end() || entry->headerOffset != headerOffset) return std::nullopt;
    return entry->size;
}

int MovieChunkWalker::enterList(uint32_t id, int64_t dataOffset, int64_t end) {
    uint8_t type[4];
    if (dataOffset + 4 > m_fileSize) return 0;
    if (m_reader.ReadAt(dataOffset, type, sizeof type) != 1) return -1;
    if (id == kFccRiff) ++m_segment;
    // A list cannot reach past the one holding it.
    end = std::min(end, listEnd());
    if (m_lists.size() < kMaxListDepth) m_lists.push_back({end, readLe32(type)});
    m_position = dataOffset + 4;
    return 1;
}

int MovieChunkWalker::next(MovieChunk& chunk) {
    for (;;) {
        while (!m_lists.empty() && m_position >= m_lists.back().end) m_lists.pop_back();
        const int64_t room = std::min(listEnd(), m_fileSize);
        if (m_position + 8 > room) {
            if (room == m_fileSize) return 0;
            if (insideMovie()) m_damage.skippedBytes += room - m_position;  // too few bytes for a chunk
            m_position = room;
            continue;
        }
        uint32_t id = 0;
        uint32_t size = 0;
        if (!readHeader(m_position, id, size)) return -1;
        const int64_t headerOffset = m_position;
        const int64_t dataOffset = m_position + 8;
        const int64_t end = dataOffset + paddedSize(size);
        if ((id == kFccRiff || id == kFccList) && size >= 4) {
            if (int rc = enterList(id, dataOffset, end); rc != 1) return rc;
            continue;
        }
        m_position = end;
        if (!insideMovie()) continue;  // the headers are walked by their sizes
        if (!plausibleId(id)) {
            // No chunk starts here: its header is destroyed.
            const int64_t found = resync(headerOffset + 2, listEnd());
            m_position = found >= 0 ? found : room;
            m_damage.skippedBytes += m_position - headerOffset;
            continue;
        }
        bool damaged = false;
        const bool whole = end <= listEnd() && end <= m_fileSize + 1;  // a missing last pad byte is no damage
        if (!whole || !followedByChunk(end)) {
            const std::optional<uint32_t> indexed = indexedSize(headerOffset);
            if (indexed && *indexed != size && endsWell(dataOffset + paddedSize(*indexed))) {
                // The index agrees with the file where the header does not.
                damaged = true;
                size = *indexed;
                m_position = dataOffset + paddedSize(size);
            } else if (const int64_t found = resync(dataOffset, whole ? end : listEnd()); found >= 0) {
                // The next valid header ends the chunk. When there is none inside a chunk that
                // fits, the chunk is right and the header after it is the damaged one.
                damaged = true;
                m_position = found;
                size = static_cast<uint32_t>(found - dataOffset);
            } else if (!whole && end > m_fileSize + 1 && listEnd() >= m_fileSize) {
                m_damage.cutOff = true;
                return 0;
            } else if (!whole) {
                damaged = true;
                m_position = room;
                size = static_cast<uint32_t>(room - dataOffset);
            }
        }
        if (damaged) ++m_damage.damagedChunks;
        if (chunkStreamNumber(id) < 0) continue;
        chunk.headerOffset = headerOffset;
        chunk.dataOffset = dataOffset;
        chunk.fourcc = id;
        chunk.size = size;
        chunk.streamNumber = chunkStreamNumber(id);
        chunk.segment = m_segment < 0 ? 0 : m_segment;
        chunk.damaged = damaged;
        return 1;
    }
}

}  // namespace klemora::avi
