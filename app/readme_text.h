#pragma once
// The texts of the information dialog: the readme and the licence file
// beside the program, chosen by the language code of "Lang", read into the
// dialog's text field in pieces of at most 254 characters, each ending with
// "\r\n".
#include <string>
#include <string_view>

namespace klemora::app {

struct ReadmeFiles {
    std::string readme;   // "de_liesmich.txt", "us_readme.txt", ...
    std::string license;  // "de_lizenz.txt", "us_license.txt", ...
    bool german = false;  // the "not found" text is German
};

// By "Lang" in any case: DE, FR, HU, NL; US and everything else → US.
ReadmeFiles readmeFilesFor(std::string_view languageCode);

// "Datei '%s' nicht im Programmverzeichnis gefunden!" or
// "File '%s' not found in program directory!".
std::string fileNotFoundText(const std::string& fileName, bool german);

inline constexpr size_t kReadmePieceLength = 254;

// The field's text for `folder` + `fileName`: the "not found" text when it
// cannot be opened, else its content in pieces (a longer line is split).
std::string readmeFieldText(const std::string& folder, const std::string& fileName, bool german);

}  // namespace klemora::app
