#include "media/play_range.h"

#include <algorithm>

namespace klemora::media {

int resolvePlayRange(int32_t from, int32_t to, int32_t frameCount, PlayRange& range) {
    if (to < from) return -14;
    if (from < 0 || from >= frameCount) return -16;
    range.first = from;
    range.last = (from == 0 && to == 0) ? frameCount - 1 : std::min(to, frameCount - 1);
    return 1;
}

int32_t playEndFrame(int32_t lastShown, int32_t to, int32_t lastFileFrame) {
    int32_t shortBy = to - lastShown;
    if (lastShown < 0 || shortBy < 1 || shortBy > 2) return -1;
    int32_t end = std::min(to, lastFileFrame);
    return end > lastShown ? end : -1;
}

}  // namespace klemora::media
