#include "scene/source_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/string_table.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

using app::Answer;
using test::ScriptedUserInterface;
using test::TempDir;

class SourceCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::mkdir(dir.file("moved").c_str(), 0755);
        for (const char* name : {"a.avi", "b.avi", "c.avi"}) test::writeTextFile(dir.file(std::string("moved/") + name), "x");
        list.setGroupName("Start");
    }
    void addScene(const std::string& path) { list.setSourceFile(list.AddNewScene(), path); }
    TempDir dir;
    SceneList list;
    SourceSearch search;
    ScriptedUserInterface ui;
};

TEST_F(SourceCheckTest, FoundFilesNeedNoQuestion) {
    addScene(dir.file("moved/a.avi"));
    addScene(dir.file("moved/a.avi"));
    EXPECT_EQ(checkSources(list, search, ui), SourceCheckResult::Completed);
    EXPECT_TRUE(ui.questions().empty());
}

TEST_F(SourceCheckTest, WindowsPathsAreFoundInTheChosenFolderForAllFollowingScenes) {
    addScene("C:\\Videos\\a.avi");
    addScene("C:\\Videos\\b.avi");
    addScene("/old/c.avi");
    ui.expectQuestion(app::loadString(330) + "\nGroup: Start\nFile: C:\\Videos\\a.avi", Answer::Yes);
    ui.expectDirectory(dir.file("moved"));
    ui.expectQuestion(app::loadString(331) + "\nGroup: Start\nPath: " + dir.file("moved") + "/", Answer::Yes);
    EXPECT_EQ(checkSources(list, search, ui), SourceCheckResult::Completed);
    EXPECT_EQ(list.sourceFile(0), dir.file("moved/a.avi"));
    EXPECT_EQ(list.sourceFile(1), dir.file("moved/b.avi"));
    EXPECT_EQ(list.sourceFile(2), dir.file("moved/c.avi"));
    EXPECT_EQ(search.alternativeFolder, dir.file("moved") + "/");
}

TEST_F(SourceCheckTest, OnlyThisSceneMovesAndTheFolderServesLaterScenes) {
    addScene("/old/a.avi");
    addScene("/old/b.avi");
    ui.expectQuestion(app::loadString(330), Answer::Yes);
    ui.expectDirectory(dir.file("moved"));
    ui.expectQuestion(app::loadString(331), Answer::No);
    EXPECT_EQ(checkSources(list, search, ui), SourceCheckResult::Completed);
    // b.avi was found through the alternative folder without a question.
    EXPECT_EQ(list.sourceFile(1), dir.file("moved/b.avi"));
    EXPECT_EQ(ui.questions().size(), 2u);
}

TEST_F(SourceCheckTest, NoSkipsCancelEndsAndAnEmptyChoiceGoesOn) {
    addScene("/old/x.avi");
    addScene("/old/y.avi");
    addScene("/old/z.avi");
    ui.expectQuestion("x.avi", Answer::No);
    ui.expectQuestion("y.avi", Answer::Yes);  // no folder chosen
    ui.expectQuestion("z.avi", Answer::Cancel);
    EXPECT_EQ(checkSources(list, search, ui), SourceCheckResult::Cancelled);
    EXPECT_EQ(list.sourceFile(1), "/old/y.avi");
}

TEST_F(SourceCheckTest, TheSameWrongFolderTwiceMovesOn) {
    addScene("/old/missing.avi");
    ui.alwaysAnswer("missing.avi", Answer::Yes);
    ui.expectDirectory(dir.file("moved"));
    ui.expectDirectory(dir.file("moved"));
    EXPECT_EQ(checkSources(list, search, ui), SourceCheckResult::Completed);
    EXPECT_EQ(ui.questions().size(), 2u);
}

class FakeProbe : public SourceProbe {
public:
    int probe(const std::string& path, SourceFacts& facts) override {
        ++calls;
        if (path.find("bad") != std::string::npos) return -7;
        facts.frameCount = 250;
        facts.framesPerSecond = 29.97f;
        facts.dvType = 2;
        facts.videoFourcc = "dvsd";
        facts.wideScreen = true;
        return 1;
    }
    int calls = 0;
};

TEST_F(SourceCheckTest, ProbeFillsTheFactsOncePerFile) {
    addScene("/v/a.avi");
    addScene("/v/a.avi");
    FakeProbe probe;
    EXPECT_TRUE(probeSources(list, probe, ui));
    EXPECT_EQ(probe.calls, 1);
    EXPECT_EQ(list.fileLastFrame(1), 249);
    EXPECT_FLOAT_EQ(list.framesPerSecond(1), 29.97f);
    EXPECT_EQ(list.dvType(1), 2);
    EXPECT_EQ(list.videoFourcc(1), "dvsd");
    EXPECT_EQ(list.wideScreen(1), 1);
}

TEST_F(SourceCheckTest, ProbeFailuresAskToGoOnExceptAtTheLastScene) {
    addScene("/v/bad1.avi");
    addScene("/v/a.avi");
    addScene("/v/bad2.avi");
    FakeProbe probe;
    ui.expectQuestion(app::loadString(107) + " " + app::loadString(114) + "\nFile: /v/bad1.avi\nCode: -7", Answer::Yes);
    EXPECT_TRUE(probeSources(list, probe, ui));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, app::loadString(107) + "\nFile: /v/bad2.avi\nCode: -7");

    ScriptedUserInterface stop;
    stop.expectQuestion("bad1", Answer::No);
    EXPECT_FALSE(probeSources(list, probe, stop));
}

}  // namespace
}  // namespace klemora::scene
