#include "tests/support/file_facts.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace klemora::test {

int fileMode(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

bool isSymlink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

int descriptorsOpenOn(const std::string& path) {
    std::error_code ec;
    std::filesystem::path wanted = std::filesystem::weakly_canonical(path, ec);
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        std::error_code linkError;
        std::filesystem::path target = std::filesystem::read_symlink(entry.path(), linkError);
        if (!linkError && target == wanted) ++count;
    }
    return count;
}

ScopedUmask::ScopedUmask(mode_t mask) : m_old(::umask(mask)) {}

ScopedUmask::~ScopedUmask() { ::umask(m_old); }

}  // namespace klemora::test
