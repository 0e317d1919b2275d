#include "output/html_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/file_io.h"
#include "avi/avi_format.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "output/html_result.h"
#include "tests/output/html_test_support.h"

namespace klemora::output {
namespace {

using test::HtmlIndexTest;

constexpr const char* kIndexPanel =
    "<table width=100% border=0 cellspacing=0 cellpadding=5 bgcolor=#eaeaea><tr><td>\n";
constexpr const char* kCounts = "<td>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;(Anzahl: ";

std::string groupPageStart(const std::string& name, int scenes, const std::string& duration, bool backLink) {
    std::string text = test::htmlPageHead() +
                       "<table width=100% border=0 cellspacing=0 cellpadding=5 bgcolor=#eaeaea><tr>\n"
                       "<td align=left valign=top>\n"
                       "Gruppe:<br>\n"
                       "Anzahl der Einträge:<br>\n"
                       "<nobr>Gesamtdauer der Videos:&nbsp;&nbsp;&nbsp;</nobr><br>\n"
                       "</td>\n"
                       "<td align=left valign=top width=90%>\n" +
                       name + "<br>\n" + std::to_string(scenes) + "<br>\n" + duration + "<br>\n</td></tr>\n";
    if (backLink) text += "<tr><td colspan=2>\n<a href=\"./index.htm\">Zurück zum Gruppenindex</a>\n</td></tr>\n";
    text +=
        "</table>\n</td></tr></table>\n\n<br>\n<br>\n\n"
        "<table width=99% border=0 cellspacing=0 cellpadding=5><tr><td bgcolor=#bbbbbb>\n"
        "<table width=100% border=0 cellspacing=0 cellpadding=5 bgcolor=#eaeaea>\n<tr>\n";
    return text;
}

std::string cell(int number) { return "<td align=left valign=top>\nS" + std::to_string(number) + "\n\n</td>\n"; }

constexpr const char* kPageEnd =
    "</tr>\n\n</table>\n</td></tr></table>\n"
    "<br>\n<br>\n<table width=95%><tr><td>\n</td></tr></table>\n</center>\n</body>\n</html>\n";

TEST_F(HtmlIndexTest, GroupIndexAndPagesByteForByte) {
    std::string a = source("a.avi");
    scene::GroupTree tree;
    addScene(tree.root().list(), a, 0, 9);
    addScene(tree.root().list(), a, 10, 29);
    scene::Group& holiday = tree.addGroup(nullptr, "Urlaub");
    scene::Group& day = tree.addGroup(&holiday, "Tag 1");
    for (int i = 0; i < 3; ++i) addScene(day.list(), a, i * 20, i * 20 + 19);

    ASSERT_EQ(GenerateSceneIndex(tree, options("#REM a cell\nS#SCENENUMBER\n", 2), ui), 1) << ui.allMessages();
    EXPECT_TRUE(ui.messages().empty()) << ui.allMessages();

    std::string index = test::htmlPageHead() + kIndexPanel +
                        "Kommentar: --\n<hr>\n<br>\n<table cellspacing=8>"
                        "<tr><td><b>---</b> <a href=\"./index_01_Start.htm\">Start</a>\n</td>" +
                        kCounts +
                        "2, Dauer: 00:00:01:05)</td></tr>\n"
                        "<tr><td><b>---</b><b>---</b> Urlaub\n</td><td>&nbsp;</td></tr>"
                        "<tr><td><b>---</b><b>---</b><b>---</b> <a href=\"./index_03_Tag%201.htm\">Tag 1</a>\n</td>" +
                        kCounts +
                        "3, Dauer: 00:00:02:10)</td></tr>\n"
                        "</table>\n</td></tr>\n<tr><td><br>\n"
                        "Gesamt: Anzahl: 5 / Dauer: 00:00:03:15"
                        "</td></tr></table>\n</td></tr></table>\n</center>\n</body>\n</html>\n";
    EXPECT_EQ(page(dir.file("web/index.htm")), index);

    EXPECT_EQ(page(dir.file("web/index_01_Start.htm")),
              groupPageStart("Start", 2, "00:00:01:05", true) + cell(1) + cell(2) + "</tr><tr>\n" + kPageEnd);
    EXPECT_EQ(page(dir.file("web/index_03_Tag 1.htm")), groupPageStart("Tag 1", 3, "00:00:02:10", true) + cell(1) +
                                                            cell(2) + "</tr><tr>\n" + cell(3) +
                                                            "<td>&nbsp;</td>\n" + kPageEnd);
    // The group without scenes has neither a page nor a picture folder.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("web")))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"index.htm", "index_01_Start.htm", "index_03_Tag 1.htm",
                                            "img_index_Start", "img_index_Tag 1"}));
    EXPECT_EQ(ui.progressOpened, 1);
    EXPECT_EQ(ui.progressClosed, 1);
    EXPECT_EQ(ui.progressLine2, "Szene 3 von 3. Bitte warten...");
    EXPECT_GE(ui.pumps(), 5);
}

