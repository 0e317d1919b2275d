// A detection run over several files: the settings that reach the
// detector, the questions before and between files, and the unattended end
// with AutoScan.scn and the shutdown.
#include "detect/picture_detection_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "detect/picture_scene_search.h"
#include "scene/project_file.h"
#include "tests/detect/dv_detection_support.h"
#include "tests/support/recording_power.h"

namespace klemora::detect {
namespace {

using test::Span;
using test::spansOf;

fixtures::DvFixtureOptions twoSessions(int first, int second) {
    fixtures::DvFixtureOptions options;
    options.sessions = {test::session(test::stamp(2006, 7, 1, 10, 0, 0), first),
                        test::session(test::stamp(2006, 7, 1, 11, 0, 0), second)};
    return options;
}

class PictureDetectionRunTest : public ::testing::Test {
protected:
    PictureDetectionRunTest() : store(dir.file("Klemora.ini")), detector(ui) {
        settings.trimCount = 0;
        first = test::writeRecording(dir, "first.avi", twoSessions(100, 100));
        second = test::writeRecording(dir, "second.avi", twoSessions(120, 80));
    }

    PictureDetectionResult run(const std::vector<std::string>& files) {
        std::vector<SearchSource> sources;
        for (const std::string& file : files) sources.push_back({file, 0, INT32_MAX});
        return RunPictureDetection(sources, scenes, detector, settings, power);
    }

    test::TempDir dir;
    app::SettingsStore store;
    test::ScriptedUserInterface ui;
    PictureDiffDetector detector;
    scene::SceneList scenes;
    PictureDetectionSettings settings;
    test::RecordingPower power;
    std::string first, second;
};

TEST_F(PictureDetectionRunTest, SettingsAsStoredAndAsTheDialogListsGiveThemBack) {
    PictureDetectionSettings fresh = readPictureDetectionSettings(store);
    EXPECT_EQ(fresh.detectionSetting, 2);
    EXPECT_EQ(fresh.minFrameCount, 75);
    EXPECT_EQ(fresh.trimCount, 1);
    EXPECT_TRUE(fresh.variant1);
    EXPECT_FALSE(fresh.variant2 || fresh.variant3 || fresh.shutdown || fresh.log);
    EXPECT_EQ(fresh.weightMode, 0);

    store.writeInt("DetectionSetting", 7);
    store.writeInt("TrimCount", 100);
    store.writeInt("MinFrameCount", 0);
    store.writeInt("Alg1", 0);
    store.writeInt("Alg3", 1);
    store.writeInt("WeightMode", 2);
    store.writeInt("AutocutShutdown", 1);
    store.writeInt("DbgDetLogEnabled", 1);
    PictureDetectionSettings stored = readPictureDetectionSettings(store);
    EXPECT_EQ(stored.detectionSetting, -1);
    EXPECT_EQ(stored.trimCount, -1);
    EXPECT_EQ(stored.minFrameCount, 1);
    EXPECT_FALSE(stored.variant1);
    EXPECT_TRUE(stored.variant3 && stored.shutdown && stored.log);

    loadDetector(detector, stored);
    EXPECT_EQ(detector.preset(), (PicturePreset{100, 30, 32, 0.2}));
    EXPECT_FALSE(detector.trim);
    EXPECT_EQ(detector.weightMode, WeightMode::Outer);
    EXPECT_TRUE(detector.logEnabled);

    stored.detectionSetting = kCustomPreset;
    stored.trimCount = 5;
    store.writeInt("Blocksize", 16);
    store.writeText("FixRatio", "4 / 3");
    stored.customPreset = readPictureDetectionSettings(store).customPreset;
    stored.fixRatio = readPictureDetectionSettings(store).fixRatio;
    store.writeInt("Blocksize", 8);  // after the run's start: not used
    stored.debugLog = app::DebugLog(2, dir.path());
    loadDetector(detector, stored);
    EXPECT_EQ(detector.preset(), (PicturePreset{100, 30, 16, 0.2}));
    EXPECT_EQ(detector.fixRatio, "4 / 3");
    EXPECT_TRUE(detector.debugLog.tracing());
    EXPECT_EQ(detector.debugLog.folder(), dir.path());
    EXPECT_TRUE(detector.trim);
    EXPECT_EQ(detector.trimWidth, 5);
}

TEST_F(PictureDetectionRunTest, NoVariantNoRun) {
    settings.variant1 = false;
    scenes.AddNewScene();
    PictureDetectionResult result = run({first});
    EXPECT_FALSE(result.started);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Es muss mindestens eine Erkennungsvariante ausgewählt werden!");
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Information);
    EXPECT_EQ(scenes.count(), 1);
    EXPECT_EQ(ui.progressOpened, 0);
}

TEST_F(PictureDetectionRunTest, FoundScenesAreDroppedOnlyWhenTheUserAgrees) {
    ASSERT_TRUE(run({first}).started);
    ASSERT_EQ(scenes.count(), 2);
    ui.expectQuestion("Es sind erkannte Szenen vorhanden", app::Answer::Cancel);
    EXPECT_FALSE(run({second}).started);
    EXPECT_EQ(std::string(scenes.record(0)->sourceFile), first);

    ui.expectQuestion("Es sind erkannte Szenen vorhanden", app::Answer::Ok);
    PictureDetectionResult result = run({second});
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.lastResult, 1);
    EXPECT_EQ(spansOf(scenes), (std::vector<Span>{{0, 119}, {120, 199}}));
    EXPECT_TRUE(scenes.modified());
    EXPECT_EQ(ui.progressOpened, 2);
    EXPECT_EQ(ui.progressClosed, 2);
    EXPECT_EQ(ui.progressSource, second);
    EXPECT_FALSE(detector.progressAttached);
}

