#pragma once
// Buffered RIFF output. Bytes are appended to a buffer of a few MiB and go to
// the file in large writes; sizes and counts known only later are patched at
// kept 64-bit offsets (in the buffer while they are still there, else with
// pwrite). Bytes that are already in another file can be appended as a
// copy from it instead (appendCopy): runs of such copies that follow each
// other in the source are made as one, by the kernel where it is willing,
// when the next bytes of our own are appended or at the next flush. Every
// chunk and list is bracketed by a ChunkScope that pads it to an even
// length and patches its size. The first failure sticks: every later
// call returns the same code, so a caller may check only at the end.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/unique_fd.h"
#include "avi/range_copy.h"

namespace klemora::avi {

// Result codes of the RIFF and AVI writers.
enum class WriterResult : int {
    Ok = 1,
    CannotCreate = -1,   // the file cannot be created
    WriteFailed = -2,    // a write, flush, fsync or close failed (lastErrno tells why)
    DiskFull = -3,       // ENOSPC or EDQUOT
    SizeOverflow = -4,   // a size does not fit its 32-bit field
    BadState = -5,       // call out of order (not open, finished, chunks not nested)
    BadStream = -6,      // stream number or stream description not usable
    IndexFull = -7,      // more RIFF segments than the super index has room for
    BadOptions = -8,     // writer options out of range
    OutOfMemory = -9,
};
// "DiskFull", for logs and --json; "Unknown" for any other number.
std::string_view writerResultName(int code);

class RiffWriter;

// One open chunk or list. finish() pads the data to an even length, patches
// the size and reports the writer's state. Scopes close innermost first.
// Destroyed unfinished (an early return), it marks the writer failed, so a
// half-built file can never be taken for a complete one.
class ChunkScope {
public:
    ChunkScope() = default;
    ChunkScope(ChunkScope&& other) noexcept;
    ChunkScope& operator=(ChunkScope&& other) noexcept;
    ChunkScope(const ChunkScope&) = delete;
    ChunkScope& operator=(const ChunkScope&) = delete;
    ~ChunkScope();

    int finish();
    bool active() const { return m_writer != nullptr; }
    int64_t headerOffset() const { return m_headerOffset; }  // the FOURCC
    int64_t dataOffset() const { return m_headerOffset + 8; }  // for a list: its type

private:
    friend class RiffWriter;
    ChunkScope(RiffWriter* writer, int64_t headerOffset) : m_writer(writer), m_headerOffset(headerOffset) {}
    void release();

    RiffWriter* m_writer = nullptr;
    int64_t m_headerOffset = -1;
};

class RiffWriter {
public:
    static constexpr size_t kDefaultBufferBytes = size_t{4} << 20;

    RiffWriter();
    ~RiffWriter();  // closes the file without flushing; never reports
    RiffWriter(const RiffWriter&) = delete;
    RiffWriter& operator=(const RiffWriter&) = delete;

    // Creates (or truncates) the file, with a buffer of `bufferBytes`.
    // CannotCreate, OutOfMemory, BadState (already open) or 1.
    int create(const std::string& path, size_t bufferBytes = kDefaultBufferBytes);
    // Writes into `fd`, an empty file the caller owns (a temporary it will
    // rename); close() then flushes and lets go of it without closing it.
    // OutOfMemory, BadState (already open, no descriptor) or 1.
    int attach(int fd, size_t bufferBytes = kDefaultBufferBytes);
    bool isOpen() const { return m_fd >= 0; }

    ChunkScope openChunk(uint32_t fourcc);
    ChunkScope openList(uint32_t listFourcc, uint32_t type);  // "RIFF" or "LIST" and its type
    // A complete chunk in one call: header, data, pad byte.
    int writeChunk(uint32_t fourcc, std::span<const uint8_t> data);

    int append(std::span<const uint8_t> bytes);
    int appendLe16(uint16_t value);
    int appendLe32(uint32_t value);
    int appendLe64(uint64_t value);
    int appendZeros(size_t count);
    // `size` bytes of the open file `fd` from `offset`, copied when the run
    // they join is made; `fd` must stay open until the next flush.
    int appendCopy(int fd, int64_t offset, uint64_t size);
    // How copies are made: the kernel calls (systemCopyRange() and
    // systemSendFile() by default), nullptr for reads and writes only.
    void setCopyCalls(CopyRangeCall call, SendFileCall send) { m_copier = RangeCopier(call, send); }

    // Overwrites bytes already appended (never past the current end).
    int patch(int64_t offset, std::span<const uint8_t> bytes);
    int patchLe32(int64_t offset, uint32_t value);

    int flush();
    int sync();   // flush and fsync
    int close();  // flush and close (or let go); the first failure on the way wins

    int64_t position() const { return m_flushed + static_cast<int64_t>(m_used) + static_cast<int64_t>(m_copy.size); }
    int result() const { return m_result; }
    int lastErrno() const { return m_errno; }
    size_t openScopes() const { return m_scopes.size(); }

    // Records a failure (the first one sticks) and returns the sticky code.
    int fail(WriterResult code, int error = 0);

private:
    friend class ChunkScope;
    int finishScope(int64_t headerOffset);
    void dropScope(int64_t headerOffset);
    int writeOut(const uint8_t* data, size_t size);
    int failFromErrno(int error);
    int allocateBuffer(size_t bufferBytes);
    int makeCopy();

    // Source bytes that follow the buffer's bytes in the file, not copied yet.
    struct PendingCopy {
        int fd = -1;
        int64_t offset = 0;
        uint64_t size = 0;
    };

    app::UniqueFd m_ownedFd;  // what create() opened; an attached descriptor is not ours
    int m_fd = -1;
    // Not zeroed: a copy of the source touches only the pages of its
    // headers, and each page first touched costs a fault.
    std::unique_ptr<uint8_t[]> m_storage;
    std::span<uint8_t> m_buffer;
    size_t m_used = 0;
    int64_t m_flushed = 0;          // file offset of m_buffer[0]
    PendingCopy m_copy;
    RangeCopier m_copier{systemCopyRange(), systemSendFile()};
    std::vector<int64_t> m_scopes;  // header offsets of the open chunks, innermost last
    int m_result = 1;
    int m_errno = 0;
};

}  // namespace klemora::avi
