#pragma once
// The 40-byte bitmap information header in front of every delivered picture,
// and the row layout behind it: bottom-up rows padded to 4 bytes, no colour
// table.
#include <cstdint>
#include <span>

namespace klemora::media {

inline constexpr uint32_t kBitmapInfoHeaderSize = 40;

struct BitmapInfoHeader {
    int32_t width = 0;
    int32_t height = 0;  // positive: bottom-up rows
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;  // uncompressed RGB
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colorsUsed = 0;
    uint32_t colorsImportant = 0;
};

// Bytes of one row: width x bitCount / 8, padded up to a multiple of 4.
int64_t dibRowStride(int64_t width, int bitCount);
// The header of a 24-bit picture of that size.
BitmapInfoHeader pictureHeader(int32_t width, int32_t height);

void writeBitmapInfoHeader(const BitmapInfoHeader& header, std::span<uint8_t, kBitmapInfoHeaderSize> out);
BitmapInfoHeader readBitmapInfoHeader(std::span<const uint8_t, kBitmapInfoHeaderSize> in);

}  // namespace klemora::media
