#pragma once
// Opens a local page in headless Chromium and tells which files it loaded, so
// that a test can check that every picture, style sheet and frame is there.
#include <string>
#include <vector>

namespace klemora::test {

bool haveChromium();

struct BrowserVisit {
    bool ran = false;                // chromium started and ended in time
    std::vector<std::string> files;  // every file:// load, %XX decoded, in order
    std::string log;                 // chromium's own output, for failure messages
};

// Opens the page (an absolute path) in a window of 1280x900 and saves its
// screenshot to `png`; `profileFolder` holds chromium's user data.
BrowserVisit visitInHeadlessChromium(const std::string& page, const std::string& png,
                                     const std::string& profileFolder);

// A link with its %XX escapes decoded.
std::string decodePercentEscapes(const std::string& link);

}  // namespace klemora::test
