#include "output/run_sources.h"

#include <sys/stat.h>

#include <algorithm>

namespace klemora::output {

bool fileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) return false;
    identity = {status.st_dev, status.st_ino};
    return true;
}

void RunSources::add(const std::string& path) {
    FileIdentity identity;
    if (!fileIdentity(path, identity)) return;
    if (std::find(m_files.begin(), m_files.end(), identity) == m_files.end()) m_files.push_back(identity);
}

bool RunSources::contains(const std::string& path) const {
    FileIdentity identity;
    if (m_files.empty() || !fileIdentity(path, identity)) return false;
    return std::find(m_files.begin(), m_files.end(), identity) != m_files.end();
}

}  // namespace klemora::output
