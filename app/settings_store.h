#pragma once
// INI settings with the semantics of the classic private-profile functions:
// every read names its default, integers are decimal text, section and key
// names match without regard to case, a failing write fails silently.
// Only a file that is missing, empty or INI text serves as the settings file;
// any other (a video named by mistake, a folder, a device) is neither read
// nor written: reads give the defaults, writes are refused, the file stays
// as it is, and isUsable() tells the program so that it can stop.
#include <cstddef>
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
    // False when the file exists but is not a settings file (see above). A
    // file that merely cannot be read or written is usable: its reads give
    // the defaults and its writes fail silently.
    bool isUsable() const;

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

// Larger than any settings file; a bigger file is something else.
inline constexpr size_t kMaxSettingsFileBytes = size_t{1} << 20;

// The process-wide store, fixed once at start-up.
SettingsStore& settings();

// Parses a decimal integer the way the profile functions do: leading blanks,
// an optional sign, digits; trailing text is ignored. False when no digit.
bool parseLeadingInt(std::string_view text, int& value);

}  // namespace klemora::app
