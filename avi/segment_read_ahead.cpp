#include "avi/segment_read_ahead.h"

#include <algorithm>
#include <cstring>

namespace klemora::avi {
namespace {

// Frames per batch: a few hundred reads per system call.
constexpr int32_t kFramesAhead = 1024;

}  // namespace

SegmentReadAhead::SegmentReadAhead(size_t segments) : m_batches(segments) {}

void SegmentReadAhead::clear() {
    for (auto& batch : m_batches) batch.reset();
}

void SegmentReadAhead::fill(Batch& batch, ByteSource& source, std::span<const MovieChunk> frames, int32_t first) {
    batch.first = first;
    batch.count = static_cast<int32_t>(std::min<size_t>(kFramesAhead, frames.size() - static_cast<size_t>(first)));
    batch.bytes.resize(static_cast<size_t>(batch.count) * batch.size);
    batch.read.assign(static_cast<size_t>(batch.count), 0);
    std::vector<ReadRequest> requests;
    requests.reserve(static_cast<size_t>(batch.count));
    for (int32_t i = 0; i < batch.count; ++i) {
        const MovieChunk& chunk = frames[static_cast<size_t>(first + i)];
        if (batch.offsetInFrame + batch.size > chunk.size) continue;  // a short frame reads its own way
        requests.push_back({chunk.dataOffset + batch.offsetInFrame, batch.bytes.data() + size_t(i) * batch.size,
                            batch.size, 0});
    }
    source.readMany(requests);
    for (const ReadRequest& request : requests)
        if (request.result == batch.size)
            batch.read[static_cast<size_t>((static_cast<uint8_t*>(request.data) - batch.bytes.data()) / batch.size)] = 1;
}

bool SegmentReadAhead::take(ByteSource& source, std::span<const MovieChunk> frames, int32_t frame, size_t segment,
                            int64_t at, uint8_t* into, uint32_t size) {
    if (segment >= m_batches.size() || frame < 0 || static_cast<size_t>(frame) >= frames.size() || size == 0 ||
        size > kMaxPartBytes)
        return false;
    const int64_t offsetInFrame = at - frames[static_cast<size_t>(frame)].dataOffset;
    if (!m_batches[segment]) m_batches[segment] = std::make_unique<Batch>();
    Batch& batch = *m_batches[segment];
    const bool inBatch = frame >= batch.first && frame < batch.first + batch.count &&
                         batch.offsetInFrame == offsetInFrame && batch.size == size;
    const bool sequential = batch.lastAsked == frame - 1;
    batch.lastAsked = frame;
    if (!inBatch) {
        if (!sequential) return false;
        batch.offsetInFrame = offsetInFrame;
        batch.size = size;
        fill(batch, source, frames, frame);
    }
    const size_t slot = static_cast<size_t>(frame - batch.first);
    if (!batch.read[slot]) return false;
    std::memcpy(into, batch.bytes.data() + slot * size, size);
    return true;
}

}  // namespace klemora::avi