TEST_F(HtmlIndexTest, RowsOfTheColumnCount) {
    std::string a = source("a.avi", 10);
    for (int count : {5, 1, 4}) {
        scene::GroupTree tree;
        for (int i = 0; i < count; ++i) addScene(tree.root().list(), a, i, i);
        ASSERT_EQ(GenerateSceneIndex(tree, options("#DEFAULTCOLUMNS2\nS#SCENENUMBER\n"), ui), 1) << ui.allMessages();
        std::string rows;
        for (int i = 1; i <= count; ++i) rows += cell(i) + (i % 2 == 0 ? "</tr><tr>\n" : "");
        if (count % 2) rows += "<td>&nbsp;</td>\n";  // one padding cell
        std::string duration = "00:00:00:0" + std::to_string(count);
        EXPECT_EQ(page(dir.file("web/index_01_Start.htm")),
                  groupPageStart("Start", count, duration, true) + rows + kPageEnd)
            << count << " scenes";
    }
    // 4 scenes in 2 columns end with an empty row.
    EXPECT_NE(page(dir.file("web/index_01_Start.htm")).find(cell(4) + "</tr><tr>\n</tr>\n"), std::string::npos);
}

TEST_F(HtmlIndexTest, CommentRemLinesAndSceneData) {
    std::string a = source("a.avi", 10);
    scene::GroupTree tree;
    addScene(tree.root().list(), a, 0, 9);
    tree.root().list().setComment(0, "Am Strand");
    HtmlIndexOptions o = options("#REM secret\n<i>#COMMENT</i> x#REM y\n<b>#PURESRCFILENAME #FRAMECOUNT</b>\n");
    o.comment = "Sommer <b>2006</b>\r\nTeil 2";
    ASSERT_EQ(GenerateSceneIndex(tree, o, ui), 1) << ui.allMessages();
    std::string index = page(dir.file("web/index.htm"));
    EXPECT_NE(index.find("Kommentar: Sommer <b>2006</b>\r\nTeil 2\n<hr>\n"), std::string::npos);
    std::string group = page(dir.file("web/index_01_Start.htm"));
    EXPECT_NE(group.find("<td align=left valign=top>\n<b>a.avi 10</b>\n\n</td>\n"), std::string::npos);
    EXPECT_EQ(group.find("REM"), std::string::npos);
    EXPECT_EQ(group.find("secret"), std::string::npos);
}

// The BMP file's picture size and its pixel rows.
struct Bitmap {
    int width = -1;
    int height = -1;
    std::string pixels;
};

Bitmap readBitmap(const std::string& path) {
    auto bytes = app::readWholeFile(path);
    if (!bytes || bytes->size() < 58 || bytes->substr(0, 2) != "BM") return {};
    const auto* p = reinterpret_cast<const uint8_t*>(bytes->data());
    return {static_cast<int>(avi::readLe32(p + 18)), static_cast<int>(avi::readLe32(p + 22)), bytes->substr(58)};
}

