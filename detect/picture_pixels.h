#pragma once
// Reading the pixels of a grabbed picture (a bitmap information header and
// uncompressed rows) for the picture-difference tests: per-block channel
// sums and the 64-bin colour histogram, straight from the buffer.
#include <cstdint>
#include <span>

namespace klemora::detect {

struct PixelArea {
    int32_t width = 0;   // columns read, from 0
    int32_t height = 0;  // rows read, from the start of the pixel data
};

struct DibPicture {
    int32_t width = 0;
    int32_t height = 0;  // rows, whichever way up they are stored
    int32_t bitCount = 0;
    uint32_t compression = 0;
    int64_t stride = 0;  // bytes per row, padded to 4
    std::span<const uint8_t> pixels;

    // A buffer too short for its header reads as depth 0.
    static DibPicture from(std::span<const uint8_t> picture);
    // 16 bits (5-5-5), 24 and 32 bits, uncompressed.
    bool supportedDepth() const;
    // Whether the rows and columns of `area` lie inside the picture and its buffer.
    bool covers(PixelArea area) const;
};

// Channel sums per square block, in block index order (row by row); `red`
// null: no block sums wanted.
struct PixelSums {
    int32_t blockSize = 1;
    int32_t blocksAcross = 0;
    int64_t* red = nullptr;
    int64_t* green = nullptr;
    int64_t* blue = nullptr;
};

// Adds every pixel of `area` to the block sums and to `histogram` (64
// counts: blue / 64 + 4 x green / 64 + 16 x red / 64; null: none).
// `area` must be covered by the picture and be whole blocks.
void readPixels(const DibPicture& picture, PixelArea area, const PixelSums& sums, uint32_t* histogram);

}  // namespace klemora::detect
