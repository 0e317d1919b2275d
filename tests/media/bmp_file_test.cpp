#include "media/bmp_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "app/file_io.h"
#include "avi/avi_format.h"
#include "media/media_result.h"
#include "tests/support/temp_dir.h"

namespace klemora::media {
namespace {

using avi::readLe16;
using avi::readLe32;

// A 5 x 4 picture whose pixel bytes name their row and column.
std::vector<uint8_t> numberedPicture(int width, int height) {
    int64_t stride = dibRowStride(width, 24);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride * height), 0xEE);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) pixels[y * stride + x * 3 + c] = static_cast<uint8_t>(y * 16 + x);
    return pixels;
}

TEST(BmpFile, ClippingKeepsTheInnerRowsAndPadsToFourBytes) {
    std::vector<uint8_t> source = numberedPicture(5, 4);
    std::vector<uint8_t> out(static_cast<size_t>(dibRowStride(3, 24) * 2), 0x77);
    clipPicture(source, 5, 4, 3, 1, 1, out);
    ASSERT_EQ(dibRowStride(3, 24), 12);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(out[y * 12 + x * 3], (y + 1) * 16 + x + 1) << y << "," << x;
        for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(out[y * 12 + pad], 0);
    }
}

TEST(BmpFile, WritesThe58ByteLayout) {
    test::TempDir dir;
    BitmapInfoHeader delivered = pictureHeader(5, 4);
    delivered.xPelsPerMeter = 2835;  // any delivered field other than the size survives
    std::array<uint8_t, kBitmapInfoHeaderSize> header{};
    writeBitmapInfoHeader(delivered, header);
    std::vector<uint8_t> pixels = numberedPicture(3, 2);
    std::string path = dir.file("p.bmp");
    ASSERT_EQ(writeBmpFile(path, header, 3, 2, pixels), 1);

    auto bytes = app::readWholeFile(path);
    ASSERT_TRUE(bytes);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes->data());
    ASSERT_EQ(bytes->size(), 58 + pixels.size());
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    EXPECT_EQ(readLe32(p + 2), 58 + pixels.size());
    EXPECT_EQ(readLe32(p + 6), 0u);
    EXPECT_EQ(readLe32(p + 10), 58u);
    EXPECT_EQ(readLe32(p + 14), 40u);
    EXPECT_EQ(readLe32(p + 18), 3u);
    EXPECT_EQ(readLe32(p + 22), 2u);
    EXPECT_EQ(readLe16(p + 26), 1);
    EXPECT_EQ(readLe16(p + 28), 24);
    EXPECT_EQ(readLe32(p + 34), delivered.sizeImage);  // as delivered, not the clipped size
    EXPECT_EQ(readLe32(p + 38), 2835u);
    EXPECT_EQ(readLe32(p + 54), 0u);
    EXPECT_EQ(std::vector<uint8_t>(p + 58, p + bytes->size()), pixels);
}

TEST(BmpFile, FailuresLeaveNoFileBehind) {
    test::TempDir dir;
    std::array<uint8_t, kBitmapInfoHeaderSize> header{};
    writeBitmapInfoHeader(pictureHeader(1, 1), header);
    std::vector<uint8_t> pixels(4, 1);
    EXPECT_EQ(writeBmpFile(dir.file("missing/p.bmp"), header, 1, 1, pixels),
              static_cast<int>(SaveBitmapResult::CannotCreate));
    // An existing picture is replaced whole.
    std::string path = dir.file("p.bmp");
    test::writeTextFile(path, "old");
    ASSERT_EQ(writeBmpFile(path, header, 1, 1, pixels), 1);
    EXPECT_EQ(app::readWholeFile(path)->size(), 62u);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0044, 0u);  // not the private mode of a temporary file
}

}  // namespace
}  // namespace klemora::media
