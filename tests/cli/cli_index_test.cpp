// "klemora-cli index" on a two-group project file and on a folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/file_io.h"
#include "scene/group_file.h"
#include "scene/group_tree.h"
#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class CliIndex : public ::testing::Test {
protected:
    void SetUp() override {
        ::mkdir(m_dir.file("web").c_str(), 0755);
        ::mkdir(m_dir.file("clips").c_str(), 0755);
        m_source = m_dir.file("clips/clip.avi");
        fixtures::DvFixtureOptions options;  // 50 frames
        ASSERT_EQ(fixtures::writeDvAvi(m_source, options), 1);
        m_template = m_dir.file("cell.tpl");
        writeTextFile(m_template, "#REM test cell\n#DEFAULTCOLUMNS3\n<p>#SCENENUMBER #FRAMEBYNUMBER0</p>\n");
    }

    std::string project() {
        scene::GroupTree tree;
        for (int start : {0, 25}) {
            int i = tree.root().list().AddNewScene();
            tree.root().list().setSourceFile(i, m_source);
            tree.root().list().setStartFrame(i, start);
            tree.root().list().setStopFrame(i, start + 24);
        }
        scene::Group& second = tree.addGroup(nullptr, "Zweite");
        int i = second.list().AddNewScene();
        second.list().setSourceFile(i, m_source);
        second.list().setStopFrame(i, 9);
        tree.addGroup(nullptr, "Leer");
        std::string path = m_dir.file("project.scn");
        EXPECT_EQ(scene::writeGroupFile(path, tree), 1);
        return path;
    }

    TempDir m_dir;
    std::string m_source;
    std::string m_template;
};

TEST_F(CliIndex, ProjectGivesTheGroupIndexAndAPagePerGroup) {
    std::string out = m_dir.file("web/index.htm");
    CliResult r = runCli({"--batch", "--lang", "DE", "index", project(), "--template", m_template, "--out", out,
                          "--size", "96x72", "--comment", "Test"},
                         m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, out + "\n");
    std::string index = readTextFile(out);
    EXPECT_NE(index.find("Kommentar: Test\n"), std::string::npos);
    EXPECT_NE(index.find("<a href=\"./index_01_Start.htm\">Start</a>"), std::string::npos);
    EXPECT_NE(index.find("<a href=\"./index_02_Zweite.htm\">Zweite</a>"), std::string::npos);
    EXPECT_NE(index.find("<b>---</b><b>---</b> Leer\n"), std::string::npos);
    EXPECT_NE(index.find("Gesamt: Anzahl: 3 / Dauer: 00:00:02:10"), std::string::npos);
    std::string start = readTextFile(m_dir.file("web/index_01_Start.htm"));
    EXPECT_NE(start.find("<p>2 <img src=\"./img_index_Start/clip_00025.bmp\" border=1 width=96 height=72"),
              std::string::npos);
    EXPECT_NE(start.find("<td>&nbsp;</td>\n</tr>\n"), std::string::npos);  // 2 scenes in 3 columns
    EXPECT_TRUE(app::fileExists(m_dir.file("web/img_index_Start/clip_00025.bmp")));
    EXPECT_TRUE(app::fileExists(m_dir.file("web/index_02_Zweite.htm")));
    EXPECT_FALSE(app::fileExists(m_dir.file("web/index_03_Leer.htm")));

    std::string ini = readTextFile(m_dir.file("Klemora.ini"));
    EXPECT_NE(ini.find("HtmlTemplateName=" + m_template), std::string::npos);
    EXPECT_NE(ini.find("HtmlDstPath=" + m_dir.file("web")), std::string::npos);
    EXPECT_NE(ini.find("HtmlPreset=1"), std::string::npos);
}

TEST_F(CliIndex, FolderAndRefusals) {
    std::string out = m_dir.file("web/clips.htm");
    CliResult r = runCli({"--batch", "index", "--dir", m_dir.file("clips"), "--template", m_template, "--out", out},
                         m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(readTextFile(out).find("<p>1 <img src=\"./img_clips_clips/clip_00000.bmp\""), std::string::npos);

    r = runCli({"--batch", "index", project(), "--out", m_dir.file("web/y.htm")}, m_dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;  // the template chosen last time

    writeTextFile(m_dir.file("blank.tpl"), "#DEFAULTCOLUMNS 4\nx\n");
    r = runCli({"--batch", "--lang", "DE", "index", project(), "--template", m_dir.file("blank.tpl"), "--out",
                m_dir.file("web/x.htm")},
               m_dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Die Anzahl der Spalten muss mindestens '1' sein!"), std::string::npos) << r.err;
    EXPECT_FALSE(app::fileExists(m_dir.file("web/x.htm")));

    EXPECT_EQ(runCli({"index", "--out", out}, m_dir.path()).exitCode, 2);
    EXPECT_EQ(runCli({"index", project(), "--template", m_template, "--out", out, "--size", "0x3"}, m_dir.path())
                  .exitCode,
              2);
}

TEST_F(CliIndex, TemplatesComeFromTheProgramsTemplateFolder) {
    // Fresh settings: the bundled standard template.
    std::string out = m_dir.file("web/first.htm");
    CliResult r = runCli({"--batch", "index", project(), "--out", out}, m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(app::fileExists(out));

    // A bare name is one of the program's templates, not a file of the working folder.
    r = runCli({"--batch", "index", project(), "--template", "Compact.tpl", "--out", m_dir.file("web/c.htm")},
               m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(readTextFile(m_dir.path() + "/Klemora.ini").find("HtmlTemplateName=" + testBinFolder() +
                                                               "/Templates/Compact.tpl"),
              std::string::npos);

    // A path with a folder part is taken as given.
    r = runCli({"--batch", "index", project(), "--template", m_dir.file("none/Compact.tpl"), "--out",
                m_dir.file("web/d.htm")},
               m_dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("File: " + m_dir.file("none/Compact.tpl")), std::string::npos) << r.err;
}

}  // namespace
}  // namespace klemora::test
