// The shipped templates rendered by a real browser: every file a page loads
// must exist. Runs when "chromium" is installed; set KLEMORA_HTML_SHOTS to a
// folder to keep the screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "app/file_io.h"
#include "output/html_index.h"
#include "tests/output/html_test_support.h"
#include "tests/support/headless_browser.h"

namespace klemora::output {
namespace {

class HtmlBrowserTest : public test::HtmlIndexTest {
protected:
    // The files the browser loaded for `page`; the screenshot goes to `png`.
    std::vector<std::string> loadedFiles(const std::string& page, const std::string& png) {
        test::BrowserVisit visit = test::visitInHeadlessChromium(page, png, dir.file("profile"));
        EXPECT_TRUE(visit.ran) << visit.log;
        return visit.files;
    }
};

TEST_F(HtmlBrowserTest, ShippedTemplatesOpenWithoutAMissingFile) {
    if (!test::haveChromium()) GTEST_SKIP() << "chromium is not installed";
    std::string a = source("Urlaub am Meer.avi", 40);
    fixtures::DvFixtureOptions wide;
    wide.wideScreen = true;
    wide.sessions = {fixtures::DvSession{fixtures::defaultSessionStart(), 20, {}},
                     fixtures::DvSession{fixtures::defaultSessionStart(), 20, {}}};
    wide.sessions[1].start.hours += 2;
    std::string b = dvFile("src/Geburtstag.avi", wide);
    scene::GroupTree tree;
    addScene(tree.root().list(), a, 0, 14);
    addScene(tree.root().list(), a, 15, 39);
    tree.root().list().setComment(1, "Sonnenuntergang & Wellen");
    scene::Group& party = tree.addGroup(nullptr, "Geburtstag 2007");
    addScene(party.list(), b, 0, 19);
    addScene(party.list(), b, 20, 39);
    addScene(party.list(), a, 20, 24);
    // The recording times and timecodes that scene detection would have read.
    for (scene::Group* group : tree.depthFirst()) {
        scene::SceneList& list = group->list();
        for (int i = 0; i < list.count(); ++i) {
            const fixtures::DvFixtureOptions& made = list.sourceFile(i) == b ? wide : m_lastSource;
            scene::RecordingTime time = fixtures::expectedRecordingTime(made, list.startFrame(i));
            list.setRecordingTime(i, &time);
            list.setTimecode(i, fixtures::expectedTimecode(made, list.startFrame(i)));
        }
    }

    const char* shots = std::getenv("KLEMORA_HTML_SHOTS");
    for (const char* name : {"Standard", "ContactSheet", "Compact"}) {
        SCOPED_TRACE(name);
        std::string templatePath = test::testBinFolder() + "/Templates/" + name + ".tpl";
        std::string templateText = test::readTextFile(templatePath);
        ASSERT_NE(templateText.find("#DEFAULTCOLUMNS"), std::string::npos);
        ASSERT_NE(templateText.find("#REM"), std::string::npos);
        HtmlIndexOptions o = options(templateText);
        std::string folder = dir.file(std::string("web/") + name);
        ::mkdir(folder.c_str(), 0755);
        o.mainFile = folder + "/index.htm";
        o.comment = "Zwei Gruppen<br>mit <i>f&uuml;nf</i> Szenen";
        if (std::string(name) != "Compact") o.pictureWidth = 192, o.pictureHeight = 144;
        ASSERT_EQ(GenerateSceneIndex(tree, o, ui), 1) << ui.allMessages();

        std::vector<std::string> pages = {o.mainFile, folder + "/index_01_Start.htm",
                                          folder + "/index_02_Geburtstag 2007.htm"};
        for (const std::string& path : pages) {
            std::string html = page(path);
            EXPECT_FALSE(std::regex_search(html, std::regex("#[A-Z]{3,}"))) << path << ": a placeholder is left";
            std::set<std::string> linked;
            for (const char* attribute : {"src", "href"})
                for (const std::string& link : attributeValues(html, attribute)) {
                    EXPECT_TRUE(app::fileExists(linkedFile(folder, link))) << link;
                    if (std::string(attribute) == "src") linked.insert(linkedFile(folder, link));
                }
            std::string png = path + ".png";
            std::set<std::string> pictures;
            for (const std::string& file : loadedFiles(path, png)) {
                EXPECT_TRUE(app::fileExists(file)) << "the browser misses " << file;
                if (file != path) pictures.insert(file);
            }
            EXPECT_EQ(pictures, linked) << path;
            auto size = std::filesystem::exists(png) ? std::filesystem::file_size(png) : 0;
            EXPECT_GT(size, 5000u) << png;
            if (shots && size > 0)
                std::filesystem::copy_file(png, std::string(shots) + "/" + name + "_" + app::fileNameOf(png),
                                           std::filesystem::copy_options::overwrite_existing);
        }
    }
}

}  // namespace
}  // namespace klemora::output
