#include "avi/riff_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "app/file_io.h"
#include "avi/avi_format.h"

namespace klemora::avi {

std::string_view writerResultName(int code) {
    switch (code) {
        case 1: return "Ok";
        case -1: return "CannotCreate";
        case -2: return "WriteFailed";
        case -3: return "DiskFull";
        case -4: return "SizeOverflow";
        case -5: return "BadState";
        case -6: return "BadStream";
        case -7: return "IndexFull";
        case -8: return "BadOptions";
        case -9: return "OutOfMemory";
        default: return "Unknown";
    }
}

ChunkScope::ChunkScope(ChunkScope&& other) noexcept
    : m_writer(std::exchange(other.m_writer, nullptr)), m_headerOffset(other.m_headerOffset) {}

ChunkScope& ChunkScope::operator=(ChunkScope&& other) noexcept {
    if (this != &other) {
        release();
        m_writer = std::exchange(other.m_writer, nullptr);
        m_headerOffset = other.m_headerOffset;
    }
    return *this;
}

ChunkScope::~ChunkScope() { release(); }

void ChunkScope::release() {
    if (m_writer) std::exchange(m_writer, nullptr)->dropScope(m_headerOffset);
}

int ChunkScope::finish() {
    if (!m_writer) return static_cast<int>(WriterResult::BadState);
    return std::exchange(m_writer, nullptr)->finishScope(m_headerOffset);
}

RiffWriter::RiffWriter() = default;

RiffWriter::~RiffWriter() = default;

int RiffWriter::fail(WriterResult code, int error) {
    if (m_result == 1) {
        m_result = static_cast<int>(code);
        m_errno = error;
    }
    return m_result;
}

int RiffWriter::failFromErrno(int error) {
    bool full = error == ENOSPC || error == EDQUOT;
    return fail(full ? WriterResult::DiskFull : WriterResult::WriteFailed, error);
}

int RiffWriter::allocateBuffer(size_t bufferBytes) {
    try {
        const size_t size = std::max<size_t>(bufferBytes, 16);
        m_storage = std::make_unique_for_overwrite<uint8_t[]>(size);
        m_buffer = {m_storage.get(), size};
    } catch (const std::bad_alloc&) {
        return fail(WriterResult::OutOfMemory, ENOMEM);
    }
    return m_result;
}

int RiffWriter::create(const std::string& path, size_t bufferBytes) {
    if (isOpen()) return fail(WriterResult::BadState);
    if (allocateBuffer(bufferBytes) != 1) return m_result;
    m_ownedFd.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!m_ownedFd) return fail(WriterResult::CannotCreate, errno);
    m_fd = m_ownedFd.get();
    return m_result;
}

int RiffWriter::attach(int fd, size_t bufferBytes) {
    if (isOpen() || fd < 0) return fail(WriterResult::BadState);
    if (allocateBuffer(bufferBytes) != 1) return m_result;
    m_fd = fd;
    return m_result;
}

int RiffWriter::writeOut(const uint8_t* data, size_t size) {
    if (size == 0) return m_result;
    if (!app::pwriteAll(m_fd, data, size, m_flushed)) return failFromErrno(errno);
    m_flushed += static_cast<int64_t>(size);
    return m_result;
}

int RiffWriter::flush() {
    if (m_result != 1) return m_result;
    if (!isOpen()) return fail(WriterResult::BadState);
    // m_flushed moves with the write, so the buffer is emptied first.
    size_t used = std::exchange(m_used, 0);
    if (writeOut(m_buffer.data(), used) != 1) return m_result;
    return makeCopy();
}

// The pending run, after the buffer has gone out; the buffer lends itself
// to the reads and writes when the kernel will not copy.
int RiffWriter::makeCopy() {
    PendingCopy copy = std::exchange(m_copy, {});
    if (copy.size == 0) return m_result;
    if (int error = m_copier.copy(copy.fd, copy.offset, m_fd, m_flushed, copy.size, m_buffer); error != 0)
        return failFromErrno(error);
    m_flushed += static_cast<int64_t>(copy.size);
    return m_result;
}

int RiffWriter::appendCopy(int fd, int64_t offset, uint64_t size) {
    // Long enough to cost few calls, short enough that progress and Stop
    // see the file grow.
    constexpr uint64_t kLongestRun = uint64_t{32} << 20;
    if (m_result != 1) return m_result;
    if (!isOpen() || fd < 0 || offset < 0) return fail(WriterResult::BadState);
    if (size == 0) return m_result;
    bool continues = m_copy.size > 0 && m_copy.fd == fd && m_copy.offset + static_cast<int64_t>(m_copy.size) == offset;
    if (continues && m_copy.size + size <= kLongestRun) {
        m_copy.size += size;
        return m_result;
    }
    if (m_copy.size > 0 && flush() != 1) return m_result;
    m_copy = {fd, offset, size};
    return m_result;
}

