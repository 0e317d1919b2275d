#pragma once
// The source files a write run reads, known by their device and inode so
// that another name for one of them (a link, "./", another spelling of the
// folder) is still recognised. A run never writes over any of them: a
// destination that replaced a source would destroy frames that later scenes
// still read, and a later "delete the sources" would delete the new file.
#include <sys/types.h>

#include <string>
#include <vector>

namespace klemora::output {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// False when the path does not name an existing file.
bool fileIdentity(const std::string& path, FileIdentity& identity);

class RunSources {
public:
    // Files that do not exist (yet) are not recorded.
    void add(const std::string& path);
    // True when `path` names one of the recorded files.
    bool contains(const std::string& path) const;
    bool empty() const { return m_files.empty(); }

private:
    std::vector<FileIdentity> m_files;
};

}  // namespace klemora::output
