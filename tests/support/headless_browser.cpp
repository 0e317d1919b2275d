#include "tests/support/headless_browser.h"

#include <cstdlib>
#include <regex>

#include "tests/support/temp_dir.h"

namespace klemora::test {

bool haveChromium() { return std::system("command -v chromium >/dev/null 2>&1") == 0; }

BrowserVisit visitInHeadlessChromium(const std::string& page, const std::string& png,
                                     const std::string& profileFolder) {
    // The file loader's verbose log names every file the page asks for,
    // whether or not it exists.
    std::string log = png + ".log";
    std::string command =
        "timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync --user-data-dir='" +
        profileFolder + "' --enable-logging=stderr --vmodule=file_url_loader_factory=1 --screenshot='" + png +
        "' --window-size=1280,900 'file://" + page + "' >'" + log + "' 2>&1 </dev/null";
    BrowserVisit visit;
    visit.ran = std::system(command.c_str()) == 0;
    visit.log = readTextFile(log);
    std::regex loaded("FileURLLoader::Start: file://(\\S+)");
    for (std::sregex_iterator it(visit.log.begin(), visit.log.end(), loaded), end; it != end; ++it)
        visit.files.push_back(decodePercentEscapes((*it)[1]));
    return visit;
}

std::string decodePercentEscapes(const std::string& link) {
    std::string path;
    for (size_t i = 0; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size()) {
            path += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += link[i];
        }
    }
    return path;
}

}  // namespace klemora::test
