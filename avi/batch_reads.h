#pragma once
// Many small reads at scattered offsets of one file in few system calls:
// the chunk headers a walk checks lie 8 bytes each, a frame apart, and on a
// virtual machine each pread costs more than the bytes it moves. With
// io_uring a batch is one submission; where the kernel or the build has no
// io_uring, or refuses it (a container's seccomp rules), the reads are
// plain preads, one after another, with the same results. A large batch is
// split: a helper thread with a ring of its own reads one half while the
// caller reads the other, as each read is mostly kernel time of one core.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

namespace klemora::avi {

struct ReadRequest {
    int64_t offset = 0;
    void* data = nullptr;
    uint32_t size = 0;
    int64_t result = 0;  // bytes read (fewer at the end of the file), -1 on an error
};

class BatchReader {
public:
    // Batches of at least this many reads are shared with the helper.
    static constexpr size_t kSplitAt = 64;

    // `shareLargeBatches` false: every read on the caller's thread (the helper's own reader).
    explicit BatchReader(bool shareLargeBatches = true);
    ~BatchReader();
    BatchReader(const BatchReader&) = delete;
    BatchReader& operator=(const BatchReader&) = delete;

    // Fills every request's `result`. Safe to call from several threads.
    void read(int fd, std::span<ReadRequest> requests);

private:
    class Ring;
    void readHere(int fd, std::span<ReadRequest> requests);
    void readOneByOne(int fd, std::span<ReadRequest> requests);

    const bool m_shareLargeBatches;
    std::mutex m_mutex;
    std::unique_ptr<Ring> m_ring;
    bool m_ringTried = false;
};

// Up to `size` bytes at `offset`, EINTR and short reads handled: the count
// read (fewer at the end of the file), -1 when nothing could be read; a
// failure's errno value goes to *error.
int64_t preadUpTo(int fd, void* data, size_t size, int64_t offset, int* error = nullptr);
// The same for one request.
inline int64_t preadRequest(int fd, const ReadRequest& request) {
    return preadUpTo(fd, request.data, request.size, request.offset);
}

}  // namespace klemora::avi
