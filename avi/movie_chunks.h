#pragma once
// The chunks of the movie data in file order, over every RIFF segment: what a
// writer needs to copy streams unchanged (stream number, identifier, 64-bit
// offset, size). Index chunks, 'JUNK' and lists are not reported.
//
// Inside the movie lists every chunk is checked against the file: its end
// must lie inside its list and be followed by another chunk header. A chunk
// whose size fails that is damaged: when 'idx1' has an entry for it whose
// size fits the file, that size is taken; otherwise the walk looks for the
// next valid chunk header and reports the damaged chunk with the bytes up to
// it. So no later chunk is lost and none changes its place in the count.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "avi/header_prefetch.h"

namespace klemora::avi {

class AviReader;

struct MovieChunk {
    int64_t headerOffset = 0;  // the 8-byte chunk header
    int64_t dataOffset = 0;
    uint32_t fourcc = 0;
    uint32_t size = 0;         // as in the header, without the pad byte; for a damaged chunk the bytes up to the next one
    int streamNumber = -1;     // "NNxx"
    int segment = 0;           // 0 in the first RIFF, 1.. in the 'AVIX' ones
    bool damaged = false;      // its header's size did not fit the file
};

// A walk's frame chunks, shared by every reader of the same walk (never copied).
using FrameList = std::shared_ptr<const std::vector<MovieChunk>>;

// What a walk had to get past, for the messages of its callers.
struct WalkDamage {
    int32_t damagedChunks = 0;  // chunks reported with the size found instead of their own
    int64_t skippedBytes = 0;   // bytes that are no chunk (a destroyed header and what followed it)
    bool cutOff = false;        // the file ends inside a chunk
    bool any() const { return damagedChunks > 0 || skippedBytes > 0 || cutOff; }
};

class MovieChunkWalker {
public:
    // Starts at the beginning of the reader's file; the reader must be open
    // (or opening) and must not be closed while walking. The reader's own
    // position is not touched.
    explicit MovieChunkWalker(AviReader& reader);

    // Where the file's indexes put chunk headers (in file order; they must
    // outlive the walker): those are read in batches ahead of the walk. The
    // walk itself, and so every chunk it reports, stays the same.
    void expectHeaders(std::span<const IndexedChunk> entries) { m_prefetch = HeaderPrefetch(m_reader, entries); }

    // 1 and the next chunk; 0 at the end of the file (or of the last complete
    // chunk); -1 when a chunk header cannot be read.
    int next(MovieChunk& chunk);
    const WalkDamage& damage() const { return m_damage; }

private:
    struct OpenList {
        int64_t end;
        uint32_t type;
    };
    bool insideMovie() const;
    int64_t listEnd() const;
    bool readHeader(int64_t at, uint32_t& id, uint32_t& size);
    bool plausibleId(uint32_t id) const;
    bool plausibleAt(int64_t at, int64_t limit);
    bool followedByChunk(int64_t end);
    int64_t resync(int64_t from, int64_t to);
    int enterList(uint32_t id, int64_t dataOffset, int64_t end);
    bool endsWell(int64_t end);
    std::optional<uint32_t> indexedSize(int64_t headerOffset);
    void loadIndex();

    AviReader& m_reader;
    int64_t m_position = 0;
    int64_t m_fileSize = 0;
    int m_streamCount = 0;
    int m_segment = -1;
    std::vector<OpenList> m_lists;
    WalkDamage m_damage;
    struct LegacyEntry {
        int64_t headerOffset;
        uint32_t size;
    };
    std::vector<LegacyEntry> m_index;  // the 'idx1' entries, by offset, read at the first damage
    HeaderPrefetch m_prefetch;
    bool m_indexLoaded = false;
    // The header last read: the check that a chunk is followed by another
    // reads the next chunk's header, which the walk then needs again.
    int64_t m_headerAt = -1;
    uint8_t m_header[8] = {};
};

}  // namespace klemora::avi
