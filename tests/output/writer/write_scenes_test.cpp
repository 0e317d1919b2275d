// WriteScenes: names (template or "%s_s%03d"), the destination folder, the
// progress text, the overwrite questions and modes, and the failure rule.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/file_io.h"
#include "avi/avi_reader.h"
#include "output/write_context.h"
#include "output/write_scenes.h"
#include "scene/scene_list.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using app::Answer;

int32_t framesOf(const std::string& path) {
    avi::AviReader reader;
    return reader.Open(path, "r") == 1 ? reader.GetFrameCount() : -1;
}

class WriteScenesTest : public ::testing::Test {
protected:
    void SetUp() override {
        a = dir.file("a.avi");
        b = dir.file("b.avi");
        ASSERT_TRUE(makeDvSource(a, 2, false, 20));
        ASSERT_TRUE(makeDvSource(b, 1, false, 10));
        out = dir.file("out");
        ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
    }
    TempDir dir;
    std::string a, b, out;
};

TEST_F(WriteScenesTest, NamesFromTheSourceRestartTheNumberPerSource) {
    scene::SceneList list;
    addScene(list, a, 0, 9);
    addScene(list, a, 10, 19);
    addScene(list, b, 0, 9);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    context.destinationDirectory = out + "/";
    context.nameFromSource = true;
    ASSERT_EQ(output::WriteScenes(context, list, 0), 1) << ui.allMessages();
    EXPECT_EQ(filesIn(out), (std::vector<std::string>{"a_s001.avi", "a_s002.avi", "b_s001.avi"}));
    EXPECT_EQ(framesOf(out + "/a_s002.avi"), 10);
    EXPECT_EQ(ui.progressDestination, out + "/b_s001.avi    (3/3)");
    EXPECT_EQ(ui.progressSource, b);
}

TEST_F(WriteScenesTest, TemplateNamesAndTheSourceFolderWithoutDestination) {
    scene::SceneList list;
    list.setNameTemplate("%Q_%M2");
    addScene(list, a, 0, 4);
    addScene(list, b, 2, 3);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    ASSERT_EQ(output::WriteScenes(context, list, 7), 1) << ui.allMessages();
    EXPECT_EQ(framesOf(dir.file("a_08.avi")), 5);
    EXPECT_EQ(framesOf(dir.file("b_09.avi")), 2);
}

TEST_F(WriteScenesTest, ExistingFilesAreAskedForThenSkippedOrReplacedForAll) {
    scene::SceneList list;
    list.setNameTemplate("%N1");
    for (int i = 0; i < 4; ++i) addScene(list, a, i, i + 1);
    for (int i = 1; i <= 4; ++i) writeTextFile(out + "/" + std::to_string(i) + ".avi", "old");
    ScriptedUserInterface ui;
    ui.expectQuestion("Die Datei existiert schon!", Answer::No);       // scene 1: keep it
    ui.expectQuestion("Mit der restlichen Bearbeitung", Answer::Yes);  // go on
    ui.expectQuestion("für alle weiteren Vorkommen", Answer::No);      // only this time
    ui.expectQuestion("Die Datei existiert schon!", Answer::Yes);      // scene 2: replace
    ui.expectQuestion("für alle weiteren Vorkommen", Answer::Yes);     // and all further ones
    output::WriteContext context(ui);
    context.destinationDirectory = out;
    ASSERT_EQ(output::WriteScenes(context, list, 0), 1) << ui.allMessages();
    EXPECT_EQ(readTextFile(out + "/1.avi"), "old");
    for (int i = 2; i <= 4; ++i) EXPECT_EQ(framesOf(out + "/" + std::to_string(i) + ".avi"), 2) << i;
    EXPECT_EQ(context.overwriteMode, output::OverwriteMode::Replace);

    ScriptedUserInterface skipping;
    output::WriteContext skipAll(skipping);
    skipAll.destinationDirectory = out;
    skipAll.overwriteMode = output::OverwriteMode::Skip;
    writeTextFile(out + "/2.avi", "kept");
    ASSERT_EQ(output::WriteScenes(skipAll, list, 0), 1);
    EXPECT_EQ(readTextFile(out + "/2.avi"), "kept");
    EXPECT_TRUE(skipAll.writtenFiles.empty());
}

TEST_F(WriteScenesTest, DecliningTheLastSceneEndsWithMinus3) {
    scene::SceneList list;
    list.setNameTemplate("x");
    addScene(list, a, 0, 1);
    writeTextFile(out + "/x.avi", "old");
    ScriptedUserInterface ui;
    ui.expectQuestion("Die Datei existiert schon!", Answer::No);
    output::WriteContext context(ui);
    context.destinationDirectory = out;
    EXPECT_EQ(output::WriteScenes(context, list, 0), -3);
    EXPECT_EQ(readTextFile(out + "/x.avi"), "old");
}

TEST_F(WriteScenesTest, FailuresAskToGoOnExceptOnTheLastScene) {
    scene::SceneList list;
    list.setNameTemplate("%N1");
    addScene(list, dir.file("missing.avi"), 0, 1);
    addScene(list, a, 0, 1);
    addScene(list, dir.file("missing.avi"), 0, 1);
    ScriptedUserInterface ui;
    ui.expectQuestion("Mit der restlichen Bearbeitung", Answer::Yes);
    output::WriteContext context(ui);
    context.destinationDirectory = out;
    EXPECT_EQ(output::WriteScenes(context, list, 0), -4);
    EXPECT_TRUE(ui.hasMessage("WriteScene()!\nScene: 3\nFile: " + out + "/3.avi\nCode: -60")) << ui.allMessages();
    EXPECT_EQ(context.failedScenes, 2);
    EXPECT_EQ(filesIn(out), std::vector<std::string>{"2.avi"});

    ScriptedUserInterface stopping;
    stopping.expectQuestion("Mit der restlichen Bearbeitung", Answer::No);
    output::WriteContext stop(stopping);
    stop.destinationDirectory = out;
    EXPECT_EQ(output::WriteScenes(stop, list, 0), 1);
}

TEST_F(WriteScenesTest, NameErrorsUseTheirOwnCodes) {
    scene::SceneList list;
    list.setNameTemplate("%C");
    addScene(list, a, 0, 1);
    list.setComment(0, "a:b");
    addScene(list, a, 0, 1);
    list.setComment(1, std::string(300, 'n'));
    ScriptedUserInterface ui;
    ui.expectQuestion("Mit der restlichen Bearbeitung", Answer::Yes);
    output::WriteContext context(ui);
    context.destinationDirectory = out;
    EXPECT_EQ(output::WriteScenes(context, list, 0), -2);
    EXPECT_TRUE(ui.hasMessage("Position: 2\nChar:    :")) << ui.allMessages();
    EXPECT_TRUE(ui.hasMessage("Der generierte Name der Datei ist zu lang!"));

    ScriptedUserInterface stopping;
    stopping.expectQuestion("Mit der restlichen Bearbeitung", Answer::No);
    output::WriteContext stop(stopping);
    stop.destinationDirectory = out;
    EXPECT_EQ(output::WriteScenes(stop, list, 0), -10);
    EXPECT_TRUE(filesIn(out).empty());
}

}  // namespace
}  // namespace klemora::test
