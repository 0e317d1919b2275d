#include "avi/batch_reads.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <new>
#include <system_error>
#include <thread>

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

namespace {

// The second thread: one for the process, serving one batch at a time; a
// batch that finds it busy reads alone. It is never destroyed (it waits for
// work until the process ends), so no reader can outlive it at exit.
class ReadHelper {
public:
    // nullptr on a single core, when no thread can be started, and in a
    // forked child, which has no copy of the thread.
    static ReadHelper* instance() {
        static ReadHelper* const helper = []() -> ReadHelper* {
            if (std::thread::hardware_concurrency() < 2) return nullptr;
            auto* made = new (std::nothrow) ReadHelper;
            if (!made) return nullptr;
            made->m_process = ::getpid();
            try {
                std::thread(&ReadHelper::loop, made).detach();
            } catch (const std::system_error&) {
                delete made;
                return nullptr;  // every batch reads alone
            }
            return made;
        }();
        return helper && helper->m_process == ::getpid() ? helper : nullptr;
    }

    // Starts reading `part`; false when another batch has the helper.
    bool start(int fd, std::span<ReadRequest> part) {
        {
            std::lock_guard lock(m_mutex);
            if (m_busy) return false;
            m_busy = true;
            m_fd = fd;
            m_part = part;
        }
        m_wake.notify_one();
        return true;
    }

    // Until the started part is read.
    void wait() {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_part.empty(); });
        m_busy = false;
    }

private:
    ReadHelper() = default;

    void loop() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return !m_part.empty(); });
            const int fd = m_fd;
            const std::span<ReadRequest> part = m_part;
            lock.unlock();
            m_reader.read(fd, part);
            lock.lock();
            m_part = {};
            m_done.notify_one();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    int m_fd = -1;
    std::span<ReadRequest> m_part;  // not empty while the helper has a part to read
    bool m_busy = false;            // a batch owns the helper until its wait()
    pid_t m_process = 0;            // where the thread runs
    BatchReader m_reader{false};
};

}  // namespace

BatchReader::BatchReader(bool shareLargeBatches) : m_shareLargeBatches(shareLargeBatches) {}
BatchReader::~BatchReader() = default;

void BatchReader::readOneByOne(int fd, std::span<ReadRequest> requests) {
    for (ReadRequest& request : requests) request.result = preadRequest(fd, request);
}

void BatchReader::read(int fd, std::span<ReadRequest> requests) {
    ReadHelper* helper = m_shareLargeBatches && requests.size() >= kSplitAt ? ReadHelper::instance() : nullptr;
    const size_t mine = requests.size() / 2;
    if (helper && helper->start(fd, requests.subspan(mine))) {
        readHere(fd, requests.first(mine));
        helper->wait();
        return;
    }
    readHere(fd, requests);
}

void BatchReader::readHere(int fd, std::span<ReadRequest> requests) {
    std::lock_guard lock(m_mutex);
    if (!m_ringTried) {
        m_ringTried = true;
        // Never throws: the helper thread reads here too, and a caller's
        // other half may still be in its hands.
        auto ring = std::unique_ptr<Ring>(new (std::nothrow) Ring);
        if (ring && ring->ready()) m_ring = std::move(ring);
    }
    if (m_ring && requests.size() > 1 && m_ring->read(fd, requests)) return;
    if (m_ring && requests.size() > 1) m_ring.reset();  // refused: the same answer would come again
    readOneByOne(fd, requests);
}

}  // namespace klemora::avi
