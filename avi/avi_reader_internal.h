#pragma once
// Pieces of AviReader shared by its source files.
#include <cstdint>

#include "avi/avi_reader.h"

namespace klemora::avi {

// A range of the frame buffer that an OnDemand read has not fetched yet:
// buffer[from, to) is to hold the file bytes at fileOffset + from.
struct AviReader::PendingRange {
    uint32_t from = 0;
    uint32_t to = 0;
    int64_t fileOffset = 0;
    bool pending() const { return to > from; }
};

// Chunk sizes are used made even; 64-bit so that 0xFFFFFFFF does not wrap.
inline int64_t paddedSize(uint32_t size) { return static_cast<int64_t>(size) + (size & 1u); }

}  // namespace klemora::avi
