// The duration fallback for files whose demuxer reports no length: the
// total-frame counts of the AVI main header and of the OpenDML header, never
// more than the frames the AVI reader finds.
#include <algorithm>

#include "app/string_table.h"
#include "avi/avi_reader.h"
#include "avi/avi_format.h"
#include "media/file_scan.h"
#include "media/media_probe.h"
#include "app/text_format.h"

namespace klemora::media {
namespace {

// dwTotalFrames lies 24 bytes after "avih" (name, size, four fields) and
// 8 bytes after "dmlh" (name, size).
constexpr size_t kAvihTotalFramesOffset = 24;
constexpr size_t kDmlhTotalFramesOffset = 8;

void takeCount(std::span<const uint8_t> raw, std::string_view text, std::string_view name, size_t fieldOffset,
               uint32_t& count) {
    if (count != 0) return;
    size_t at = text.find(name);
    if (at == std::string_view::npos || at + fieldOffset + 4 > raw.size()) return;
    count = avi::readLe32(raw.data() + at + fieldOffset);
}

}  // namespace

double DetectVideoDuration(const MediaInfo& info, app::UserInterface& ui) {
    uint32_t mainTotal = 0;
    uint32_t openDmlTotal = 0;
    bool opened = scanFileBlocks(info.fileName, 20, [&](std::span<const uint8_t> raw, std::string_view text) {
        takeCount(raw, text, "avih", kAvihTotalFramesOffset, mainTotal);
        takeCount(raw, text, "dmlh", kDmlhTotalFramesOffset, openDmlTotal);
        return mainTotal != 0 && openDmlTotal != 0;
    });
    if (!opened) {
        ui.showMessage(app::stringPrintf("%s DetectVideoDuration()!\nCode: -1", app::loadString(113).c_str()),
                       app::Icon::Stop);
        return 0;
    }
    if (info.frameRate <= 0) return 0;
    uint32_t total = openDmlTotal != 0 ? openDmlTotal : mainTotal;
    // A damaged count may claim more frames than the file holds: the reader counted them.
    avi::AviReader reader;
    reader.setLog(info.log);
    if (reader.Open(info.fileName, "r") == 1) total = std::min(total, static_cast<uint32_t>(reader.GetFrameCount()));
    return static_cast<double>(total) / info.frameRate;
}

}  // namespace klemora::media