TEST_F(HtmlIndexTest, EveryPictureExistsAndShowsTheNamedFrame) {
    std::string a = source("a.avi");  // 60 frames, a new picture every 5
    std::string b = source("b.avi", 30);
    scene::GroupTree tree;
    addScene(tree.root().list(), a, 10, 29);
    addScene(tree.root().list(), b, 0, 29);  // up to the file's end
    scene::Group& second = tree.addGroup(nullptr, "Zweite");
    addScene(second.list(), a, 50, 59);
    addScene(second.list(), a, 3, 3);
    std::string cellText = "#FRAMEBYPERCENT0 #FRAMEBYPERCENT100<br>\n#FRAMEBYNUMBER7&nbsp;#FRAMEBYPERCENT50\n";
    ASSERT_EQ(GenerateSceneIndex(tree, options(cellText, 2), ui), 1) << ui.allMessages();

    std::vector<std::string> expected[] = {
        {"./img_index_Start/a_00010.bmp", "./img_index_Start/a_00030.bmp", "./img_index_Start/a_00017.bmp",
         "./img_index_Start/a_00020.bmp", "./img_index_Start/b_00000.bmp", "./img_index_Start/b_00029.bmp",
         "./img_index_Start/b_00007.bmp", "./img_index_Start/b_00015.bmp"},
        {"./img_index_Zweite/a_00050.bmp", "./img_index_Zweite/a_00059.bmp", "./img_index_Zweite/a_00057.bmp",
         "./img_index_Zweite/a_00055.bmp", "./img_index_Zweite/a_00003.bmp", "./img_index_Zweite/a_00004.bmp",
         "./img_index_Zweite/a_00010.bmp", "./img_index_Zweite/a_00003.bmp"},
    };
    const char* pages[] = {"web/index_01_Start.htm", "web/index_02_Zweite.htm"};
    media::MediaInfo info;
    std::vector<uint8_t> grabbed(64 * 1024);
    for (int p = 0; p < 2; ++p) {
        std::string html = page(dir.file(pages[p]));
        std::vector<std::string> sources = attributeValues(html, "src");
        EXPECT_EQ(sources, expected[p]);
        EXPECT_EQ(attributeValues(html, "alt").size(), sources.size());
        for (const std::string& src : sources) {
            Bitmap bmp = readBitmap(linkedFile(dir.file("web"), src));
            ASSERT_EQ(bmp.width, 96) << src;
            ASSERT_EQ(bmp.height, 72) << src;
            std::string file = src.substr(src.rfind('/') + 1);
            int frame = std::stoi(file.substr(2, 5));
            ASSERT_EQ(media::ProbeMedia(file[0] == 'a' ? a : b, info, ui), 1);
            ASSERT_EQ(media::GrabFrame(info, frame, grabbed, 96, 72, ui), 1);
            std::string pixels(grabbed.begin() + 40, grabbed.begin() + 40 + bmp.pixels.size());
            EXPECT_EQ(bmp.pixels, pixels) << src;
            // The neighbouring session's picture differs, so the frame is the named one.
            int other = frame >= 5 ? frame - 5 : frame + 5;
            ASSERT_EQ(media::GrabFrame(info, other, grabbed, 96, 72, ui), 1);
            EXPECT_NE(bmp.pixels, std::string(grabbed.begin() + 40, grabbed.begin() + 40 + bmp.pixels.size()));
        }
    }
    EXPECT_NE(page(dir.file(pages[0])).find(
                  "<img src=\"./img_index_Start/a_00010.bmp\" border=1 width=96 height=72 alt=\"a_00010.bmp\"> "),
              std::string::npos);
}

