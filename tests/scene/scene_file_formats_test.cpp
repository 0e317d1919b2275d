#include "scene/scene_file_formats.h"

#include <gtest/gtest.h>

#include "app/file_io.h"
#include "app/settings_store.h"
#include "tests/scene/fake_probe.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

TEST(SceneFileFormats, TheNameWinsOverTheExtensionWhichDecidesOtherwise) {
    EXPECT_EQ(saveFilterFor("/x/a.SCN", ""), SaveFilter::Project);
    EXPECT_EQ(saveFilterFor("a.Csv", ""), SaveFilter::Csv);
    EXPECT_EQ(saveFilterFor("a.txt", ""), SaveFilter::Edl56);
    EXPECT_EQ(saveFilterFor("a.AVS", ""), SaveFilter::AvsAviSource);
    EXPECT_EQ(saveFilterFor("a.txt", "edl4"), SaveFilter::Edl4);
    EXPECT_EQ(saveFilterFor("a.scn", "avs-directshowsource"), SaveFilter::AvsDirectShowSource);
    EXPECT_EQ(saveFilterFor("a.avs", "avs-avifilesource"), SaveFilter::AvsAviFileSource);
    // A dot in a folder name is no extension; unknown names and extensions are refused.
    EXPECT_EQ(saveFilterFor("/x.csv/list", ""), std::nullopt);
    EXPECT_EQ(saveFilterFor("a.csv", "CSV"), std::nullopt);
    EXPECT_EQ(saveFilterFor("a.doc", ""), std::nullopt);
    EXPECT_EQ(saveFormatNames(), "scn, csv, edl4, edl56, avs-avisource, avs-avifilesource, avs-directshowsource");
}

TEST(SceneFileFormats, OnlyCsvAndTxtAreImports) {
    EXPECT_EQ(loadFilterFor("a.CSV"), LoadFilter::Csv);
    EXPECT_EQ(loadFilterFor("a.txt"), LoadFilter::Edl);
    EXPECT_EQ(loadFilterFor("a.scn"), LoadFilter::Project);
    EXPECT_EQ(loadFilterFor("a.scn.bak"), LoadFilter::Project);
    EXPECT_EQ(loadFilterFor("noextension"), LoadFilter::Project);
}

TEST(SceneFileFormats, WritesTheRootListInTheChosenFormat) {
    test::TempDir dir;
    app::SettingsStore settings{dir.file("Klemora.ini")};
    GroupTree tree;
    test::FakeProbe probe;
    ProjectSession session{tree, settings, probe};
    test::ScriptedUserInterface ui;
    SceneList& root = tree.root().list();
    int i = root.AddNewScene();
    root.setSourceFile(i, dir.file("a.avi"));
    root.setStopFrame(i, 24);
    ASSERT_EQ(writeSceneFile(session, dir.file("list.csv"), *saveFilterFor(dir.file("list.csv"), ""), ui), 1)
        << ui.allMessages();
    std::optional<std::string> text = app::readWholeFile(dir.file("list.csv"));
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("a.avi"), std::string::npos);
}

}  // namespace
}  // namespace klemora::scene
