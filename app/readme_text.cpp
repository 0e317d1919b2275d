#include "app/readme_text.h"

#include <cstdio>
#include <memory>

#include "app/text_format.h"

namespace klemora::app {
namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

ReadmeFiles readmeFilesFor(std::string_view languageCode) {
    std::string code = asciiUpper(languageCode);
    if (code == "DE") return {"de_liesmich.txt", "de_lizenz.txt", true};
    if (code == "FR") return {"fr_alire.txt", "fr_licensz.txt", false};
    if (code == "HU") return {"hu_olvassel.txt", "hu_licensz.txt", false};
    if (code == "NL") return {"nl_leesmij.txt", "nl_licentie.txt", false};
    return {"us_readme.txt", "us_license.txt", false};
}

std::string fileNotFoundText(const std::string& fileName, bool german) {
    return german ? "Datei '" + fileName + "' nicht im Programmverzeichnis gefunden!"
                  : "File '" + fileName + "' not found in program directory!";
}

// Pieces as fgets gives them with a buffer of 255: at most 254 characters,
// ending at a line feed when one comes first.
std::string readmeFieldText(const std::string& folder, const std::string& fileName, bool german) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += fileName;
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) return fileNotFoundText(fileName, german);
    std::string text;
    char piece[kReadmePieceLength + 1];
    while (std::fgets(piece, sizeof piece, file.get())) {
        std::string_view part(piece);
        if (!part.empty() && part.back() == '\n') part.remove_suffix(1);
        if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
        text.append(part);
        text += "\r\n";
    }
    return text;
}

}  // namespace klemora::app
