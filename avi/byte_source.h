#pragma once
// Where AviReader's bytes come from: a file (pread/pwrite at 64-bit offsets)
// or a block of memory, so that tests and the damaged-input loops can feed the
// reader without touching the disk.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/unique_fd.h"
#include "avi/batch_reads.h"

namespace klemora::avi {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Current length in bytes; -1 when it cannot be told.
    virtual int64_t size() const = 0;
    // Up to `size` bytes at `offset`: the count read (0 at the end), -1 on error.
    virtual int64_t readAt(int64_t offset, void* data, size_t size) = 0;
    // Many reads at once, each as readAt would do it; a file batches them.
    virtual void readMany(std::span<ReadRequest> requests);
    // All bytes or false; never writes past the current end.
    virtual bool writeAt(int64_t offset, const void* data, size_t size) = 0;
    virtual bool writable() const = 0;
    // errno-style number of the last failure (0 when none).
    virtual int lastError() const { return 0; }
    // The open file behind the source, for copies the kernel makes without
    // passing the bytes through us; -1 when there is none (memory).
    virtual int descriptor() const { return -1; }
};

// Mode "r": shared read with a sequential hint. Mode "rw": read/write with an
// exclusive lock; a file held in one mode cannot be opened in the other.
// nullptr on failure, with *error set to the errno value when given.
std::unique_ptr<ByteSource> openFileSource(const std::string& path, bool readWrite, int* error = nullptr);

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::vector<uint8_t> bytes, bool writable = false)
        : m_bytes(std::move(bytes)), m_writable(writable) {}

    int64_t size() const override { return static_cast<int64_t>(m_bytes.size()); }
    int64_t readAt(int64_t offset, void* data, size_t size) override;
    bool writeAt(int64_t offset, const void* data, size_t size) override;
    bool writable() const override { return m_writable; }

    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    bool m_writable;
};

// Reads exactly `size` bytes; false on a short read or an error.
bool readExactAt(ByteSource& source, int64_t offset, void* data, size_t size);

}  // namespace klemora::avi
