#include "scene/project_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "app/file_io.h"
#include "app/string_table.h"
#include "scene/group_file.h"
#include "scene/project_file.h"
#include "scene/time_text.h"
#include "tests/scene/fake_probe.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

using app::Answer;
using test::ScriptedUserInterface;

class ProjectSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeTextFile(dir.file("a.avi"), "not read by the fake probe");
        probe.facts(dir.file("a.avi")).frameCount = 250;
    }
    // A saved project with one scene in the root and one in a child group.
    std::string makeProject(const std::string& name) {
        GroupTree other;
        SceneList& root = other.root().list();
        root.setSourceFile(root.AddNewScene(), dir.file("a.avi"));
        Group& child = other.addGroup(&other.root(), "Urlaub");
        child.list().setSourceFile(child.list().AddNewScene(), dir.file("a.avi"));
        EXPECT_EQ(writeGroupFile(dir.file(name), other), 1);
        return dir.file(name);
    }

    test::TempDir dir;
    app::SettingsStore settings{dir.file("Klemora.ini")};
    GroupTree tree;
    test::FakeProbe probe;
    ProjectSession session{tree, settings, probe};
    ScriptedUserInterface ui;
};

TEST_F(ProjectSessionTest, LoadingAGroupFileMakesItTheProject) {
    tree.addGroup(&tree.root(), "old");
    std::string path = makeProject("p.SCN.bak");
    ASSERT_EQ(loadProject(session, path, LoadFilter::Project, ui), 1) << ui.allMessages();
    EXPECT_EQ(tree.root().childCount(), 1);  // the old group went
    EXPECT_EQ(tree.root().child(0)->name(), "Urlaub");
    EXPECT_EQ(session.projectPath, dir.file("p.SCN.scn"));
    EXPECT_EQ(settings.readText("ScnPath", ""), dir.path() + "/");
    EXPECT_EQ(tree.root().list().fileLastFrame(0), 249);  // probed
    EXPECT_FALSE(session.unsavedChanges);
}

TEST_F(ProjectSessionTest, FlatFilesAndImportsKeepTheProjectPath) {
    session.projectPath = "/before.scn";
    SceneList list;
    list.setSourceFile(list.AddNewScene(), dir.file("a.avi"));
    ASSERT_EQ(writeFlatFile(dir.file("flat.scn"), list), 1);
    ASSERT_EQ(loadProject(session, dir.file("flat.scn"), LoadFilter::Project, ui), 1);
    EXPECT_EQ(tree.root().list().count(), 1);
    EXPECT_EQ(session.projectPath, "/before.scn");

    test::writeTextFile(dir.file("l.csv"), "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECODE\n\"" +
                                               dir.file("a.avi") + "\";\"\";0;9;1.0;\"\";\"\";\"\"\n");
    ASSERT_EQ(loadProject(session, dir.file("l.csv"), LoadFilter::Csv, ui), 1) << ui.allMessages();
    EXPECT_EQ(tree.root().list().stopFrame(0), 9);
    EXPECT_EQ(session.projectPath, "/before.scn");
}

TEST_F(ProjectSessionTest, LoadFailuresAreReported) {
    EXPECT_EQ(loadProject(session, dir.file("none.scn"), LoadFilter::Project, ui), -1);
    EXPECT_EQ(ui.messages().back().text, app::loadString(107) + "\nFile: " + dir.file("none.scn"));
    test::writeTextFile(dir.file("x.scn"), std::string(80, 'x'));
    EXPECT_EQ(loadProject(session, dir.file("x.scn"), LoadFilter::Project, ui), 0);
    EXPECT_EQ(ui.messages().back().text, app::loadString(107) + "\nFile: " + dir.file("x.scn") + "\nCode: 0");
}

TEST_F(ProjectSessionTest, ARefusedSceneFailsTheLoadWithItsCheckAndPlace) {
    GroupTree other;
    other.root().list().setSourceFile(other.root().list().AddNewScene(), dir.file("a.avi"));
    SceneList& holiday = other.addGroup(&other.root(), "Urlaub").list();
    int i = holiday.AddNewScene();
    holiday.setStartFrame(i, 10);
    holiday.setStopFrame(i, 5);
    ASSERT_EQ(writeGroupFile(dir.file("bad.scn"), other), 1);
    EXPECT_EQ(loadProject(session, dir.file("bad.scn"), LoadFilter::Project, ui), -7);
    ASSERT_EQ(ui.messages().size(), 2u) << ui.allMessages();
    EXPECT_EQ(ui.messages()[0].text, app::loadString(144) + "\nGroup: Urlaub\nScene: 1");
    EXPECT_EQ(ui.messages()[1].text, app::loadString(107) + "\nFile: " + dir.file("bad.scn") + "\nCode: -7");
    EXPECT_EQ(settings.readText("ScnPath", "-"), "-");
}

TEST_F(ProjectSessionTest, ADateThatNamesNoDayIsDroppedWithAWarning) {
    GroupTree other;
    SceneList& root = other.root().list();
    int i = root.AddNewScene();
    root.setSourceFile(i, dir.file("a.avi"));
    RecordingTime february30 = recordingTimeOf(2006, 2, 30, 10, 0, 0);
    root.setRecordingTime(i, &february30);
    ASSERT_EQ(writeGroupFile(dir.file("p.scn"), other), 1);
    ASSERT_EQ(loadProject(session, dir.file("p.scn"), LoadFilter::Project, ui), 1);
    EXPECT_EQ(tree.root().list().recordingTime(0), kNoRecordingTime);
    ASSERT_EQ(ui.messages().size(), 1u) << ui.allMessages();
    EXPECT_EQ(ui.messages()[0].text, app::loadString(861) + "\nGroup: Start\nScene: 1\nCount: 1");
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Warning);
}

