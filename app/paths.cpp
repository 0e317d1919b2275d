#include "app/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/file_io.h"
#include "app/file_version.h"

namespace klemora::app {
namespace {

std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string homeFolder() { return envOr("HOME", "/"); }

// Reads XDG_DOCUMENTS_DIR="$HOME/Dokumente" from user-dirs.dirs.
std::string userDirsDocuments() {
    std::string config = envOr("XDG_CONFIG_HOME", homeFolder() + "/.config");
    auto content = readWholeFile(config + "/user-dirs.dirs");
    if (!content) return {};
    const std::string key = "XDG_DOCUMENTS_DIR=";
    size_t pos = content->find(key);
    if (pos == std::string::npos || (pos > 0 && (*content)[pos - 1] != '\n')) return {};
    size_t end = content->find('\n', pos);
    std::string value = content->substr(pos + key.size(), end == std::string::npos ? end : end - pos - key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
    return value;
}

}  // namespace

ProgramLayout programLayoutFor(const std::string& executableFolder) {
    const std::string beside = executableFolder;
    if (fileExists(beside + "/" + kLanguageFileName) || isDirectory(beside + "/HtmlDoku"))
        return {executableFolder, beside, true};
    const std::string shared =
        (std::filesystem::path(executableFolder).parent_path() / "share/klemora").lexically_normal().string();
    if (isDirectory(shared)) return {executableFolder, shared, false};
    return {executableFolder, beside, false};
}

std::string executableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return exe.parent_path().string();
}

std::string programFolder() {
    // The executable does not move while it runs: look once.
    static const std::string folder = programLayoutFor(executableFolder()).programFolder;
    return folder;
}

std::string documentsFolder() {
    std::string folder = envOr("XDG_DOCUMENTS_DIR", "");
    if (folder.empty()) folder = userDirsDocuments();
    if (folder.empty()) folder = homeFolder() + "/Documents";
    return isDirectory(folder) ? folder : std::string();
}

std::string settingsFilePathFor(const ProgramLayout& layout, const std::string& explicitPath) {
    if (!explicitPath.empty()) return explicitPath;
    std::string fromEnv = envOr("KLEMORA_INI", "");
    if (!fromEnv.empty()) return fromEnv;
    if (layout.filesBesideExecutable) {
        std::string portable = layout.programFolder + "/Klemora.ini";
        if (fileExists(portable) || ::access(layout.programFolder.c_str(), W_OK) == 0) return portable;
    }
    std::string config = envOr("XDG_CONFIG_HOME", homeFolder() + "/.config") + "/klemora";
    std::error_code ec;
    std::filesystem::create_directories(config, ec);
    return config + "/Klemora.ini";
}

std::string settingsFilePath(const std::string& explicitPath) {
    return settingsFilePathFor(programLayoutFor(executableFolder()), explicitPath);
}

}  // namespace klemora::app