TEST_F(HtmlIndexTest, As43WidthAndClippedPictures) {
    fixtures::DvFixtureOptions wide;
    wide.wideScreen = true;
    std::string w = dvFile("src/wide.avi", wide);
    std::string n = source("normal.avi", 10);
    app::settings().writeInt("As43", 1);
    app::settings().writeInt("PictureClipping", 150);  // held to 99
    scene::GroupTree tree;
    addScene(tree.root().list(), w, 0, 9);
    addScene(tree.root().list(), n, 0, 9);
    HtmlIndexOptions o = options("#PREVIEWPICSIZEXx#PREVIEWPICSIZEY #FRAMEBYNUMBER0\n", 2);
    readPictureSettings(o, app::settings());
    EXPECT_EQ(o.clipPercent, 99);
    o.clipPercent = 10;
    ASSERT_EQ(GenerateSceneIndex(tree, o, ui), 1) << ui.allMessages();
    std::string html = page(dir.file("web/index_01_Start.htm"));
    EXPECT_NE(html.find("128x72 <img src=\"./img_index_Start/wide_00000.bmp\" border=1 width=128 height=72"),
              std::string::npos);
    EXPECT_NE(html.find("96x72 <img src=\"./img_index_Start/normal_00000.bmp\" border=1 width=96 height=72"),
              std::string::npos);
    Bitmap clipped = readBitmap(dir.file("web/img_index_Start/wide_00000.bmp"));
    EXPECT_EQ(clipped.width, 116);  // 128 less 6 at each side
    EXPECT_EQ(clipped.height, 66);
}

// The settings dialog changing the picture keys between two scenes changes
// nothing in the index being written.
TEST_F(HtmlIndexTest, TheRunKeepsThePictureSettingsOfItsStart) {
    fixtures::DvFixtureOptions wide;
    wide.wideScreen = true;
    std::string n = source("normal.avi", 10);
    std::string w = dvFile("src/wide.avi", wide);
    scene::GroupTree tree;
    addScene(tree.root().list(), n, 0, 9);
    addScene(tree.root().list(), w, 0, 9);
    HtmlIndexOptions o = options("#PREVIEWPICSIZEXx#PREVIEWPICSIZEY #FRAMEBYNUMBER0\n", 2);
    readPictureSettings(o, app::settings());
    ui.onPump = [](test::ScriptedUserInterface&) {
        app::settings().writeInt("As43", 1);
        app::settings().writeInt("PictureClipping", 50);
    };
    ASSERT_EQ(GenerateSceneIndex(tree, o, ui), 1) << ui.allMessages();
    std::string html = page(dir.file("web/index_01_Start.htm"));
    EXPECT_NE(html.find("96x72 <img src=\"./img_index_Start/wide_00000.bmp\""), std::string::npos) << html;
    EXPECT_EQ(readBitmap(dir.file("web/img_index_Start/wide_00000.bmp")).width, 96);
}

TEST_F(HtmlIndexTest, UnopenableSourceGivesEmptyCellsAndOneMessage) {
    std::string a = source("a.avi", 10);
    scene::GroupTree tree;
    addScene(tree.root().list(), dir.file("src/gone.avi"), 0, 9);
    addScene(tree.root().list(), dir.file("src/gone.avi"), 10, 19);
    addScene(tree.root().list(), a, 0, 9);
    ASSERT_EQ(GenerateSceneIndex(tree, options("S#SCENENUMBER\n", 3), ui), 1);
    EXPECT_EQ(page(dir.file("web/index_01_Start.htm")),
              groupPageStart("Start", 3, "00:00:01:05", true) + "<td>&nbsp;</td>\n<td>&nbsp;</td>\n" + cell(3) +
                  "</tr><tr>\n" + kPageEnd);
    int fileMessages = 0;
    for (const auto& m : ui.messages())
        fileMessages += m.text == "Fehler beim Öffnen der Datei!\nFile: " + dir.file("src/gone.avi");
    EXPECT_EQ(fileMessages, 1) << ui.allMessages();
}