int RiffWriter::append(std::span<const uint8_t> bytes) {
    if (m_result != 1) return m_result;
    if (!isOpen()) return fail(WriterResult::BadState);
    if (m_copy.size > 0 && flush() != 1) return m_result;
    if (bytes.size() >= m_buffer.size()) {
        // Large blocks go straight to the file instead of through the buffer.
        if (flush() != 1) return m_result;
        return writeOut(bytes.data(), bytes.size());
    }
    if (m_used + bytes.size() > m_buffer.size() && flush() != 1) return m_result;
    std::memcpy(m_buffer.data() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
    return m_result;
}

int RiffWriter::appendLe16(uint16_t value) {
    uint8_t bytes[2];
    writeLe16(bytes, value);
    return append(bytes);
}

int RiffWriter::appendLe32(uint32_t value) {
    uint8_t bytes[4];
    writeLe32(bytes, value);
    return append(bytes);
}

int RiffWriter::appendLe64(uint64_t value) {
    uint8_t bytes[8];
    writeLe64(bytes, value);
    return append(bytes);
}

int RiffWriter::appendZeros(size_t count) {
    static constexpr uint8_t kZeros[4096] = {};
    while (count > 0 && m_result == 1) {
        size_t part = std::min(count, sizeof kZeros);
        append({kZeros, part});
        count -= part;
    }
    return m_result;
}

int RiffWriter::patch(int64_t offset, std::span<const uint8_t> bytes) {
    if (m_result != 1) return m_result;
    int64_t size = static_cast<int64_t>(bytes.size());
    if (!isOpen() || offset < 0 || offset + size > position()) return fail(WriterResult::BadState);
    if (m_copy.size > 0 && flush() != 1) return m_result;
    // The part still in the buffer is changed there; the rest is on disk already.
    int64_t onDisk = std::clamp<int64_t>(m_flushed - offset, 0, size);
    if (onDisk > 0 && !app::pwriteAll(m_fd, bytes.data(), static_cast<size_t>(onDisk), offset))
        return failFromErrno(errno);
    if (onDisk < size)
        std::memcpy(m_buffer.data() + (offset + onDisk - m_flushed), bytes.data() + onDisk,
                    static_cast<size_t>(size - onDisk));
    return m_result;
}

int RiffWriter::patchLe32(int64_t offset, uint32_t value) {
    uint8_t bytes[4];
    writeLe32(bytes, value);
    return patch(offset, bytes);
}

ChunkScope RiffWriter::openChunk(uint32_t fourcc) {
    int64_t header = position();
    appendLe32(fourcc);
    appendLe32(0);  // patched by finish()
    if (m_result != 1) return {};
    m_scopes.push_back(header);
    return ChunkScope(this, header);
}

ChunkScope RiffWriter::openList(uint32_t listFourcc, uint32_t type) {
    ChunkScope scope = openChunk(listFourcc);
    appendLe32(type);
    return scope;
}

int RiffWriter::writeChunk(uint32_t fourcc, std::span<const uint8_t> data) {
    if (data.size() > UINT32_MAX) return fail(WriterResult::SizeOverflow);
    appendLe32(fourcc);
    appendLe32(static_cast<uint32_t>(data.size()));
    append(data);
    if (data.size() % 2 != 0) appendZeros(1);
    return m_result;
}

int RiffWriter::finishScope(int64_t headerOffset) {
    if (m_scopes.empty() || m_scopes.back() != headerOffset) {
        dropScope(headerOffset);
        return fail(WriterResult::BadState);
    }
    m_scopes.pop_back();
    if (m_result != 1) return m_result;
    int64_t size = position() - (headerOffset + 8);
    if (size > UINT32_MAX) return fail(WriterResult::SizeOverflow);
    if (size % 2 != 0) appendZeros(1);  // the pad byte is not counted in the size
    return patchLe32(headerOffset + 4, static_cast<uint32_t>(size));
}

void RiffWriter::dropScope(int64_t headerOffset) {
    auto it = std::find(m_scopes.begin(), m_scopes.end(), headerOffset);
    if (it == m_scopes.end()) return;
    m_scopes.erase(it);
    fail(WriterResult::BadState);
}

int RiffWriter::sync() {
    if (flush() != 1) return m_result;
    if (::fsync(m_fd) != 0) return failFromErrno(errno);
    return m_result;
}

int RiffWriter::close() {
    if (!isOpen()) return m_result == 1 ? fail(WriterResult::BadState) : m_result;
    flush();
    m_fd = -1;
    // close() may report a deferred write error (NFS, quota); it counts.
    if (m_ownedFd && ::close(m_ownedFd.release()) != 0 && m_result == 1) failFromErrno(errno);
    m_buffer = {};
    m_storage.reset();
    return m_result;
}

}  // namespace klemora::avi
