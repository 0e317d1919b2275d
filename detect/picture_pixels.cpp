#include "detect/picture_pixels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "media/bitmap_header.h"

namespace klemora::detect {
namespace {

// Bit-field pictures carry masks between header and pixels, and other
// compressions are no pixel rows at all.
constexpr uint32_t kUncompressed = 0;

// 5-bit channel values spread over 0..255 as x 8.23, truncated.
constexpr std::array<uint8_t, 32> kFiveBitLevels = [] {
    std::array<uint8_t, 32> levels{};
    for (int i = 0; i < 32; ++i) levels[i] = static_cast<uint8_t>(i * 8.23);
    return levels;
}();

struct Rgb {
    int red, green, blue;
};

template <int BytesPerPixel>
inline Rgb pixelAt(const uint8_t* p) {
    if constexpr (BytesPerPixel == 2) {
        unsigned value = p[0] | (p[1] << 8);
        return {kFiveBitLevels[(value >> 10) & 31], kFiveBitLevels[(value >> 5) & 31], kFiveBitLevels[value & 31]};
    } else {
        return {p[2], p[1], p[0]};
    }
}

// The histogram bin of a pixel, looked up per channel byte.
struct BinTables {
    uint8_t blue[256], green[256], red[256];
};
constexpr BinTables kBins = [] {
    BinTables t{};
    for (int v = 0; v < 256; ++v) {
        t.blue[v] = static_cast<uint8_t>(v >> 6);
        t.green[v] = static_cast<uint8_t>((v >> 6) << 2);
        t.red[v] = static_cast<uint8_t>((v >> 6) << 4);
    }
    return t;
}();

inline unsigned binOf(Rgb c) { return kBins.blue[c.blue] | kBins.green[c.green] | kBins.red[c.red]; }

template <int BytesPerPixel>
inline unsigned binAt(const uint8_t* p) {
    return binOf(pixelAt<BytesPerPixel>(p));
}

// The bin from one 32-bit load of blue, green, red (and one byte more): the
// top two bits of each channel, brought together by one multiplication (the
// three shifted copies land on different bits, so nothing carries). The
// caller makes sure the fourth byte lies inside the buffer.
inline unsigned binOfWord(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    constexpr uint32_t kTopBits = 0x00C0C0C0;                          // bits 6-7, 14-15, 22-23
    constexpr uint32_t kGather = (1u << 20) | (1u << 14) | (1u << 8);  // to bits 26-27, 28-29, 30-31
    return ((v & kTopBits) * kGather) >> 26;
}

template <int BytesPerPixel>
inline unsigned fastBinAt(const uint8_t* p) {
    if constexpr (BytesPerPixel == 2)
        return binAt<2>(p);
    else
        return binOfWord(p);
}

template <int BytesPerPixel, bool Blocks, bool Histogram>
void readRows(const DibPicture& picture, PixelArea area, const PixelSums& sums, uint32_t* histogram) {
    const int32_t size = sums.blockSize;
    for (int32_t y = 0; y < area.height; ++y) {
        const uint8_t* p = picture.pixels.data() + y * picture.stride;
        const size_t blockRow = static_cast<size_t>(y / size) * sums.blocksAcross;
        for (int32_t column = 0; column * size < area.width; ++column) {
            int32_t red = 0, green = 0, blue = 0;
            for (int32_t x = 0; x < size; ++x, p += BytesPerPixel) {
                Rgb c = pixelAt<BytesPerPixel>(p);
                if constexpr (Blocks) {
                    red += c.red;
                    green += c.green;
                    blue += c.blue;
                }
                if constexpr (Histogram) ++histogram[binOf(c)];
            }
            if constexpr (Blocks) {
                sums.red[blockRow + column] += red;
                sums.green[blockRow + column] += green;
                sums.blue[blockRow + column] += blue;
            }
        }
    }
}

// The histogram alone, the common case, row by row without the block
// structure. Four partial counts keep runs of equal pixels (flat areas)
// from waiting on one another's increments.
template <int BytesPerPixel>
void countBins(const DibPicture& picture, PixelArea area, uint32_t* histogram) {
    uint32_t partial[4][64] = {};
    // The last pixel of a row is read byte by byte: a word load from a
    // 3-byte pixel would reach past the end of the buffer on the last row.
    const int32_t wordPixels = area.width - 1;
    for (int32_t y = 0; y < area.height; ++y) {
        const uint8_t* p = picture.pixels.data() + y * picture.stride;
        int32_t x = 0;
        for (; x + 4 <= wordPixels; x += 4, p += 4 * BytesPerPixel) {
            ++partial[0][fastBinAt<BytesPerPixel>(p)];
            ++partial[1][fastBinAt<BytesPerPixel>(p + BytesPerPixel)];
            ++partial[2][fastBinAt<BytesPerPixel>(p + 2 * BytesPerPixel)];
            ++partial[3][fastBinAt<BytesPerPixel>(p + 3 * BytesPerPixel)];
        }
        for (; x < area.width; ++x, p += BytesPerPixel) ++partial[0][binAt<BytesPerPixel>(p)];
    }
    for (int bin = 0; bin < 64; ++bin) histogram[bin] += partial[0][bin] + partial[1][bin] + partial[2][bin] + partial[3][bin];
}

template <int BytesPerPixel>
void readWithDepth(const DibPicture& picture, PixelArea area, const PixelSums& sums, uint32_t* histogram) {
    const bool blocks = sums.red != nullptr;
    if (blocks && histogram)
        readRows<BytesPerPixel, true, true>(picture, area, sums, histogram);
    else if (blocks)
        readRows<BytesPerPixel, true, false>(picture, area, sums, histogram);
    else if (histogram)
        countBins<BytesPerPixel>(picture, area, histogram);
}

}  // namespace

DibPicture DibPicture::from(std::span<const uint8_t> picture) {
    DibPicture dib;
    if (picture.size() < media::kBitmapInfoHeaderSize) return dib;
    media::BitmapInfoHeader header = media::readBitmapInfoHeader(picture.first<media::kBitmapInfoHeaderSize>());
    // A damaged header must not make negative or overflowing sizes.
    dib.width = std::max(header.width, 0);
    int64_t rows = std::abs(int64_t{header.height});
    dib.height = rows > INT32_MAX ? 0 : static_cast<int32_t>(rows);
    dib.bitCount = header.bitCount;
    dib.compression = header.compression;
    dib.stride = media::dibRowStride(dib.width, dib.bitCount);
    dib.pixels = picture.subspan(media::kBitmapInfoHeaderSize);
    return dib;
}

bool DibPicture::supportedDepth() const {
    return (bitCount == 16 || bitCount == 24 || bitCount == 32) && compression == kUncompressed;
}

bool DibPicture::covers(PixelArea area) const {
    if (area.width < 0 || area.height < 0 || area.width > width || area.height > height) return false;
    // Divided rather than multiplied: a damaged width makes the stride huge.
    return area.height == 0 || stride <= static_cast<int64_t>(pixels.size()) / area.height;
}

void readPixels(const DibPicture& picture, PixelArea area, const PixelSums& sums, uint32_t* histogram) {
    if (area.width <= 0 || area.height <= 0) return;
    switch (picture.bitCount) {
        case 16: readWithDepth<2>(picture, area, sums, histogram); break;
        case 24: readWithDepth<3>(picture, area, sums, histogram); break;
        case 32: readWithDepth<4>(picture, area, sums, histogram); break;
        default: break;
    }
}

}  // namespace klemora::detect