TEST_F(PictureDetectionRunTest, AFailingFileAsksWhetherToGoOn) {
    const std::string missing = dir.file("gone.avi");
    ui.expectQuestion("Mit der restlichen Bearbeitung fortfahren?", app::Answer::Yes);
    PictureDetectionResult result = run({first, missing, second});
    EXPECT_EQ(result.failedFiles, 1);
    EXPECT_EQ(result.lastResult, 1);
    EXPECT_EQ(result.sceneCount, 4);
    EXPECT_TRUE(ui.hasMessage("Fehler in SearchScenes()!\nFile: " + missing + "\nCode: -1"));

    // No: the scenes found so far are dropped and the run ends.
    ui.expectQuestion("Es sind erkannte Szenen vorhanden", app::Answer::Ok);
    ui.expectQuestion("Mit der restlichen Bearbeitung fortfahren?", app::Answer::No);
    result = run({first, missing, second});
    EXPECT_EQ(result.lastResult, -1);
    EXPECT_EQ(scenes.count(), 0);

    // The last file failing leaves nothing to ask about.
    result = run({first, missing});
    EXPECT_EQ(result.lastResult, -1);
    EXPECT_EQ(scenes.count(), 2);
    EXPECT_FALSE(ui.unansweredQuestionsLeft());
}

TEST_F(PictureDetectionRunTest, StoppingEndsTheRunWithoutShutdown) {
    test::ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.path().c_str());
    settings.shutdown = true;
    ui.onPump = [](test::ScriptedUserInterface& seam) { seam.requestCancel(); };
    PictureDetectionResult result = run({first, second});
    EXPECT_EQ(result.lastResult, 2);
    ASSERT_EQ(scenes.count(), 1);
    EXPECT_EQ(std::string(scenes.record(0)->sourceFile), first);
    EXPECT_EQ(power.requests, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("AutoScan.scn")));
}

TEST_F(PictureDetectionRunTest, ASuccessfulRunSavesAutoScanAndSwitchesOff) {
    test::ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.path().c_str());
    settings.shutdown = true;
    PictureDetectionResult result = run({first, second});
    EXPECT_TRUE(result.shutDown);
    EXPECT_EQ(power.requests, 1);
    scene::SceneList saved;
    ASSERT_EQ(scene::readFlatFile(dir.file("AutoScan.scn"), saved), 1);
    EXPECT_EQ(spansOf(saved), spansOf(scenes));
    EXPECT_EQ(saved.count(), 4);
}

TEST_F(PictureDetectionRunTest, NoDocumentsFolderNoShutdown) {
    test::ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.file("missing").c_str());
    test::ScopedEnv home("HOME", dir.file("missing").c_str());
    settings.shutdown = true;
    PictureDetectionResult result = run({first});
    EXPECT_FALSE(result.shutDown);
    EXPECT_EQ(power.requests, 0);
    EXPECT_TRUE(ui.hasMessage("Can't receive MyDocumentsPath. Please contact the autor of Klemora."));
}

}  // namespace
}  // namespace klemora::detect
