#pragma once
// The frame chunks of the file whose walk ended last, so that opening the
// same file again unchanged (a project's sources are probed when it loads
// and opened again a moment later to be written) needs no second walk over
// all its chunks. A file counts as unchanged while its device, inode, size,
// and modification and status-change times are; any write or truncation
// changes the last two. Those times may be as coarse as a clock tick (or two
// seconds on FAT), so a file changed shortly before its walk is not kept: a
// change within the same tick would not show. One file is kept, for the
// whole process; the list is shared with the readers that use it, never
// copied (on some machines each fresh page costs a fault of microseconds).
#include <cstdint>
#include <optional>
#include <vector>

#include "avi/movie_chunks.h"

namespace klemora::avi {

struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of an open file; none for a descriptor that is no regular file.
std::optional<FileIdentity> identityOf(int fd);

struct FrameWalk {
    int32_t frameCap = 0;  // the headers' frame count the walk stopped at (0: none)
    FrameList frames;
    WalkDamage damage;
};

// A file changed less than this before its walk is walked again next time.
inline constexpr int64_t kSettledNs = int64_t{3} * 1000000000;

// The kept walk when it is of this file with this cap.
std::optional<FrameWalk> keptWalk(const FileIdentity& file, int32_t frameCap);
// Keeps `walk` of `file` when the file last changed kSettledNs before
// `nowNs` (the real-time clock), and forgets any other.
void keepWalk(const FileIdentity& file, const FrameWalk& walk, int64_t nowNs);
int64_t realTimeNs();

}  // namespace klemora::avi