TEST_F(ProjectSessionTest, TheProjectFolderIsKeptAbsolute) {
    std::string path = makeProject("p.scn");
    char* before = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    int rc = loadProject(session, "./p.scn", LoadFilter::Project, ui);
    std::string afterLoad = settings.readText("ScnPath", "");
    int saved = saveProjectAs(session, "q.csv", SaveFilter::Csv, tree.root().list(), ui);
    std::string afterSave = settings.readText("ScnPath", "");
    EXPECT_EQ(::chdir(before), 0);
    std::free(before);
    ASSERT_EQ(rc, 1) << ui.allMessages();
    ASSERT_EQ(saved, 1) << ui.allMessages();
    EXPECT_EQ(afterLoad, dir.path() + "/");
    EXPECT_EQ(afterSave, dir.path() + "/");
}

TEST_F(ProjectSessionTest, UnsavedChangesAreOfferedFirst) {
    std::string path = makeProject("p.scn");
    session.unsavedChanges = true;
    ui.expectQuestion(app::loadString(177), Answer::Cancel);
    EXPECT_EQ(loadProject(session, path, LoadFilter::Project, ui), 0);
    int saved = 0;
    ui.expectQuestion(app::loadString(177), Answer::Yes);
    EXPECT_EQ(loadProject(session, path, LoadFilter::Project, ui, [&] { return ++saved, true; }), 1);
    EXPECT_EQ(saved, 1);
}

TEST_F(ProjectSessionTest, SaveAndSaveAs) {
    EXPECT_EQ(saveProject(session, ui), kNeedsSaveAs);
    tree.root().list().setSourceFile(tree.root().list().AddNewScene(), "/v/a.avi");
    session.unsavedChanges = true;
    ASSERT_EQ(saveProjectAs(session, dir.file("new.txt"), SaveFilter::Project, tree.root().list(), ui), 1);
    EXPECT_EQ(session.projectPath, dir.file("new.scn"));
    EXPECT_FALSE(session.unsavedChanges);
    ProjectVersion version;
    ASSERT_TRUE(readProjectVersion(dir.file("new.txt"), version));
    EXPECT_EQ(version, ProjectVersion::V31);

    ui.expectQuestion(app::loadString(139) + "\nFile: " + dir.file("new.txt"), Answer::No);
    EXPECT_EQ(saveProjectAs(session, dir.file("new.txt"), SaveFilter::Csv, tree.root().list(), ui), 0);
    EXPECT_EQ(ui.messages().back().text, app::loadString(175));

    ASSERT_EQ(saveProjectAs(session, dir.file("list.avs"), SaveFilter::AvsAviSource, tree.root().list(), ui), 1);
    EXPECT_NE(test::readTextFile(dir.file("list.avs")).find("AviSource"), std::string::npos);
    ASSERT_EQ(saveProject(session, ui), 1);
    EXPECT_TRUE(app::fileExists(dir.file("new.scn")));
    EXPECT_EQ(saveProjectAs(session, dir.file("gone/x.scn"), SaveFilter::Project, tree.root().list(), ui), -1);
    EXPECT_EQ(ui.messages().back().text, app::loadString(107) + "\nFile: " + dir.file("gone/x.scn"));
}

TEST_F(ProjectSessionTest, AutobackupRewritesEveryTickAndTouchesNoFlag) {
    settings.writeInt("BackupIntervall", 5);
    EXPECT_EQ(autobackupIntervalMs(settings), 300000);
    session.projectPath = dir.file("mine.scn");
    EXPECT_EQ(autobackupSave(session, ui), 1);
    std::string backup = dir.file("autobackup.scn");
    EXPECT_EQ(autobackupPath(settings), backup);
    ASSERT_TRUE(app::fileExists(backup));
    ::unlink(backup.c_str());
    EXPECT_EQ(autobackupSave(session, ui), 1);  // nothing changed: written all the same
    EXPECT_TRUE(app::fileExists(backup));
    EXPECT_EQ(session.projectPath, dir.file("mine.scn"));
    EXPECT_FALSE(session.unsavedChanges);
    settings.writeInt("EnableBackup", 0);
    EXPECT_EQ(autobackupIntervalMs(settings), 0);
}

TEST_F(ProjectSessionTest, StartupRecoversTheBackupAndOpensTheGivenProject) {
    std::string backup = makeProject("autobackup.scn");
    std::string given = makeProject("given.scn");
    ui.expectQuestion(app::loadString(428), Answer::No);
    openAtStartup(session, given, ui);
    EXPECT_TRUE(ui.hasMessage(app::loadString(127)));
    EXPECT_TRUE(session.unsavedChanges);
    EXPECT_EQ(tree.root().list().count(), 2);  // both contents in the tree
    EXPECT_EQ(tree.root().childCount(), 2);
}

TEST_F(ProjectSessionTest, StartupDropsTheBackupOnYesAndRefusesOldFiles) {
    makeProject("autobackup.scn");
    SceneList flat;
    flat.setSourceFile(flat.AddNewScene(), "/v/a.avi");
    ASSERT_EQ(writeFlatFile(dir.file("old.scn"), flat), 1);
    ui.expectQuestion(app::loadString(428), Answer::Yes);
    openAtStartup(session, dir.file("old.scn"), ui);
    EXPECT_FALSE(app::fileExists(dir.file("autobackup.scn")));
    EXPECT_EQ(ui.messages().back().text, app::loadString(429));
    EXPECT_EQ(tree.totalScenes(), 0);
}

}  // namespace
}  // namespace klemora::scene
