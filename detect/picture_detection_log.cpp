#include "detect/picture_detection_log.h"

#include <cstdarg>

#include "app/paths.h"

namespace klemora::detect {

std::string PictureDetectionLog::path() {
    std::string folder = app::documentsFolder();
    return folder.empty() ? std::string(kDetectionLogName) : folder + "/" + kDetectionLogName;
}

bool PictureDetectionLog::open(const std::string& fileName) {
    m_file.reset(std::fopen(path().c_str(), "w"));
    if (!m_file) return false;
    write("Searching for Scenes in: %s\n\n", fileName.c_str());
    return true;
}

void PictureDetectionLog::close() { m_file.reset(); }

void PictureDetectionLog::write(const char* format, ...) {
    if (!m_file) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(m_file.get(), format, args);
    va_end(args);
}

}  // namespace klemora::detect
