#pragma once
// The indexes the AVI writer keeps while it writes: the 'idx1' entries of
// the first RIFF, for each stream the OpenDML standard-index ('ix##') entries
// of the current RIFF segment, and one super-index ('indx') entry per
// finished segment. Entries are kept in their file form, in blocks of 16384,
// so growing never copies what is there and writing an index is a few big
// appends.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "avi/avi_index_layout.h"
#include "avi/riff_writer.h"

namespace klemora::avi {

inline constexpr size_t kIndexBlockEntries = 16384;

class EntryBlocks {
public:
    explicit EntryBlocks(uint32_t entrySize) : m_entrySize(entrySize) {}

    // Room for one more entry; throws std::bad_alloc when a block cannot be had.
    uint8_t* add();
    size_t count() const { return m_count; }
    void clear();
    // The entries as spans of whole blocks (the last one partly filled).
    template <typename Visit>
    void forEachBlock(Visit&& visit) const {
        size_t left = m_count;
        for (const auto& block : m_blocks) {
            size_t entries = left < kIndexBlockEntries ? left : kIndexBlockEntries;
            if (entries == 0) break;
            visit(std::span<const uint8_t>(block.get(), entries * m_entrySize));
            left -= entries;
        }
    }

private:
    uint32_t m_entrySize;
    size_t m_count = 0;
    std::vector<std::unique_ptr<uint8_t[]>> m_blocks;
};

struct SuperIndexEntry {
    int64_t offset = 0;     // the 'ix##' chunk header
    uint32_t size = 0;      // the whole 'ix##' chunk, header included
    uint32_t duration = 0;  // chunks, or samples for a stream with a sample size
};

// Entry of a chunk whose data starts at `dataOffset`; `baseOffset` is the
// segment's 'movi' type. Throws std::bad_alloc.
void addStandardEntry(EntryBlocks& entries, int64_t baseOffset, int64_t dataOffset, uint32_t size, bool keyFrame);
void addLegacyEntry(EntryBlocks& entries, uint32_t chunkId, int64_t moviOffset, int64_t headerOffset, uint32_t size,
                    bool keyFrame);

// Bytes an 'ix##' chunk of `entries` entries takes, header included.
constexpr int64_t standardIndexChunkBytes(int64_t entries) {
    return 8 + kIndexHeaderSize + entries * kStandardEntrySize;
}
constexpr int64_t legacyIndexChunkBytes(int64_t entries) { return 8 + entries * kLegacyEntrySize; }
// Data bytes of an 'indx' with room for `segments` entries.
constexpr uint32_t superIndexDataBytes(int segments) {
    return kIndexHeaderSize + static_cast<uint32_t>(segments) * kSuperEntrySize;
}

// Writes 'ix##' for one stream's entries of the segment and describes it
// for the super index (the duration is the caller's to set).
int writeStandardIndex(RiffWriter& out, int stream, uint32_t chunkId, int64_t baseOffset, const EntryBlocks& entries,
                       SuperIndexEntry& described);
int writeLegacyIndex(RiffWriter& out, const EntryBlocks& entries);
// The data of an 'indx' chunk of `roomBytes` bytes listing `segments`.
std::vector<uint8_t> superIndexData(uint32_t chunkId, std::span<const SuperIndexEntry> segments, uint32_t roomBytes);

}  // namespace klemora::avi
