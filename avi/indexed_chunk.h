#pragma once
// One chunk as a file's index lists it: where its header should be, its
// size, and whether it is a key frame.
#include <cstdint>

namespace klemora::avi {

struct IndexedChunk {
    int64_t headerOffset = 0;
    uint32_t size = 0;
    bool keyFrame = true;
};

}  // namespace klemora::avi
