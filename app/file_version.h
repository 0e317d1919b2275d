#pragma once
#include <string>

namespace klemora::app {

inline constexpr const char* kLanguageFileName = "english.lang";
// The program's version; the language file must carry the same.
inline constexpr const char* kProgramVersion = "3.0.6.0";
inline constexpr const char* kLanguageFileVersion = kProgramVersion;

// Reads the version a language file carries ("VERSION<TAB>3.0.6.0"):
// 1 with the text, -1 when the file cannot be read, -2 when it names no
// version or the version is not four dot-separated 16-bit numbers.
int ReadFileVersion(const std::string& path, std::string& version);

}  // namespace klemora::app
