// Frame reads and the frame buffer of AviReader. The frame chunks were
// listed at Open; an OnDemand read only notes where the frame's bytes are and
// fetches a part of the buffer when somebody looks at it.
#include <algorithm>
#include <array>
#include <new>

#include "app/debug_log.h"
#include "avi/avi_reader.h"
#include "avi/avi_reader_internal.h"

namespace klemora::avi {
namespace {

// The buffer is cut where the DV packs sit: in every DIF sequence its
// header block and its subcode blocks (bytes 80-240, the packs a date pass
// reads); in the first one also the VAUX blocks up to byte 453's pack and
// audio block 4 (its AAUX pack is the source control pack 0x51). Each forms
// one segment, fetched as a whole when touched; so a frame whose packs are
// all in the first sequence's subcode costs one read of 160 bytes.
constexpr size_t kSegments = 29;
constexpr uint32_t kAudioControlBlock = (6 + 16 * 4) * kDifBlockSize;
constexpr std::array<uint32_t, kSegments> makeSegmentStarts() {
    std::array<uint32_t, kSegments> starts{};
    starts[0] = 0;
    starts[1] = 80;
    starts[2] = 240;
    starts[3] = 460;
    starts[4] = kAudioControlBlock;
    starts[5] = kAudioControlBlock + kDifBlockSize;
    for (uint32_t s = 1; s <= 11; ++s) {
        starts[2 * s + 4] = s * kDifSequenceSize + 80;
        starts[2 * s + 5] = s * kDifSequenceSize + 240;
    }
    starts[28] = kDvFrameSizePal;  // the rest of a buffer larger than a PAL frame
    return starts;
}
constexpr std::array<uint32_t, kSegments> kSegmentStarts = makeSegmentStarts();

size_t segmentOf(uint32_t offset) {
    return static_cast<size_t>(std::upper_bound(kSegmentStarts.begin(), kSegmentStarts.end(), offset) -
                               kSegmentStarts.begin()) - 1;
}

constexpr int code(ReadResult result) { return static_cast<int>(result); }

}  // namespace

size_t AviReader::frameSegmentCount() { return kSegments; }

int AviReader::ReadRawPictureData(int32_t frame, FrameLoad load) {
    if (!m_open) return code(ReadResult::NotOpen);
    if (frame < 0) return code(ReadResult::NegativeFrame);
    if (frame >= m_frameCount) return code(ReadResult::FrameOutOfRange);
    return loadFrame(frame, standOn(frame), load);
}

int AviReader::loadFrameChunk(int32_t frame, FrameLoad load) {
    if (!m_open) return code(ReadResult::NotOpen);
    if (frame < 0 || frame >= m_frameCount) return code(ReadResult::FrameOutOfRange);
    const MovieChunk& chunk = standOn(frame);
    return loadChunkData(chunk.fourcc, chunk.size, load);
}

// The chunk of a frame the file holds, the position at its data.
const MovieChunk& AviReader::standOn(int32_t frame) {
    const MovieChunk& chunk = m_frames[static_cast<size_t>(frame)];
    m_currentFrame = frame;
    m_position = chunk.dataOffset;
    return chunk;
}

int AviReader::loadFrame(int32_t frame, const MovieChunk& chunk, FrameLoad load) {
    const int64_t n = paddedSize(chunk.size);
    const uint32_t dvFrameSize = m_pal ? kDvFrameSizePal : kDvFrameSizeNtsc;
    if (m_isDv && frame != 0 && n != dvFrameSize) {
        // A damaged chunk: the previous frame stands in for it.
        if (m_log.tracing())
            m_log.write(" %05d  |  #### DV Frame Chunksize ungueltig (%d) - Letzter gueltiger Frame wird verwendet !",
                          frame + 1, static_cast<int>(n));
        m_chunk = {chunk.dataOffset, chunk.fourcc, chunk.size, 0};
        m_position += n;
        return code(ReadResult::Ok);
    }
    int rc = loadChunkData(chunk.fourcc, chunk.size, load);
    if (rc != 1) return rc;
    const int64_t length = m_chunk.bytesLoaded;
    if (n > length && !skip(n - length)) return code(ReadResult::RemainderSkipFailed);
    return code(ReadResult::Ok);
}

int AviReader::loadChunkData(uint32_t id, uint32_t size, FrameLoad load) {
    if (!m_open || m_buffer.empty()) return code(ReadResult::NotOpen);
    const int64_t n = paddedSize(size);
    const int64_t dataOffset = m_position;
    const uint32_t length = static_cast<uint32_t>(std::min<int64_t>(n, m_bufferSize));
    if (dataOffset + length > m_knownSize) m_knownSize = m_source->size();
    const int64_t available = std::clamp<int64_t>(m_knownSize - dataOffset, 0, length);
    m_chunk = {dataOffset, id, size, length};
    if (available < length || load == FrameLoad::Whole) {
        // A short read fills what it can, as a whole read would.
        forgetPending(static_cast<uint32_t>(available));
        int64_t got = length > 0 ? m_source->readAt(dataOffset, m_buffer.data(), length) : 0;
        if (got > 0) m_position += got;
        return got == static_cast<int64_t>(length) ? code(ReadResult::Ok) : code(ReadResult::ShortRead);
    }
    forgetPending(length);
    markPending(length, dataOffset);
    m_position += length;
    return code(ReadResult::Ok);
}

std::span<uint8_t> AviReader::mutableFrameBytes(uint32_t offset, uint32_t size) {
    if (offset >= m_buffer.size()) return {};
    uint32_t end = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{offset} + size, m_buffer.size()));
    materialize(offset, end);
    return {m_buffer.data() + offset, end - offset};
}

