#pragma once
// A forward-only view of one stream's chunks in a source AVI: the chunk at
// a given index, its data, and how many data bytes of the stream came
// before it. With the stream's index entries the cursor goes straight to a
// chunk (checking its header there); without them, or when an entry does
// not match the file, it walks the movie data from the start. Each cursor
// has its own walk, so the video and every audio stream of a scene are read
// at their own pace.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "avi/avi_writer.h"
#include "avi/header_prefetch.h"
#include "avi/movie_chunks.h"

namespace klemora::output {

class ChunkCursor {
public:
    ChunkCursor(avi::AviReader& reader, int streamNumber, const std::vector<avi::IndexedChunk>* index = nullptr);

    // Moves to chunk `index` of the stream (never backwards: a lower index
    // than the current one is an error). 1 there, 0 when the stream ends
    // before it, -1 when the file cannot be read.
    int seek(int64_t index);
    // The next chunk; same results.
    int advance() { return seek(m_index + 1); }
    // Moves to the chunk holding byte `position` of the stream's data
    // (counted over all its chunks); same results.
    int seekByte(int64_t position);

    bool valid() const { return m_valid; }
    int64_t index() const { return m_index; }
    const avi::MovieChunk& chunk() const { return m_chunk; }
    int64_t bytesBefore() const { return m_bytesBefore; }  // the stream's data bytes before this chunk

    // The current chunk's data, whole (1) or -1 on a read error.
    int read(std::vector<uint8_t>& into);
    // Part of the current chunk's data.
    int readPart(uint32_t offset, std::span<uint8_t> into);
    // Where the current chunk's data lies in the source file, for a writer
    // to copy it from there: false when it cannot (no file descriptor, the
    // data not all inside the file), and the caller reads it instead.
    bool sourceChunk(avi::SourceChunk& out) const;
    int lastErrno() const { return m_errno; }

private:
    int seekIndexed(int64_t index);
    int seekWalking(int64_t index);
    void leaveIndex();

    avi::AviReader& m_reader;
    std::optional<avi::MovieChunkWalker> m_walker;
    const std::vector<avi::IndexedChunk>* m_table;  // nullptr: walk
    std::optional<avi::HeaderPrefetch> m_headers;   // the table's headers, read in batches
    int m_stream;
    int64_t m_fileSize;
    int64_t m_index = -1;  // the chunk the cursor is on
    int64_t m_bytesBefore = 0;
    avi::MovieChunk m_chunk;
    bool m_valid = false;
    bool m_ended = false;
    int m_errno = 0;
};

}  // namespace klemora::output
