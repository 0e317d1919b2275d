#pragma once
// Small file helpers shared by every subsystem that writes user data.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/unique_fd.h"

namespace klemora::app {

std::optional<std::string> readWholeFile(const std::string& path);
// Reads from `fd` to the end, retrying EINTR, but stops once more than
// `limitBytes` are in (so a result longer than the limit means "too large").
std::optional<std::string> readToEnd(int fd, size_t limitBytes = SIZE_MAX);

// Writes all bytes, retrying short writes and EINTR; false on any error
// (errno tells which, e.g. ENOSPC).
bool writeAll(int fd, const void* data, size_t size);
bool preadAll(int fd, void* data, size_t size, int64_t offset);
bool pwriteAll(int fd, const void* data, size_t size, int64_t offset);

// Creates `path` as a new regular file, O_EXCL | O_NOFOLLOW with mode 0600:
// a name that exists in any form, a symlink planted by someone else included,
// is refused (EEXIST) and never followed. Invalid (errno set) on failure.
UniqueFd createExclusiveFile(const std::string& path);

// The mode a new file gets from open(..., 0666): 0666 & ~umask.
unsigned newFileMode();

// A file written beside its destination and renamed over it at commit, so a
// failure at any point leaves the old file as it was and no stray temporary.
// The temporary gets a fresh random name, is created once with
// createExclusiveFile (so in a shared folder nobody can plant a link at it or
// read a half-written file) and keeps that one descriptor until the rename:
// it is never opened again by name. Only on commit does it get its final mode,
// that of the file it replaces, else newFileMode().
class AtomicFileWriter {
public:
    // The temporary is named prefix + six random characters + suffix, beside
    // the destination; by default ".<destination name>.XXXXXX".
    explicit AtomicFileWriter(std::string destination);
    AtomicFileWriter(std::string destination, std::string prefix, std::string suffix);
    ~AtomicFileWriter();  // removes the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool open();  // creates the temporary file in the destination's folder
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // Final mode, fsync, rename over the destination (the descriptor still
    // open), close, fsync the folder. Refused (EEXIST) when the temporary name
    // no longer holds our file, so nothing planted there is moved into place.
    bool commit();
    void abandon();

    // Open from open() until commit() or abandon(), for writers that write
    // through the descriptor themselves; they must not close it.
    int fd() const { return m_fd.get(); }
    const std::string& destination() const { return m_destination; }
    const std::string& temporaryPath() const { return m_tempPath; }
    int lastError() const { return m_error; }

private:
    bool fail(int error);
    bool temporaryIsOurs() const;
    bool finishAndRename();

    std::string m_destination;
    std::string m_prefix;
    std::string m_suffix;
    std::string m_tempPath;
    UniqueFd m_fd;
    int m_error = 0;
    bool m_failed = false;
};

bool replaceFileAtomically(const std::string& destination, std::string_view content);

// Random letters between the prefix and the suffix of a temporary's name.
inline constexpr size_t kTemporaryLetters = 6;

// Removes from `folder` the temporaries (prefix + letters + suffix) that
// writers of this user left when they were killed: those no running writer
// holds. Nothing else is touched. The count removed.
int removeAbandonedTemporaries(const std::string& folder, std::string_view prefix, std::string_view suffix);

std::string directoryOf(std::string_view path);  // "" for a bare name
// The name after the last "/" or "\" (Windows paths in old project files).
std::string fileNameOf(std::string_view path);
bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);

}  // namespace klemora::app
