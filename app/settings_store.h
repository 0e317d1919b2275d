#pragma once
// INI settings with the semantics of the classic private-profile functions:
// every read names its default, integers are decimal text, section and key
// names match without regard to case, a failing write fails silently.
#include <string>
#include <string_view>

namespace klemora::app {

inline constexpr std::string_view kSettingsSection = "Data";

class SettingsStore {
public:
    SettingsStore() = default;
    explicit SettingsStore(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string readText(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // False when the file could not be written; callers may ignore it, as the
    // platform functions they replace were ignored.
    bool writeInt(std::string_view section, std::string_view key, int value) const;
    bool writeText(std::string_view section, std::string_view key, std::string_view value) const;

    // The "Data" section, which holds every key of the program.
    int readInt(std::string_view key, int defaultValue) const { return readInt(kSettingsSection, key, defaultValue); }
    std::string readText(std::string_view key, std::string_view defaultValue) const {
        return readText(kSettingsSection, key, defaultValue);
    }
    bool writeInt(std::string_view key, int value) const { return writeInt(kSettingsSection, key, value); }
    bool writeText(std::string_view key, std::string_view value) const {
        return writeText(kSettingsSection, key, value);
    }

private:
    std::string m_path;
};

// The process-wide store, fixed once at start-up.
SettingsStore& settings();

// Parses a decimal integer the way the profile functions do: leading blanks,
// an optional sign, digits; trailing text is ignored. False when no digit.
bool parseLeadingInt(std::string_view text, int& value);

}  // namespace klemora::app
