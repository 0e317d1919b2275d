#include "avi/walk_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <mutex>

namespace klemora::avi {
namespace {

struct Kept {
    std::mutex mutex;
    std::optional<FileIdentity> file;
    FrameWalk walk;
};

Kept& kept() {
    static Kept instance;
    return instance;
}

int64_t nanoseconds(const timespec& t) { return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; }

}  // namespace

std::optional<FileIdentity> identityOf(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                        static_cast<int64_t>(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

std::optional<FrameWalk> keptWalk(const FileIdentity& file, int32_t frameCap) {
    Kept& k = kept();
    std::lock_guard lock(k.mutex);
    if (k.file != file || k.walk.frameCap != frameCap || !k.walk.frames) return std::nullopt;
    return k.walk;
}

int64_t realTimeNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

void keepWalk(const FileIdentity& file, const FrameWalk& walk, int64_t nowNs) {
    Kept& k = kept();
    std::lock_guard lock(k.mutex);
    k.file.reset();
    k.walk = {};
    if (nowNs - std::max(file.modifiedNs, file.changedNs) < kSettledNs) return;
    k.walk = walk;
    k.file = file;
}

}  // namespace klemora::avi
