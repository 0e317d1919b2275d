#include "camera/capture_status.h"

#include "app/text_format.h"
#include "camera/camera_codes.h"
#include "camera/camera_io.h"
#include "camera/timecode_text.h"

namespace klemora::camera {

const char* formatText(int videoFormat) {
    return videoFormat == kFormatPal ? "PAL" : videoFormat == kFormatNtsc ? "NTSC" : "---";
}

std::string statusLine(bool capturing, long long dropped, long long notDropped, double frameRate,
                       const std::string& timecode, int videoFormat) {
    const long long saved = capturing ? notDropped : 0;
    if (saved < 1)
        return app::stringPrintf("Saved: --- / Dropped: --- / Length: --- / Timecode: %s / Format: %s",
                                 timecode.c_str(), formatText(videoFormat));
    const double rate = frameRate > 0 ? frameRate : kFrameRatePal;
    const long long seconds = static_cast<long long>(saved / rate);
    const long long frames = saved % static_cast<long long>(rate + 0.9);
    // Spelt as in the idle line above, so one pattern finds the length in both.
    return app::stringPrintf("Saved: %lld / Dropped: %lld / Length: %02lld:%02lld:%02lld:%02lld / Timecode: %s / "
                             "Format: %s",
                             saved, dropped <= 1 ? 0 : dropped, seconds / 3600, seconds / 60 % 60, seconds % 60,
                             frames, timecode.c_str(), formatText(videoFormat));
}

std::string currentStatusLine(CameraIO& io, bool capturing) {
    std::string timecode = kNoTimecodeText;
    io.GetTimecodeString(&timecode);
    int64_t dropped = 0, notDropped = 0;
    if (capturing && io.GetDroppedFramesInfo(&dropped, &notDropped) != 1) notDropped = 0;
    return statusLine(capturing, dropped, notDropped, io.frameRate(), timecode, io.videoFormat());
}

}  // namespace klemora::camera
