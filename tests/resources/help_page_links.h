#pragma once
// The link check of a folder of help pages: every href, src and url() of
// every page and style sheet names a file inside the folder (an #anchor an id
// of that file); nothing points to an absolute path or to the web.
#include <string>
#include <vector>

namespace klemora::test {

// Every *.htm and *.html below the folder, sorted.
std::vector<std::string> htmlPagesUnder(const std::string& folder);

// One line per broken link: "PAGE: LINK: reason", PAGE relative to the folder.
std::vector<std::string> linkProblems(const std::string& folder);

// What headless Chromium loads for the pages, all opened at once in the
// frames of one host page written to `workFolder`.
struct BrowserCheck {
    bool ran = false;
    std::vector<std::string> missing;   // files asked for that do not exist
    std::vector<std::string> unopened;  // pages the browser never loaded
    std::string log;
};
BrowserCheck checkPagesInBrowser(const std::vector<std::string>& pages, const std::string& workFolder);

}  // namespace klemora::test
