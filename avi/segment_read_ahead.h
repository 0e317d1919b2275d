#pragma once
// The same small part of one frame after another (a date pass reads the
// subcode of every frame, the timecode pass one audio block), read for the
// next frames in one batch instead of one pread per frame. It starts on the
// second frame in a row that asks for a part, so a single look at a frame
// costs nothing extra. Only a faster way to the same bytes: a request that
// does not match a read made ahead is not answered, and the reader reads it
// itself.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "avi/byte_source.h"
#include "avi/movie_chunks.h"

namespace klemora::avi {

class SegmentReadAhead {
public:
    // Parts larger than this are read as before: a batch of them would
    // copy more than the system calls it saves.
    static constexpr uint32_t kMaxPartBytes = 1024;

    explicit SegmentReadAhead(size_t segments);
    // Bytes [at, at + size) of frame `frame` (whose chunk is frames[frame]),
    // part `segment` of it, into `into`: true when they came from a batch.
    bool take(ByteSource& source, std::span<const MovieChunk> frames, int32_t frame, size_t segment, int64_t at,
              uint8_t* into, uint32_t size);
    // After a write to the file or a new file: nothing read ahead stays.
    void clear();

private:
    struct Batch {
        int32_t lastAsked = -2;  // the frame that last asked for this part
        int32_t first = 0;       // the frames read ahead
        int32_t count = 0;
        int64_t offsetInFrame = 0;
        uint32_t size = 0;
        std::vector<uint8_t> bytes;
        std::vector<uint8_t> read;  // 1 where the whole part was read
    };
    void fill(Batch& batch, ByteSource& source, std::span<const MovieChunk> frames, int32_t first);

    std::vector<std::unique_ptr<Batch>> m_batches;  // one per segment, made on first use
};

}  // namespace klemora::avi
