#include "output/output_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/file_io.h"
#include "app/unique_fd.h"

namespace klemora::output {

TemporaryOutput::~TemporaryOutput() { remove(); }

bool TemporaryOutput::create() {
    std::string folder = app::directoryOf(m_destination);
    std::string pattern = (folder.empty() ? std::string() : folder + "/") + "new_avi-XXXXXX.tmp";
    int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    // Only the name is kept: the writer creates the file afresh. Reopening
    // the reserved file with O_TRUNC would make ext4 flush all its data on
    // close (its guard for files replaced by truncation), costing the whole
    // write once more in waiting.
    ::close(fd);
    ::unlink(pattern.c_str());
    m_path = pattern;
    return true;
}

bool TemporaryOutput::commit() {
    if (m_path.empty()) return false;
    if (::rename(m_path.c_str(), m_destination.c_str()) != 0) {
        m_error = errno;
        remove();
        return false;
    }
    m_path.clear();
    std::string folder = app::directoryOf(m_destination);
    app::UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
    return true;
}

void TemporaryOutput::remove() {
    if (m_path.empty()) return;
    ::unlink(m_path.c_str());
    m_path.clear();
}

}  // namespace klemora::output
