#include "avi/avi_index_writer.h"

#include <cstring>

#include "avi/avi_format.h"

namespace klemora::avi {
namespace {

// wLongsPerEntry, bIndexSubType (0: frames), bIndexType, nEntriesInUse, dwChunkId.
void putIndexHead(uint8_t* head, uint16_t longsPerEntry, uint8_t type, uint32_t entries, uint32_t chunkId) {
    writeLe16(head, longsPerEntry);
    head[2] = 0;
    head[kIndexTypeOffset] = type;
    writeLe32(head + kIndexEntriesOffset, entries);
    writeLe32(head + kIndexChunkIdOffset, chunkId);
}

}  // namespace

uint8_t* EntryBlocks::add() {
    size_t inBlock = m_count % kIndexBlockEntries;
    size_t block = m_count / kIndexBlockEntries;
    if (block == m_blocks.size()) m_blocks.push_back(std::make_unique<uint8_t[]>(kIndexBlockEntries * m_entrySize));
    ++m_count;
    return m_blocks[block].get() + inBlock * m_entrySize;
}

void EntryBlocks::clear() {
    // One block stays for the next segment; the others go back.
    if (m_blocks.size() > 1) m_blocks.resize(1);
    m_count = 0;
}

void addStandardEntry(EntryBlocks& entries, int64_t baseOffset, int64_t dataOffset, uint32_t size, bool keyFrame) {
    uint8_t* entry = entries.add();
    writeLe32(entry, static_cast<uint32_t>(dataOffset - baseOffset));
    writeLe32(entry + 4, keyFrame ? size : size | kStandardNotKeyFrame);
}

void addLegacyEntry(EntryBlocks& entries, uint32_t chunkId, int64_t moviOffset, int64_t headerOffset, uint32_t size,
                    bool keyFrame) {
    uint8_t* entry = entries.add();
    writeLe32(entry, chunkId);
    writeLe32(entry + 4, keyFrame ? kLegacyKeyFrame : 0);
    // Relative to the 'movi' type, pointing at the chunk header.
    writeLe32(entry + 8, static_cast<uint32_t>(headerOffset - moviOffset));
    writeLe32(entry + 12, size);
}

int writeStandardIndex(RiffWriter& out, int stream, uint32_t chunkId, int64_t baseOffset, const EntryBlocks& entries,
                       SuperIndexEntry& described) {
    described.offset = out.position();
    ChunkScope ix = out.openChunk(standardIndexFourcc(stream));
    uint8_t head[kIndexHeaderSize] = {};
    putIndexHead(head, kStandardLongsPerEntry, kIndexOfChunks, static_cast<uint32_t>(entries.count()), chunkId);
    writeLe64(head + kIndexBaseOffset, static_cast<uint64_t>(baseOffset));  // qwBaseOffset, then dwReserved
    out.append(head);
    entries.forEachBlock([&](std::span<const uint8_t> block) { out.append(block); });
    described.size = static_cast<uint32_t>(out.position() - described.offset);
    return ix.finish();
}

int writeLegacyIndex(RiffWriter& out, const EntryBlocks& entries) {
    ChunkScope idx1 = out.openChunk(kFccIdx1);
    entries.forEachBlock([&](std::span<const uint8_t> block) { out.append(block); });
    return idx1.finish();
}

std::vector<uint8_t> superIndexData(uint32_t chunkId, std::span<const SuperIndexEntry> segments, uint32_t roomBytes) {
    std::vector<uint8_t> data(roomBytes, 0);
    if (roomBytes < kIndexHeaderSize) return data;
    putIndexHead(data.data(), kSuperLongsPerEntry, kIndexOfIndexes, static_cast<uint32_t>(segments.size()), chunkId);
    uint8_t* entry = data.data() + kIndexHeaderSize;
    const uint8_t* end = data.data() + data.size();
    for (const SuperIndexEntry& segment : segments) {
        if (end - entry < static_cast<ptrdiff_t>(kSuperEntrySize)) break;  // the writer refuses such segments
        writeLe64(entry, static_cast<uint64_t>(segment.offset));
        writeLe32(entry + 8, segment.size);
        writeLe32(entry + 12, segment.duration);
        entry += kSuperEntrySize;
    }
    return data;
}

}  // namespace klemora::avi
