#include "media/bitmap_header.h"

#include "avi/avi_format.h"

namespace klemora::media {

using avi::readLe16;
using avi::readLe32;
using avi::writeLe16;
using avi::writeLe32;

int64_t dibRowStride(int64_t width, int bitCount) { return (width * bitCount / 8 + 3) / 4 * 4; }

BitmapInfoHeader pictureHeader(int32_t width, int32_t height) {
    BitmapInfoHeader header;
    header.width = width;
    header.height = height;
    header.sizeImage = static_cast<uint32_t>(dibRowStride(width, 24) * height);
    return header;
}

void writeBitmapInfoHeader(const BitmapInfoHeader& h, std::span<uint8_t, kBitmapInfoHeaderSize> out) {
    uint8_t* p = out.data();
    writeLe32(p, kBitmapInfoHeaderSize);
    writeLe32(p + 4, static_cast<uint32_t>(h.width));
    writeLe32(p + 8, static_cast<uint32_t>(h.height));
    writeLe16(p + 12, h.planes);
    writeLe16(p + 14, h.bitCount);
    writeLe32(p + 16, h.compression);
    writeLe32(p + 20, h.sizeImage);
    writeLe32(p + 24, static_cast<uint32_t>(h.xPelsPerMeter));
    writeLe32(p + 28, static_cast<uint32_t>(h.yPelsPerMeter));
    writeLe32(p + 32, h.colorsUsed);
    writeLe32(p + 36, h.colorsImportant);
}

BitmapInfoHeader readBitmapInfoHeader(std::span<const uint8_t, kBitmapInfoHeaderSize> in) {
    const uint8_t* p = in.data();
    BitmapInfoHeader h;
    h.width = static_cast<int32_t>(readLe32(p + 4));
    h.height = static_cast<int32_t>(readLe32(p + 8));
    h.planes = readLe16(p + 12);
    h.bitCount = readLe16(p + 14);
    h.compression = readLe32(p + 16);
    h.sizeImage = readLe32(p + 20);
    h.xPelsPerMeter = static_cast<int32_t>(readLe32(p + 24));
    h.yPelsPerMeter = static_cast<int32_t>(readLe32(p + 28));
    h.colorsUsed = readLe32(p + 32);
    h.colorsImportant = readLe32(p + 36);
    return h;
}

}  // namespace klemora::media
