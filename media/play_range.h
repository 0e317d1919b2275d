#pragma once
// The frame range a play covers and the frame it reports last, apart from
// the players so that the edge cases can be checked without a screen.
#include <cstdint>

namespace klemora::media {

struct PlayRange {
    int32_t first = 0;
    int32_t last = 0;
    int32_t frames() const { return last - first + 1; }
};

// The frames `from`..`to` of a file of `frameCount` frames: 1, -14 when
// to < from, -16 when the range starts outside the file. Both 0 means the
// whole file; a `to` past the end plays to the last frame.
int resolvePlayRange(int32_t from, int32_t to, int32_t frameCount, PlayRange& range);

// A play that ended one or two frames short of `to` reports `to` as its last
// frame (at most the file's last frame), so the caller's slider lands there;
// -1 when no such correction is due.
int32_t playEndFrame(int32_t lastShown, int32_t to, int32_t lastFileFrame);

}  // namespace klemora::media
