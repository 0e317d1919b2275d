#include "app/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/unique_fd.h"

namespace klemora::app {

std::optional<std::string> readWholeFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return std::nullopt;
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
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

AtomicFileWriter::AtomicFileWriter(std::string destination) : m_destination(std::move(destination)) {}

AtomicFileWriter::~AtomicFileWriter() { abandon(); }

bool AtomicFileWriter::open() {
    std::string folder = directoryOf(m_destination);
    std::string pattern = (folder.empty() ? std::string() : folder + "/") + "." + fileNameOf(m_destination) + ".XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0) {
        m_error = errno;
        return false;
    }
    m_tempPath = pattern;
    // mkostemp makes the file 0600; give it the usual permissions for user data.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(m_fd, 0666 & ~mask);
    return true;
}

bool AtomicFileWriter::write(const void* data, size_t size) {
    if (m_fd < 0 || m_failed) return false;
    if (!writeAll(m_fd, data, size)) {
        m_error = errno;
        m_failed = true;
        return false;
    }
    return true;
}

bool AtomicFileWriter::commit() {
    if (m_fd < 0 || m_failed) return false;
    bool ok = ::fsync(m_fd) == 0;
    if (!ok) m_error = errno;
    if (::close(m_fd) != 0 && ok) {
        m_error = errno;
        ok = false;
    }
    m_fd = -1;
    if (ok && ::rename(m_tempPath.c_str(), m_destination.c_str()) != 0) {
        m_error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
        return false;
    }
    m_tempPath.clear();
    std::string folder = directoryOf(m_destination);
    UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
    return true;
}

void AtomicFileWriter::abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
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

}  // namespace klemora::app
