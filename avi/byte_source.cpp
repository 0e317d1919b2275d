#include "avi/byte_source.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace klemora::avi {
namespace {

class FileSource : public ByteSource {
public:
    FileSource(app::UniqueFd fd, bool writable) : m_fd(std::move(fd)), m_writable(writable) {}

    int64_t size() const override {
        struct stat st {};
        if (::fstat(m_fd.get(), &st) != 0) return -1;
        return static_cast<int64_t>(st.st_size);
    }

    int64_t readAt(int64_t offset, void* data, size_t size) override {
        if (offset < 0) {
            m_error = EINVAL;
            return -1;
        }
        int error = 0;
        const int64_t got = preadUpTo(m_fd.get(), data, size, offset, &error);
        if (error != 0) m_error = error;
        return got;
    }

    void readMany(std::span<ReadRequest> requests) override { m_batch.read(m_fd.get(), requests); }

    bool writeAt(int64_t offset, const void* data, size_t size) override {
        int64_t length = this->size();
        if (!m_writable || offset < 0 || length < 0 || offset + static_cast<int64_t>(size) > length) {
            m_error = m_writable ? EINVAL : EBADF;
            return false;
        }
        const auto* in = static_cast<const uint8_t*>(data);
        size_t done = 0;
        while (done < size) {
            ssize_t n = ::pwrite(m_fd.get(), in + done, size - done, offset + static_cast<int64_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : EIO;
                return false;
            }
            done += static_cast<size_t>(n);
        }
        return true;
    }

    bool writable() const override { return m_writable; }
    int lastError() const override { return m_error; }
    int descriptor() const override { return m_fd.get(); }

private:
    app::UniqueFd m_fd;
    bool m_writable;
    int m_error = 0;
    BatchReader m_batch;
};

}  // namespace

void ByteSource::readMany(std::span<ReadRequest> requests) {
    for (ReadRequest& request : requests) request.result = readAt(request.offset, request.data, request.size);
}

std::unique_ptr<ByteSource> openFileSource(const std::string& path, bool readWrite, int* error) {
    app::UniqueFd fd(::open(path.c_str(), (readWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC));
    if (!fd) {
        if (error) *error = errno;
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error) *error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return nullptr;
    }
    // As with the platform's sharing modes: "rw" shares with nobody, "r"
    // shares with readers only, so neither opens while the other holds the file.
    if (::flock(fd.get(), (readWrite ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (error) *error = errno;
        return nullptr;
    }
    if (!readWrite) ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<FileSource>(std::move(fd), readWrite);
}

int64_t MemorySource::readAt(int64_t offset, void* data, size_t size) {
    if (offset < 0) return -1;
    if (offset >= this->size()) return 0;
    size_t available = m_bytes.size() - static_cast<size_t>(offset);
    size_t n = size < available ? size : available;
    std::memcpy(data, m_bytes.data() + offset, n);
    return static_cast<int64_t>(n);
}

bool MemorySource::writeAt(int64_t offset, const void* data, size_t size) {
    if (!m_writable || offset < 0 || offset + static_cast<int64_t>(size) > this->size()) return false;
    std::memcpy(m_bytes.data() + offset, data, size);
    return true;
}

bool readExactAt(ByteSource& source, int64_t offset, void* data, size_t size) {
    return source.readAt(offset, data, size) == static_cast<int64_t>(size);
}

}  // namespace klemora::avi
