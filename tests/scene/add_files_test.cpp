#include "scene/add_files.h"

#include <gtest/gtest.h>

#include "scene/status_line.h"
#include "tests/scene/fake_probe.h"
#include "tests/support/scripted_ui.h"

namespace klemora::scene {
namespace {

using test::FakeProbe;
using test::ScriptedUserInterface;

TEST(AddFiles, TheFilesComeInCaseInsensitiveOrderEachCoveringItsWholeFile) {
    FakeProbe probe;
    for (const char* path : {"/v/B.avi", "/v/a.avi", "/v/C.avi"}) probe.facts(path).frameCount = 100;
    SourceFacts& a = probe.facts("/v/a.avi");
    a.frameCount = 250;
    a.framesPerSecond = 29.97f;
    a.dvType = 2;
    a.openDmlKind = 1;
    a.wideScreen = true;
    a.videoFourcc = "dvsd";
    a.firstRecordingTime.seconds = 5;
    a.firstTimecode.frames = 4;
    SceneList list;
    ScriptedUserInterface ui;

    EXPECT_EQ(addWholeFiles(list, {"/v/B.avi", "/v/a.avi", "/v/C.avi"}, probe, ui), 3);

    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.sourceFile(0), "/v/a.avi");
    EXPECT_EQ(list.sourceFile(1), "/v/B.avi");
    EXPECT_EQ(list.sourceFile(2), "/v/C.avi");
    EXPECT_EQ(list.startFrame(0), 0);
    EXPECT_EQ(list.stopFrame(0), 249);
    EXPECT_EQ(list.definedStop(0), 249);
    EXPECT_EQ(list.fileLastFrame(0), 249);
    EXPECT_FLOAT_EQ(list.framesPerSecond(0), 29.97f);
    EXPECT_EQ(list.dvType(0), 2);
    EXPECT_EQ(list.openDmlKind(0), 1);
    EXPECT_EQ(list.wideScreen(0), 1);
    EXPECT_EQ(list.videoFourcc(0), "dvsd");
    EXPECT_EQ(list.recordingTime(0).seconds, 5);
    EXPECT_EQ(list.timecode(0).frames, 4);
    EXPECT_TRUE(ui.messages().empty());
}

TEST(AddFiles, AFileThatCannotBeProbedIsReportedAndLeftOut) {
    FakeProbe probe;
    probe.facts("/v/good.avi");
    probe.failureCode = -7;
    SceneList list;
    ScriptedUserInterface ui;

    EXPECT_EQ(addWholeFiles(list, {"/v/broken.avi", "/v/good.avi"}, probe, ui), 1);

    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.sourceFile(0), "/v/good.avi");
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find("File: /v/broken.avi\nCode: -7"), std::string::npos);
}

TEST(AddFiles, AFullListEndsTheAddingWithItsMessage) {
    FakeProbe probe;
    probe.succeedForAll = true;
    SceneList list;
    for (int i = 0; i < kMaxScenes - 1; ++i) list.AddNewScene();
    ScriptedUserInterface ui;

    EXPECT_EQ(addWholeFiles(list, {"/v/1.avi", "/v/2.avi", "/v/3.avi"}, probe, ui), 1);

    EXPECT_EQ(list.count(), kMaxScenes);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find("AddNewScene()!\nCode: -1"), std::string::npos);
    EXPECT_EQ(probe.calls.size(), 2u);
}

TEST(AddFiles, StopEndsTheAddingBetweenFiles) {
    FakeProbe probe;
    probe.succeedForAll = true;
    SceneList list;
    ScriptedUserInterface ui;
    ui.requestCancel();
    EXPECT_EQ(addWholeFiles(list, {"/v/1.avi", "/v/2.avi"}, probe, ui), 0);
    EXPECT_TRUE(probe.calls.empty());
}

TEST(AddFiles, AProbeTheStopEndedIsNoFailureOfTheFile) {
    // The Stop arrives while the first file is read.
    struct StoppedProbe : SourceProbe {
        app::UserInterface* ui = nullptr;
        int probe(const std::string&, SourceFacts&) override {
            ui->requestCancel();
            return -34;
        }
    } probe;
    ScriptedUserInterface ui;
    probe.ui = &ui;
    SceneList list;
    EXPECT_EQ(addWholeFiles(list, {"/v/1.avi", "/v/2.avi"}, probe, ui), 0);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(list.count(), 0);
}

TEST(StatusLine, CountsTheSelectionTheShownGroupAndTheWholeProject) {
    GroupTree tree;
    Group& other = tree.addGroup(nullptr, "Urlaub");
    other.list().setStopFrame(other.list().AddNewScene(), 49);  // 50 frames
    tree.root().list().AddNewScene();  // the root's stored list is older than the shown copy
    SceneList shown;
    for (int stop : {24, 74, 99}) {
        int i = shown.AddNewScene();
        shown.setStopFrame(i, stop);
    }
    const int selected[] = {0, 2};

    std::string text = statusLineText(shown, selected, tree, &tree.root());

    EXPECT_EQ(text, "Markiert in Gruppe: 2 (00:00:05:00)          Gesamt in Gruppe: 3 (00:00:08:00)          "
                    "Projekt: 4 (00:00:10:00)");
}

TEST(StatusLine, AnEmptyListCountsAt25FramesPerSecond) {
    GroupTree tree;
    SceneList shown;
    EXPECT_EQ(statusLineText(shown, {}, tree, &tree.root()),
              "Markiert in Gruppe: 0 (00:00:00:00)          Gesamt in Gruppe: 0 (00:00:00:00)          "
              "Projekt: 0 (00:00:00:00)");
}

}  // namespace
}  // namespace klemora::scene
