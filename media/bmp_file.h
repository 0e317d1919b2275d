#pragma once
// BMP files of delivered pictures: a 14-byte file header, the 40-byte
// information header as delivered (width and height replaced by the clipped
// size, every other field kept), four zero bytes, then the pixel rows; the
// pixels therefore start at offset 58.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "media/bitmap_header.h"

namespace klemora::media {

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpPixelOffset = kBmpFileHeaderSize + kBitmapInfoHeaderSize + 4;

std::array<uint8_t, kBmpFileHeaderSize> bmpFileHeader(uint32_t pixelBytes);

// Copies bottom-up rows without `marginY` rows at the bottom and the top and
// `marginX` pixels at both ends of each row, into rows padded to 4 bytes
// (pad bytes zero). `out` must hold dibRowStride(width - 2 marginX) x
// (height - 2 marginY) bytes.
void clipPicture(std::span<const uint8_t> source, int32_t width, int32_t height, int bytesPerPixel, int32_t marginX,
                 int32_t marginY, std::span<uint8_t> out);

// SaveBitmapResult codes: 1, -6 the file cannot be created, -7 writing failed.
// The file appears complete or not at all; an existing one is replaced.
int writeBmpFile(const std::string& path, std::span<const uint8_t, kBitmapInfoHeaderSize> deliveredHeader,
                 int32_t width, int32_t height, std::span<const uint8_t> pixels);

}  // namespace klemora::media
