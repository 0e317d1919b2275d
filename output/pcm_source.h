#pragma once
// The data of a PCM audio stream as one run of bytes, across its chunks:
// any byte range can be fetched as long as the ranges move forward. Only
// the bytes asked for are read, and only the last range is kept, so a
// stream stored in very large chunks costs no more memory than one in
// small ones.
#include <cstdint>
#include <span>
#include <vector>

#include "output/chunk_cursor.h"

namespace klemora::output {

class PcmSource {
public:
    PcmSource(avi::AviReader& reader, int streamNumber, const std::vector<avi::IndexedChunk>* index)
        : m_cursor(reader, streamNumber, index) {}

    // Bytes [first, first + count) of the stream, or fewer when it ends
    // first. `first` must not lie before the start of the previous range.
    // 1 with `out` viewing the bytes (valid until the next call), -1 on a
    // read error.
    int fetch(int64_t first, int64_t count, std::span<const uint8_t>& out);
    int lastErrno() const { return m_cursor.lastErrno(); }
    // Instead of fetch, when bytes [first, first + count) lie whole in one
    // chunk in the file: 1 with `out` telling where (a chunk of its own
    // when they are all of it), 0 when not (fetch them), -1 on a read error.
    // The same rules of moving forward hold for both.
    int locate(int64_t first, int64_t count, avi::SourceChunk& out);

private:
    int skipTo(int64_t position);
    int appendUntil(int64_t end);

    ChunkCursor m_cursor;
    uint32_t m_chunkOffset = 0;  // bytes of the current chunk already taken
    std::vector<uint8_t> m_buffer;
    int64_t m_bufferStart = 0;   // stream byte of m_buffer[0]
};

}  // namespace klemora::output
