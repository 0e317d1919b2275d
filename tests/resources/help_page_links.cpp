#include "tests/resources/help_page_links.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

#include "tests/support/headless_browser.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

namespace fs = std::filesystem;

bool hasExtension(const fs::path& path, std::initializer_list<const char*> extensions) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

std::vector<std::string> filesUnder(const std::string& folder, std::initializer_list<const char*> extensions) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file() && hasExtension(it->path(), extensions)) files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string withoutComments(const std::string& html) {
    return std::regex_replace(html, std::regex("<!--[\\s\\S]*?-->"), "");
}

// The values of the attributes `names` (quoted either way, or bare).
std::vector<std::string> attributeValues(const std::string& html, const std::string& names) {
    std::regex pattern("\\b(?:" + names + ")\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))", std::regex::icase);
    std::vector<std::string> values;
    for (std::sregex_iterator it(html.begin(), html.end(), pattern), end; it != end; ++it)
        for (int group = 1; group <= 3; ++group)
            if ((*it)[group].matched) values.push_back((*it)[group]);
    return values;
}

std::vector<std::string> cssUrls(const std::string& text) {
    std::regex pattern("url\\(\\s*['\"]?([^'\")]*)['\"]?\\s*\\)", std::regex::icase);
    std::vector<std::string> values;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) values.push_back((*it)[1]);
    return values;
}

std::set<std::string> anchorsOf(const std::string& file) {
    std::vector<std::string> ids = attributeValues(withoutComments(readTextFile(file)), "id|name");
    return {ids.begin(), ids.end()};
}

// Why the link of `file` is broken; empty when it is not.
std::string problemOf(const fs::path& root, const fs::path& file, const std::string& link) {
    if (link.empty()) return "empty link";
    std::smatch scheme;
    if (std::regex_search(link, scheme, std::regex("^([A-Za-z][A-Za-z0-9+.-]*):"))) {
        std::string name = scheme[1];
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (name == "mailto" || name == "data") return {};
        return name == "http" || name == "https" ? "a web link" : "not a relative link";
    }
    if (link[0] == '/' || link[0] == '\\') return "an absolute path";
    if (link.find('\\') != std::string::npos) return "a backslash in the path";
    std::string path = link.substr(0, link.find_first_of("?#"));
    size_t hash = link.find('#');
    std::string anchor = hash == std::string::npos ? "" : decodePercentEscapes(link.substr(hash + 1));
    fs::path target = path.empty() ? file : (file.parent_path() / decodePercentEscapes(path)).lexically_normal();
    std::string inside = target.lexically_relative(root).string();
    if (inside.empty() || inside.rfind("..", 0) == 0) return "outside the help folder";
    if (!fs::is_regular_file(target)) return "missing file";
    if (!anchor.empty() && !anchorsOf(target.string()).count(anchor)) return "missing anchor";
    return {};
}

}  // namespace

std::vector<std::string> htmlPagesUnder(const std::string& folder) { return filesUnder(folder, {".htm", ".html"}); }

std::vector<std::string> linkProblems(const std::string& folder) {
    fs::path root = fs::path(folder).lexically_normal();
    std::vector<std::string> problems;
    for (const std::string& name : filesUnder(folder, {".htm", ".html", ".css"})) {
        fs::path file = fs::path(name).lexically_normal();
        std::string text = readTextFile(name);
        std::vector<std::string> links = cssUrls(text);
        if (!hasExtension(file, {".css"})) {
            std::vector<std::string> attributes = attributeValues(withoutComments(text), "href|src");
            links.insert(links.end(), attributes.begin(), attributes.end());
        }
        for (const std::string& link : links) {
            std::string problem = problemOf(root, file, link);
            if (!problem.empty())
                problems.push_back(file.lexically_relative(root).string() + ": " + link + ": " + problem);
        }
    }
    return problems;
}

BrowserCheck checkPagesInBrowser(const std::vector<std::string>& pages, const std::string& workFolder) {
    std::string host = "<html><body>\n";
    for (const std::string& page : pages)
        host += "<iframe width=\"600\" height=\"400\" src=\"file://" + fs::absolute(page).string() + "\"></iframe>\n";
    writeTextFile(workFolder + "/host.htm", host + "</body></html>\n");
    BrowserVisit visit =
        visitInHeadlessChromium(workFolder + "/host.htm", workFolder + "/host.png", workFolder + "/profile");
    BrowserCheck check;
    check.ran = visit.ran;
    check.log = visit.log;
    std::set<std::string> loaded;
    for (const std::string& file : visit.files) {
        std::string normal = fs::path(file).lexically_normal().string();
        loaded.insert(normal);
        if (!fs::exists(normal)) check.missing.push_back(normal);
    }
    for (const std::string& page : pages)
        if (!loaded.count(fs::absolute(page).lexically_normal().string())) check.unopened.push_back(page);
    return check;
}

}  // namespace klemora::test
