// The help pages that F1 opens: every page in German and English, every link
// between them, and every file a browser loads for them. The checker is tried
// first on pages made here, with the faults it must find.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/resources/help_page_links.h"
#include "tests/support/headless_browser.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

namespace fs = std::filesystem;

class HelpPageCheckTest : public ::testing::Test {
protected:
    void page(const std::string& name, const std::string& body) {
        fs::create_directories(fs::path(dir.file(name)).parent_path());
        writeTextFile(dir.file(name), "<html><head><link rel=\"stylesheet\" href=\"" +
                                          std::string(name.rfind("en/", 0) == 0 ? "../" : "") +
                                          "klemora.css\"></head><body>" + body + "</body></html>\n");
    }
    void SetUp() override {
        writeTextFile(dir.file("klemora.css"), "h1 { background: url('bilder/kopf.png'); }\n");
        fs::create_directories(dir.file("bilder"));
        writeTextFile(dir.file("bilder/kopf.png"), "not really a picture");
        writeTextFile(dir.file("bilder/Schnitt 1.png"), "not really a picture");
    }
    TempDir dir;
};

TEST_F(HelpPageCheckTest, AcceptsPagesWhoseLinksAllResolve) {
    page("index.htm",
         "<h1 id=\"oben\">Hilfe</h1><a href='page01.htm#laden'>Laden</a> <a href=#oben>oben</a>"
         "<img src=\"bilder/Schnitt%201.png\"> <a href=\"mailto:developers@klemora.org\">Post</a>"
         "<!-- <img src=\"entwurf.png\"> -->");
    page("page01.htm", "<h2 id=\"laden\">Laden</h2><a href=\"index.htm?x=1\">Inhalt</a>");
    page("en/index.htm", "<a href=\"../index.htm\">Deutsch</a><img src='../bilder/kopf.png'>");
    EXPECT_EQ(htmlPagesUnder(dir.path()).size(), 3u);
    EXPECT_TRUE(linkProblems(dir.path()).empty()) << ::testing::PrintToString(linkProblems(dir.path()));
}

TEST_F(HelpPageCheckTest, ReportsEveryBrokenLinkWithItsPage) {
    page("index.htm",
         "<img src=\"bilder/fehlt.png\"><a href=\"page02.htm\">2</a><a href=\"page01.htm#nirgends\">1</a>"
         "<a href=\"https://klemora.org/hilfe\">web</a><a href=\"/usr/share/klemora/HtmlDoku/page01.htm\">abs</a>");
    page("page01.htm", "<a href=\"../../etc/passwd\">out</a><a href=\"bilder\\kopf.png\">win</a><a href=\"\">leer</a>");
    page("en/index.htm", "<a HREF=\"page01.htm\">no English page 1</a>");
    writeTextFile(dir.file("klemora.css"), "body { background: url(bilder/weg.png); }\n");

    std::vector<std::string> expected = {
        "en/index.htm: page01.htm: missing file",
        "index.htm: bilder/fehlt.png: missing file",
        "index.htm: page02.htm: missing file",
        "index.htm: page01.htm#nirgends: missing anchor",
        "index.htm: https://klemora.org/hilfe: a web link",
        "index.htm: /usr/share/klemora/HtmlDoku/page01.htm: an absolute path",
        "klemora.css: bilder/weg.png: missing file",
        "page01.htm: ../../etc/passwd: outside the help folder",
        "page01.htm: bilder\\kopf.png: a backslash in the path",
        "page01.htm: : empty link",
    };
    EXPECT_EQ(linkProblems(dir.path()), expected);
}

TEST_F(HelpPageCheckTest, BrowserCheckFindsAPictureThePageMisses) {
    if (!haveChromium()) GTEST_SKIP() << "chromium is not installed";
    page("index.htm", "<img src=\"bilder/Schnitt%201.png\">");
    page("en/index.htm", "<img src=\"../bilder/fehlt.png\">");
    fs::create_directories(dir.file("work"));
    BrowserCheck check = checkPagesInBrowser(htmlPagesUnder(dir.path()), dir.file("work"));
    ASSERT_TRUE(check.ran) << check.log;
    EXPECT_TRUE(check.unopened.empty()) << ::testing::PrintToString(check.unopened);
    EXPECT_EQ(check.missing, std::vector<std::string>{dir.file("bilder/fehlt.png")});
}

// The shipped pages, as the program folder holds them.
class ShippedHelpPagesTest : public ::testing::Test {
protected:
    const std::string folder = KLEMORA_HELP_PAGES_DIR;
};

TEST_F(ShippedHelpPagesTest, EveryPageIsThereInGermanAndEnglish) {
    for (const char* language : {"", "en/"})
        for (int number = 0; number <= 12; ++number) {
            char name[16];
            std::snprintf(name, sizeof name, number == 0 ? "index.htm" : "page%02d.htm", number);
            std::string path = folder + "/" + language + name;
            EXPECT_TRUE(fs::is_regular_file(path)) << path;
        }
}

TEST_F(ShippedHelpPagesTest, EveryLinkResolvesInsideTheFolder) {
    std::vector<std::string> problems = linkProblems(folder);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}

TEST_F(ShippedHelpPagesTest, EveryPageOpensInTheBrowserWithoutAMissingFile) {
    if (!haveChromium()) GTEST_SKIP() << "chromium is not installed";
    TempDir work;
    BrowserCheck check = checkPagesInBrowser(htmlPagesUnder(folder), work.path());
    ASSERT_TRUE(check.ran) << check.log;
    EXPECT_TRUE(check.unopened.empty()) << ::testing::PrintToString(check.unopened);
    EXPECT_TRUE(check.missing.empty()) << ::testing::PrintToString(check.missing);
}

}  // namespace
}  // namespace klemora::test
