#pragma once
// A forward-only view of one stream's chunks in a source AVI: the chunk at
// a given index, its data, and how many data bytes of the stream came
// before it. Each cursor walks the movie data on its own, so the video and
// every audio stream of a scene can be read at their own pace.
#include <cstdint>
#include <span>
#include <vector>

#include "avi/avi_reader.h"
#include "avi/movie_chunks.h"

namespace klemora::output {

class ChunkCursor {
public:
    ChunkCursor(avi::AviReader& reader, int streamNumber);

    // Moves to chunk `index` of the stream (never backwards: a lower index
    // than the current one is an error). 1 there, 0 when the stream ends
    // before it, -1 when the file cannot be read.
    int seek(int64_t index);
    // The next chunk; same results.
    int advance() { return seek(m_index + 1); }

    bool valid() const { return m_valid; }
    int64_t index() const { return m_index; }
    const avi::MovieChunk& chunk() const { return m_chunk; }
    int64_t bytesBefore() const { return m_bytesBefore; }  // the stream's data bytes before this chunk

    // The current chunk's data, whole (1) or -1 on a read error.
    int read(std::vector<uint8_t>& into);
    // Part of the current chunk's data.
    int readPart(uint32_t offset, std::span<uint8_t> into);
    int lastErrno() const { return m_errno; }

private:
    avi::AviReader& m_reader;
    avi::MovieChunkWalker m_walker;
    int m_stream;
    int64_t m_index = -1;
    int64_t m_bytesBefore = 0;
    avi::MovieChunk m_chunk;
    bool m_valid = false;
    bool m_ended = false;
    int m_errno = 0;
};

}  // namespace klemora::output
