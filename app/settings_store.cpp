#include "app/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>

#include "app/file_io.h"
#include "app/ini_text.h"
#include "app/unique_fd.h"

namespace klemora::app {
namespace {

enum class SettingsText { Missing, Unreadable, NotSettings, Text };

// Reads the settings file without ever blocking on or swallowing something
// that is not one: only a regular file of settings size is read at all.
SettingsText loadSettingsText(const std::string& path, std::string& text) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? SettingsText::Missing : SettingsText::Unreadable;
    if (!S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > kMaxSettingsFileBytes)
        return SettingsText::NotSettings;
    // O_NONBLOCK: should the name have become a FIFO since, open does not wait.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) return errno == ENOENT ? SettingsText::Missing : SettingsText::Unreadable;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return SettingsText::NotSettings;
    std::optional<std::string> content = readToEnd(fd.get(), kMaxSettingsFileBytes);
    if (!content) return SettingsText::Unreadable;
    text = std::move(*content);
    if (text.size() > kMaxSettingsFileBytes || !isIniText(text)) return SettingsText::NotSettings;
    return SettingsText::Text;
}

// Opens the file and takes its exclusive lock; retries when another writer
// renamed a new file over it between our open and our lock.
UniqueFd lockCurrentFile(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
        if (!fd) return fd;
        if (::flock(fd.get(), LOCK_EX) != 0) return UniqueFd();
        struct stat held, current;
        if (::fstat(fd.get(), &held) == 0 && ::stat(path.c_str(), &current) == 0 && held.st_ino == current.st_ino &&
            held.st_dev == current.st_dev)
            return fd;
    }
    return UniqueFd();
}

}  // namespace

SettingsStore& settings() {
    static SettingsStore store;
    return store;
}

bool parseLeadingInt(std::string_view text, int& value) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    long long n = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    if (n > INT_MAX) n = INT_MAX;
    value = static_cast<int>(n);
    return true;
}

int SettingsStore::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    std::string text = readText(section, key, "");
    int value = defaultValue;
    return parseLeadingInt(text, value) ? value : defaultValue;
}

bool SettingsStore::isUsable() const {
    std::string text;
    return m_path.empty() || loadSettingsText(m_path, text) != SettingsText::NotSettings;
}

std::string SettingsStore::readText(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    if (m_path.empty()) return std::string(defaultValue);
    std::string content;
    if (loadSettingsText(m_path, content) != SettingsText::Text) return std::string(defaultValue);
    auto value = findIniValue(content, section, key);
    return value ? *value : std::string(defaultValue);
}

bool SettingsStore::writeInt(std::string_view section, std::string_view key, int value) const {
    return writeText(section, key, std::to_string(value));
}

bool SettingsStore::writeText(std::string_view section, std::string_view key, std::string_view value) const {
    if (m_path.empty()) return false;
    // Not even opened for writing unless it is (or will become) a settings file.
    std::string content;
    SettingsText before = loadSettingsText(m_path, content);
    if (before != SettingsText::Text && before != SettingsText::Missing) return false;
    // The lock spans read, edit and replace, so concurrent writers never drop
    // each other's keys; readers always see a complete file thanks to rename.
    UniqueFd lock = lockCurrentFile(m_path);
    if (!lock) return false;
    if (loadSettingsText(m_path, content) != SettingsText::Text) return false;
    return replaceFileAtomically(m_path, setIniValue(content, section, key, value));
}

}  // namespace klemora::app