TEST_F(HtmlIndexTest, FailuresKeepTheOldIndexAndLeaveNoHalfFiles) {
    std::string a = source("a.avi", 10);
    test::writeTextFile(dir.file("web/index.htm"), "old index");
    scene::GroupTree tree;
    addScene(tree.root().list(), a, 0, 9);
    scene::Group& longName = tree.addGroup(nullptr, std::string(240, 'g'));
    addScene(longName.list(), a, 0, 9);
    EXPECT_EQ(GenerateSceneIndex(tree, options("S#SCENENUMBER\n"), ui), code(HtmlIndexResult::FolderNameTooLong));
    EXPECT_TRUE(ui.hasMessage("Der Name, der sich für das Verzeichnis ergibt, ist zu lang!"));
    EXPECT_EQ(test::readTextFile(dir.file("web/index.htm")), "old index");
    EXPECT_TRUE(app::fileExists(dir.file("web/index_01_Start.htm")));  // the pages before stay
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("web")))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();

    HtmlIndexOptions o = options("S\n");
    o.mainFile = dir.file("nowhere/index.htm");
    EXPECT_EQ(GenerateSceneIndex(tree, o, ui), code(HtmlIndexResult::PageNotWritable));
    EXPECT_EQ(ui.messages().back().text, "Fehler beim Öffnen der Datei!\nFile: " + o.mainFile);

    scene::GroupTree slash;
    scene::Group& bad = slash.addGroup(nullptr, "a/b");
    addScene(bad.list(), a, 0, 9);
    EXPECT_EQ(GenerateSceneIndex(slash, options("S\n"), ui), code(HtmlIndexResult::FolderNotCreatable));
    EXPECT_EQ(ui.messages().back().text,
              "Fehler beim Erstellen des Verzeichnisses!\nPath: " + dir.file("web/img_index_a/b"));

    o = options("S\n");
    o.columns = 0;
    EXPECT_EQ(GenerateSceneIndex(tree, o, ui), code(HtmlIndexResult::TooFewColumns));

    ui.onPump = [](test::ScriptedUserInterface& u) { u.requestCancel(); };
    EXPECT_EQ(GenerateSceneIndex(tree, options("S\n"), ui), code(HtmlIndexResult::Cancelled));
    EXPECT_EQ(test::readTextFile(dir.file("web/index.htm")), "old index");
}

TEST_F(HtmlIndexTest, FolderOfAviFilesOnOnePage) {
    ::mkdir(dir.file("src/Ferien").c_str(), 0755);
    fixtures::DvFixtureOptions shortFile;
    shortFile.sessions = {fixtures::DvSession{fixtures::defaultSessionStart(), 10, {}}};
    dvFile("src/Ferien/b.avi", shortFile);
    dvFile("src/Ferien/A.AVI", shortFile);
    test::writeTextFile(dir.file("src/Ferien/notes.txt"), "x");
    HtmlIndexOptions o = options("S#SCENENUMBER #PURESRCFILENAME #DVDATESTAMP\n", 4);
    o.mainFile = dir.file("web/ferien.htm");
    ASSERT_EQ(GenerateDirectoryIndex(dir.file("src/Ferien/"), o, ui), 1) << ui.allMessages();
    std::string html = page(o.mainFile);
    EXPECT_EQ(html.substr(0, groupPageStart("Ferien", 2, "00:00:00:20", false).size()),
              groupPageStart("Ferien", 2, "00:00:00:20", false));
    EXPECT_NE(html.find("S1 A.AVI 01-07-2006 / 10:00:00\n\n</td>\n<td align=left valign=top>\nS2 b.avi"),
              std::string::npos);
    EXPECT_NE(html.find("<td>&nbsp;</td>\n<td>&nbsp;</td>\n</tr>\n"), std::string::npos);
    EXPECT_TRUE(app::isDirectory(dir.file("web/img_ferien_Ferien")));

    ::mkdir(dir.file("src/empty").c_str(), 0755);
    EXPECT_EQ(GenerateDirectoryIndex(dir.file("src/empty"), o, ui), code(HtmlIndexResult::NoAviFiles));
    EXPECT_EQ(ui.messages().back().text,
              "Fehler in FindFirstFile()! Gibt es in dem angegebenen Verzeichnis evtl. keine AVI-Dateien?\nPath: " +
                  dir.file("src/empty"));

    test::writeTextFile(dir.file("src/empty/broken.avi"), "RIFF");
    EXPECT_EQ(GenerateDirectoryIndex(dir.file("src/empty"), o, ui), code(HtmlIndexResult::SourceUnreadable));
    EXPECT_EQ(ui.messages().back().text, "Fehler beim Öffnen der Datei!\nFile: " + dir.file("src/empty/broken.avi"));

    ui.expectDirectory("");  // the folder question, cancelled
    EXPECT_EQ(GenerateDirectoryIndex("", o, ui), code(HtmlIndexResult::Cancelled));
}

}  // namespace
}  // namespace klemora::output
