// A grabbed picture as the picture detection sees it: the bitmap header says
// how to read the rows that follow, and a damaged header must never make the
// detector read outside the buffer.
#include <span>

#include "app/ui.h"
#include "detect/picture_diff_detector.h"
#include "media/bitmap_header.h"
#include "tests/fuzz/fuzz_entries.h"

namespace klemora::fuzz {

int fuzzBitmapPicture(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> picture(data, size);
    if (size >= media::kBitmapInfoHeaderSize)
        media::readBitmapInfoHeader(picture.first<media::kBitmapInfoHeaderSize>());
    app::SilentUserInterface ui;
    detect::PictureDiffDetector detector(ui);
    detector.variant1 = detector.variant2 = detector.variant3 = true;
    if (detector.InitSearch(picture, "fuzz") != 1) return 0;
    detector.CompareFrame(picture);
    // The same picture once more with its last row missing: a reference that
    // the next picture no longer covers.
    detector.CompareFrame(picture.first(size / 2));
    return 0;
}

}  // namespace klemora::fuzz
