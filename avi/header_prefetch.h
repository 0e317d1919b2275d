#pragma once
// The 8-byte chunk headers at the offsets a file's index gives, read a batch
// at a time (AviReader::ReadMany) ahead of a walk or a cursor that asks for
// them in order. Only a faster way to the same bytes: an offset the index
// does not hold, or one whose read failed, gets no answer here, and the
// caller reads it itself as before; the index is never believed, only used
// to know where to read.
#include <array>
#include <cstdint>
#include <span>

#include "avi/indexed_chunk.h"

namespace klemora::avi {

class AviReader;

class HeaderPrefetch {
public:
    HeaderPrefetch() = default;
    // `entries` must outlive the prefetch; in file order for headerAt().
    HeaderPrefetch(AviReader& reader, std::span<const IndexedChunk> entries);

    // The header of entry `index`; nullptr when it could not be read.
    const uint8_t* header(size_t index);
    // The header at file offset `at` when an entry starts there; else nullptr.
    const uint8_t* headerAt(int64_t at);

private:
    static constexpr size_t kBatch = 1024;
    void fill(size_t first);

    AviReader* m_reader = nullptr;
    std::span<const IndexedChunk> m_entries;
    size_t m_first = 0;  // the entry of m_headers[0]
    size_t m_count = 0;
    std::array<std::array<uint8_t, 8>, kBatch> m_headers{};
    std::array<bool, kBatch> m_read{};
};

}  // namespace klemora::avi
