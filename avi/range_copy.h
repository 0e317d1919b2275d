#pragma once
// Copies a byte range of one file into another at given offsets. The kernel
// does it where it is willing, so the bytes never pass through this process:
// copy_file_range first; where that refuses (another file system: tmpfs, a
// USB disk) sendfile, which still copies once, inside the kernel; where both
// refuse (no support, a short copy) the rest goes by large reads and writes
// through a buffer the caller lends. A refusal holds for every later copy of
// the same copier.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace klemora::avi {

// The copy_file_range signature; tests put in one that refuses.
using CopyRangeCall = ssize_t (*)(int in, off_t* inOffset, int out, off_t* outOffset, size_t size, unsigned flags);
// The sendfile signature; it writes at the file position of `out`.
using SendFileCall = ssize_t (*)(int out, int in, off_t* inOffset, size_t size);

class RangeCopier {
public:
    // nullptr for both: never ask the kernel, always read and write.
    RangeCopier(CopyRangeCall call, SendFileCall send);

    // `size` bytes from `in` at `from` to `out` at `to`. 0, or the errno
    // value of the failure (EIO when the source ends first).
    int copy(int in, int64_t from, int out, int64_t to, uint64_t size, std::span<uint8_t> buffer);
    bool kernelRefused() const { return m_call == nullptr && m_send == nullptr; }

private:
    int copyByKernel(int in, int64_t& from, int out, int64_t& to, uint64_t& size);
    int sendByKernel(int in, int64_t& from, int out, int64_t& to, uint64_t& size);

    CopyRangeCall m_call;
    SendFileCall m_send;
};

// The system's copy_file_range and sendfile.
CopyRangeCall systemCopyRange();
SendFileCall systemSendFile();

}  // namespace klemora::avi
