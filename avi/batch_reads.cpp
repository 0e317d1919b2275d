#include "avi/batch_reads.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#if KLEMORA_HAVE_LIBURING
#include <liburing.h>
#endif

namespace klemora::avi {
namespace {

// Submissions of this many reads: enough to spread a system call over
// hundreds of headers, small enough for a ring of a few pages.
constexpr unsigned kRingEntries = 256;

}  // namespace

int64_t preadUpTo(int fd, void* data, size_t size, int64_t offset, int* error) {
    auto* out = static_cast<uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, out + done, size - done, offset + static_cast<int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = errno;
            return done > 0 ? static_cast<int64_t>(done) : -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

#if KLEMORA_HAVE_LIBURING

class BatchReader::Ring {
public:
    Ring() { m_ready = io_uring_queue_init(kRingEntries, &m_ring, 0) == 0; }
    ~Ring() {
        if (m_ready) io_uring_queue_exit(&m_ring);
    }
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    bool ready() const { return m_ready; }

    // false when the kernel refused the submission; the caller reads the rest itself.
    bool read(int fd, std::span<ReadRequest> requests) {
        for (size_t first = 0; first < requests.size(); first += kRingEntries) {
            std::span<ReadRequest> part = requests.subspan(first, std::min<size_t>(kRingEntries, requests.size() - first));
            if (!readPart(fd, part)) return false;
        }
        return true;
    }

private:
    bool readPart(int fd, std::span<ReadRequest> part) {
        for (size_t i = 0; i < part.size(); ++i) {
            io_uring_sqe* sqe = io_uring_get_sqe(&m_ring);
            io_uring_prep_read(sqe, fd, part[i].data, part[i].size, static_cast<uint64_t>(part[i].offset));
            io_uring_sqe_set_data64(sqe, i);
        }
        int submitted = 0;
        do {
            submitted = io_uring_submit_and_wait(&m_ring, static_cast<unsigned>(part.size()));
        } while (submitted == -EINTR);
        if (submitted != static_cast<int>(part.size())) return discard(std::max(submitted, 0));
        for (size_t done = 0; done < part.size(); ++done) {
            io_uring_cqe* cqe = nullptr;
            int rc = 0;
            while ((rc = io_uring_wait_cqe(&m_ring, &cqe)) == -EINTR) {}
            if (rc < 0) return false;
            ReadRequest& request = part[io_uring_cqe_get_data64(cqe)];
            request.result = cqe->res;
            io_uring_cqe_seen(&m_ring, cqe);
        }
        // A short or failed read is a file's end, a signal or an error: pread says which.
        for (ReadRequest& request : part)
            if (request.result < static_cast<int64_t>(request.size)) request.result = preadRequest(fd, request);
        return true;
    }

    // After a partial submission: the ring is waited empty, so its buffers are ours again.
    bool discard(int submitted) {
        for (int i = 0; i < submitted; ++i) {
            io_uring_cqe* cqe = nullptr;
            if (io_uring_wait_cqe(&m_ring, &cqe) != 0) break;
            io_uring_cqe_seen(&m_ring, cqe);
        }
        return false;
    }

    io_uring m_ring{};
    bool m_ready = false;
};

#else

class BatchReader::Ring {
public:
    bool ready() const { return false; }
    bool read(int, std::span<ReadRequest>) { return false; }
};

#endif

BatchReader::BatchReader() = default;
BatchReader::~BatchReader() = default;

void BatchReader::readOneByOne(int fd, std::span<ReadRequest> requests) {
    for (ReadRequest& request : requests) request.result = preadRequest(fd, request);
}

void BatchReader::read(int fd, std::span<ReadRequest> requests) {
    std::lock_guard lock(m_mutex);
    if (!m_ringTried) {
        m_ringTried = true;
        auto ring = std::make_unique<Ring>();
        if (ring->ready()) m_ring = std::move(ring);
    }
    if (m_ring && requests.size() > 1 && m_ring->read(fd, requests)) return;
    if (m_ring && requests.size() > 1) m_ring.reset();  // refused: the same answer would come again
    readOneByOne(fd, requests);
}

}  // namespace klemora::avi
