#pragma once
// What the file-safety tests look at: permission bits, links, and which of
// the process's descriptors are open on a name; and a umask for a scope.
#include <sys/types.h>

#include <string>

namespace klemora::test {

// Permission bits of the file (not following a link); -1 when missing.
int fileMode(const std::string& path);
bool isSymlink(const std::string& path);
// How many descriptors of this process refer to `path` (by /proc/self/fd).
int descriptorsOpenOn(const std::string& path);

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_old;
};

}  // namespace klemora::test
