#pragma once
// Copies a byte range of one file into another at given offsets. The kernel
// does it (copy_file_range) where it is willing, so the bytes never pass
// through this process; where it refuses (another file system, no support,
// a short copy) the rest goes by large reads and writes through a buffer
// the caller lends, and so does every later copy of the same copier.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace klemora::avi {

// The copy_file_range signature; tests put in one that refuses.
using CopyRangeCall = ssize_t (*)(int in, off_t* inOffset, int out, off_t* outOffset, size_t size, unsigned flags);

class RangeCopier {
public:
    // nullptr: never ask the kernel, always read and write.
    explicit RangeCopier(CopyRangeCall call);

    // `size` bytes from `in` at `from` to `out` at `to`. 0, or the errno
    // value of the failure (EIO when the source ends first).
    int copy(int in, int64_t from, int out, int64_t to, uint64_t size, std::span<uint8_t> buffer);
    bool kernelRefused() const { return m_call == nullptr; }

private:
    int copyByKernel(int in, int64_t& from, int out, int64_t& to, uint64_t& size);

    CopyRangeCall m_call;
};

// The system's copy_file_range.
CopyRangeCall systemCopyRange();

}  // namespace klemora::avi
