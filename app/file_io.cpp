#include "app/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>


namespace klemora::app {

std::optional<std::string> readWholeFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return std::nullopt;
    return readToEnd(fd.get());
}

std::optional<std::string> readToEnd(int fd, size_t limitBytes) {
    std::string content;
    char buffer[65536];
    while (content.size() <= limitBytes) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        content.append(buffer, static_cast<size_t>(n));
    }
    return content;
}

bool writeAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool preadAll(int fd, void* data, size_t size, int64_t offset) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        ssize_t n = ::pread(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

bool pwriteAll(int fd, const void* data, size_t size, int64_t offset) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::pwrite(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

UniqueFd createExclusiveFile(const std::string& path) {
    return UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

unsigned newFileMode() {
    // /proc tells the umask without changing it; umask() itself can only be
    // read by setting it, which another thread creating a file would see.
    if (auto status = readWholeFile("/proc/self/status")) {
        size_t at = status->find("\nUmask:");
        if (at != std::string::npos) return 0666 & ~static_cast<unsigned>(std::strtoul(status->c_str() + at + 7, nullptr, 8));
    }
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

namespace {

constexpr int kNameAttempts = 100;

std::string randomLetters(size_t count) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[16];
    if (::getrandom(bytes, count, 0) != static_cast<ssize_t>(count)) {
        std::random_device device;
        for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(device());
    }
    std::string letters(count, 'A');
    for (size_t i = 0; i < count; ++i) letters[i] = kAlphabet[bytes[i] % (sizeof kAlphabet - 1)];
    return letters;
}

// The mode the finished file takes over: that of the regular file it
// replaces (a symlink there is replaced, not followed), else a new file's.
unsigned finalModeFor(const std::string& destination) {
    struct stat st;
    if (::lstat(destination.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 0777;
    return newFileMode();
}

// "" is the working folder, as directoryOf gives it for a bare name.
UniqueFd openFolder(const std::string& folder) {
    return UniqueFd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

void syncFolderOf(const std::string& path) {
    UniqueFd dir = openFolder(directoryOf(path));
    if (dir) ::fsync(dir.get());
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string destination)
    : m_destination(std::move(destination)), m_prefix("." + fileNameOf(m_destination) + "."), m_suffix() {}

AtomicFileWriter::AtomicFileWriter(std::string destination, std::string prefix, std::string suffix)
    : m_destination(std::move(destination)), m_prefix(std::move(prefix)), m_suffix(std::move(suffix)) {}

AtomicFileWriter::~AtomicFileWriter() { abandon(); }

bool AtomicFileWriter::fail(int error) {
    m_error = error;
    m_failed = true;
    return false;
}

bool AtomicFileWriter::open() {
    if (m_fd) return fail(EBUSY);
    std::string folder = directoryOf(m_destination);
    std::string stem = (folder.empty() ? std::string() : folder + "/") + m_prefix;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = stem + randomLetters(kTemporaryLetters) + m_suffix;
        m_fd = createExclusiveFile(candidate);
        if (m_fd) {
            // Held for the temporary's life: tells removeAbandonedTemporaries
            // that a writer is still at work on it.
            ::flock(m_fd.get(), LOCK_EX | LOCK_NB);
            m_tempPath = std::move(candidate);
            m_failed = false;
            m_error = 0;
            return true;
        }
        if (errno != EEXIST) break;
    }
    return fail(errno);
}

bool AtomicFileWriter::write(const void* data, size_t size) {
    if (!m_fd || m_failed) return false;
    if (!writeAll(m_fd.get(), data, size)) return fail(errno);
    return true;
}

bool AtomicFileWriter::temporaryIsOurs() const {
    struct stat held, named;
    return m_fd && !m_tempPath.empty() && ::fstat(m_fd.get(), &held) == 0 && ::lstat(m_tempPath.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool AtomicFileWriter::finishAndRename() {
    // Best effort: FAT and exFAT sticks refuse modes they cannot store, and
    // the file is no less complete for it.
    ::fchmod(m_fd.get(), finalModeFor(m_destination));
    if (::fsync(m_fd.get()) != 0) return fail(errno);
    if (!temporaryIsOurs()) return fail(EEXIST);
    if (::rename(m_tempPath.c_str(), m_destination.c_str()) != 0) return fail(errno);
    return true;
}

bool AtomicFileWriter::commit() {
    if (!m_fd || m_failed || !finishAndRename()) {
        abandon();
        return false;
    }
    m_tempPath.clear();
    m_fd.reset();  // after fsync, close has nothing left to report
    syncFolderOf(m_destination);
    return true;
}

void AtomicFileWriter::abandon() {
    // Only our own file is removed: whatever else now holds the name stays.
    if (temporaryIsOurs()) ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
    m_fd.reset();
}

bool replaceFileAtomically(const std::string& destination, std::string_view content) {
    AtomicFileWriter writer(destination);
    return writer.open() && writer.write(content) && writer.commit();
}

std::string directoryOf(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string fileNameOf(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

bool isTemporaryName(std::string_view name, std::string_view prefix, std::string_view suffix) {
    return name.size() == prefix.size() + kTemporaryLetters + suffix.size() && name.starts_with(prefix) &&
           name.ends_with(suffix);
}

// A writer locks its temporary right after creating it; until then the file
// is empty and new.
constexpr time_t kCreationSeconds = 10;

// Ours, left by a writer that is gone: a regular file of this user that no
// one holds locked and that is not one being created this moment.
bool isAbandoned(int folder, const char* name) {
    UniqueFd fd(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return false;
    if (st.st_size == 0 && st.st_mtime > ::time(nullptr) - kCreationSeconds) return false;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
    struct stat named;
    return ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == st.st_ino &&
           named.st_dev == st.st_dev;
}

}  // namespace

int removeAbandonedTemporaries(const std::string& folder, std::string_view prefix, std::string_view suffix) {
    UniqueFd dirFd = openFolder(folder);
    if (!dirFd) return 0;
    DIR* dir = ::fdopendir(::dup(dirFd.get()));
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name, prefix, suffix) || !isAbandoned(dirFd.get(), entry->d_name)) continue;
        if (::unlinkat(dirFd.get(), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace klemora::app
