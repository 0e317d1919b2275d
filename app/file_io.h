#pragma once
// Small file helpers shared by every subsystem that writes user data.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace klemora::app {

std::optional<std::string> readWholeFile(const std::string& path);

// Writes all bytes, retrying short writes and EINTR; false on any error
// (errno tells which, e.g. ENOSPC).
bool writeAll(int fd, const void* data, size_t size);
bool preadAll(int fd, void* data, size_t size, int64_t offset);
bool pwriteAll(int fd, const void* data, size_t size, int64_t offset);

// A file written beside its destination and renamed over it at commit, so a
// failure at any point leaves the old file as it was and no stray temporary.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string destination);
    ~AtomicFileWriter();  // removes the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool open();  // creates the temporary file in the destination's folder
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    bool commit();  // flush, fsync, rename over the destination, fsync the folder
    void abandon();

    int fd() const { return m_fd; }
    const std::string& temporaryPath() const { return m_tempPath; }
    int lastError() const { return m_error; }

private:
    std::string m_destination;
    std::string m_tempPath;
    int m_fd = -1;
    int m_error = 0;
    bool m_failed = false;
};

bool replaceFileAtomically(const std::string& destination, std::string_view content);

std::string directoryOf(std::string_view path);  // "" for a bare name
// The name after the last "/" or "\" (Windows paths in old project files).
std::string fileNameOf(std::string_view path);
bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);

}  // namespace klemora::app
