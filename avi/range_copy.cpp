#include "avi/range_copy.h"

#include <sys/sendfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/file_io.h"

namespace klemora::avi {
namespace {

// One call never moves more than this, so a signal or a slow disk costs little.
constexpr uint64_t kKernelStep = uint64_t{1} << 30;

// Answers meaning "not between these files", not "the copy failed".
bool refusal(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP ||
           error == EBADF || error == ETXTBSY || error == ESPIPE;
}

}  // namespace

CopyRangeCall systemCopyRange() {
    return [](int in, off_t* inOffset, int out, off_t* outOffset, size_t size, unsigned flags) -> ssize_t {
        return ::copy_file_range(in, inOffset, out, outOffset, size, flags);
    };
}

SendFileCall systemSendFile() {
    return [](int out, int in, off_t* inOffset, size_t size) -> ssize_t { return ::sendfile(out, in, inOffset, size); };
}

RangeCopier::RangeCopier(CopyRangeCall call, SendFileCall send) : m_call(call), m_send(send) {}

// Moves what the kernel will; leaves the rest (and offsets past the part
// done) for the reads and writes. 0 or a real failure's errno value.
int RangeCopier::copyByKernel(int in, int64_t& from, int out, int64_t& to, uint64_t& size) {
    while (size > 0 && m_call) {
        off_t inOffset = from, outOffset = to;
        ssize_t n = m_call(in, &inOffset, out, &outOffset, static_cast<size_t>(std::min(size, kKernelStep)), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && !refusal(errno)) return errno;
        if (n <= 0) {
            m_call = nullptr;  // a short copy or a refusal: the same answer will come again
            break;
        }
        from += n;
        to += n;
        size -= static_cast<uint64_t>(n);
    }
    return 0;
}

// The same through sendfile, which writes at the destination's file
// position: it is set first (our writes all name their offsets).
int RangeCopier::sendByKernel(int in, int64_t& from, int out, int64_t& to, uint64_t& size) {
    if (size > 0 && m_send && ::lseek(out, to, SEEK_SET) != to) m_send = nullptr;
    while (size > 0 && m_send) {
        off_t inOffset = from;
        ssize_t n = m_send(out, in, &inOffset, static_cast<size_t>(std::min(size, kKernelStep)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && !refusal(errno)) return errno;
        if (n <= 0 || inOffset != from + n) {
            m_send = nullptr;
            break;
        }
        from += n;
        to += n;
        size -= static_cast<uint64_t>(n);
    }
    return 0;
}

int RangeCopier::copy(int in, int64_t from, int out, int64_t to, uint64_t size, std::span<uint8_t> buffer) {
    if (int error = copyByKernel(in, from, out, to, size); error != 0) return error;
    if (int error = sendByKernel(in, from, out, to, size); error != 0) return error;
    while (size > 0) {
        size_t part = static_cast<size_t>(std::min<uint64_t>(size, buffer.size()));
        errno = 0;
        if (!app::preadAll(in, buffer.data(), part, from)) return errno != 0 ? errno : EIO;
        if (!app::pwriteAll(out, buffer.data(), part, to)) return errno;
        from += static_cast<int64_t>(part);
        to += static_cast<int64_t>(part);
        size -= part;
    }
    return 0;
}

}  // namespace klemora::avi
