#include "camera/timecode_text.h"

#include "app/text_format.h"
#include "avi/dv_pack.h"

namespace klemora::camera {
namespace {

// A field outside two digits reads as 00 rather than as a wrong digit.
uint32_t bcdByte(int value) { return avi::toBcd(value < 0 || value > 99 ? 0 : value); }

}  // namespace

std::string timecodeText(uint32_t bcd) {
    return app::stringPrintf("%.2x:%.2x:%.2x:%.2x", bcd >> 24 & 0xFF, bcd >> 16 & 0xFF, bcd >> 8 & 0xFF, bcd & 0xFF);
}

uint32_t bcdTimecode(const scene::Timecode& timecode) {
    return bcdByte(timecode.hours) << 24 | bcdByte(timecode.minutes) << 16 | bcdByte(timecode.seconds) << 8 |
           bcdByte(timecode.frames);
}

}  // namespace klemora::camera