// Before buffer[0, loadedLength) is replaced: pending bytes of an older frame
// that lie beyond it stay in the buffer and are fetched now; pending bytes
// inside it are dropped.
void AviReader::forgetPending(uint32_t loadedLength) {
    for (PendingRange& range : m_pending) {
        if (!range.pending() || range.from >= loadedLength) continue;
        if (range.to > loadedLength) {
            m_source->readAt(range.fileOffset + loadedLength, m_buffer.data() + loadedLength,
                             range.to - loadedLength);
        }
        range.to = range.from;
    }
}

void AviReader::markPending(uint32_t loadedLength, int64_t dataOffset) {
    for (size_t i = 0; i < m_pending.size(); ++i) {
        uint32_t from = kSegmentStarts[i];
        uint32_t end = i + 1 < kSegments ? kSegmentStarts[i + 1] : m_bufferSize;
        if (from >= loadedLength || from >= end) continue;
        m_pending[i] = {from, std::min(end, loadedLength), dataOffset};
    }
}

void AviReader::materialize(uint32_t from, uint32_t to) {
    if (from >= to || m_pending.empty()) return;
    for (size_t i = segmentOf(from); i < m_pending.size() && kSegmentStarts[i] < to; ++i) {
        PendingRange& range = m_pending[i];
        if (!range.pending()) continue;
        fetchSegment(i, range);
        range.to = range.from;
    }
}

// A pending part of the current frame, from the read-ahead when it has it.
// A file that shrank since leaves what it cannot give as it was.
void AviReader::fetchSegment(size_t segment, const PendingRange& range) {
    uint8_t* into = m_buffer.data() + range.from;
    const uint32_t size = range.to - range.from;
    const int64_t at = range.fileOffset + range.from;
    const bool currentFrame = m_currentFrame >= 0 && static_cast<size_t>(m_currentFrame) < m_frames.size() &&
                              m_frames[static_cast<size_t>(m_currentFrame)].dataOffset == range.fileOffset;
    if (currentFrame && !m_source->writable() &&
        m_segmentsAhead.take(*m_source, m_frames, m_currentFrame, segment, at, into, size))
        return;
    m_source->readAt(at, into, size);
}

std::span<const uint8_t> AviReader::frameBytes(uint32_t offset, uint32_t size) {
    if (offset >= m_buffer.size()) return {};
    uint32_t end = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{offset} + size, m_buffer.size()));
    materialize(offset, end);
    return {m_buffer.data() + offset, end - offset};
}

std::span<const uint8_t> AviReader::frameBuffer() {
    materialize(0, static_cast<uint32_t>(m_buffer.size()));
    return m_buffer;
}

std::span<uint8_t> AviReader::mutableFrameBuffer() {
    materialize(0, static_cast<uint32_t>(m_buffer.size()));
    return m_buffer;
}

void AviReader::countChunk(uint32_t id, int32_t wantedFrame) {
    for (ChunkCount& entry : m_chunkStatistics) {
        if (entry.fourcc == id) {
            ++entry.count;
            return;
        }
    }
    try {
        m_chunkStatistics.push_back({id, 1});
    } catch (const std::bad_alloc&) {
        m_log.write(" %05d  |  #### Fehler bei Erweiterung von tagCount[] actualFrame=%d  state %d", wantedFrame + 1,
                      m_currentFrame + 1, 0);
        m_chunkStatistics.clear();
    }
}

}  // namespace klemora::avi
