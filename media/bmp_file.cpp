#include "media/bmp_file.h"

#include <cstring>

#include "app/file_io.h"
#include "avi/avi_format.h"
#include "media/media_result.h"

namespace klemora::media {

std::array<uint8_t, kBmpFileHeaderSize> bmpFileHeader(uint32_t pixelBytes) {
    std::array<uint8_t, kBmpFileHeaderSize> header{'B', 'M'};
    avi::writeLe32(header.data() + 2, pixelBytes + kBmpPixelOffset);
    avi::writeLe32(header.data() + 10, kBmpPixelOffset);  // the reserved words between stay zero
    return header;
}

void clipPicture(std::span<const uint8_t> source, int32_t width, int32_t height, int bytesPerPixel, int32_t marginX,
                 int32_t marginY, std::span<uint8_t> out) {
    int64_t sourceStride = dibRowStride(width, bytesPerPixel * 8);
    int32_t keptWidth = width - 2 * marginX;
    int32_t keptHeight = height - 2 * marginY;
    int64_t keptStride = dibRowStride(keptWidth, bytesPerPixel * 8);
    int64_t keptBytes = static_cast<int64_t>(keptWidth) * bytesPerPixel;
    for (int32_t y = 0; y < keptHeight; ++y) {
        const uint8_t* from = source.data() + (y + marginY) * sourceStride + static_cast<int64_t>(marginX) * bytesPerPixel;
        uint8_t* to = out.data() + y * keptStride;
        std::memcpy(to, from, static_cast<size_t>(keptBytes));
        std::memset(to + keptBytes, 0, static_cast<size_t>(keptStride - keptBytes));
    }
}

int writeBmpFile(const std::string& path, std::span<const uint8_t, kBitmapInfoHeaderSize> deliveredHeader,
                 int32_t width, int32_t height, std::span<const uint8_t> pixels) {
    std::array<uint8_t, kBmpPixelOffset> head{};
    auto fileHeader = bmpFileHeader(static_cast<uint32_t>(pixels.size()));
    std::memcpy(head.data(), fileHeader.data(), fileHeader.size());
    std::memcpy(head.data() + kBmpFileHeaderSize, deliveredHeader.data(), kBitmapInfoHeaderSize);
    avi::writeLe32(head.data() + kBmpFileHeaderSize + 4, static_cast<uint32_t>(width));
    avi::writeLe32(head.data() + kBmpFileHeaderSize + 8, static_cast<uint32_t>(height));

    app::AtomicFileWriter file(path);
    if (!file.open()) return static_cast<int>(SaveBitmapResult::CannotCreate);
    if (!file.write(head.data(), head.size()) || !file.write(pixels.data(), pixels.size()) || !file.commit())
        return static_cast<int>(SaveBitmapResult::WriteFailed);
    return 1;
}

}  // namespace klemora::media
