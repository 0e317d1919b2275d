// A grabbed picture stays inside its buffer at every width, including those
// whose packed rows have no padding for the scaler's vector code to spill into.
#include <gtest/gtest.h>

#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "tests/media/media_fixture.h"

namespace klemora::test {
namespace {

using GrabBounds = MediaTest;

TEST_F(GrabBounds, TheBytesAfterThePictureStayUntouched) {
    std::string path = dvFile("grab.avi", dvOptions(2, false, 3));
    media::MediaInfo info;
    ASSERT_EQ(media::ProbeMedia(path, info, ui), 1);
    constexpr uint8_t kGuard = 0xA5;
    for (int32_t width : {160, 180, 181, 360, 720}) {
        const int32_t height = width * 3 / 4;
        const int32_t size = media::GetPictureBufferSize(width, height, info);
        ASSERT_GT(size, 0);
        std::vector<uint8_t> buffer(static_cast<size_t>(size) + 64, kGuard);
        ASSERT_EQ(media::GrabFrame(info, 1, std::span(buffer).first(static_cast<size_t>(size)), width, height, ui), 1);
        for (size_t i = static_cast<size_t>(size); i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], kGuard) << "width " << width << ", byte " << i - size << " after the picture";
    }
}

}  // namespace
}  // namespace klemora::test
