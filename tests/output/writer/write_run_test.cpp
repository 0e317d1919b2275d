// The write runs over the group tree: a folder per group, %M across groups,
// the AviSynth refusal, deleting sources only after a clean run, and the
// one-file run with its shutdown.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "app/settings_store.h"
#include "avi/avi_reader.h"
#include "output/write_run.h"
#include "output/write_run_settings.h"
#include "scene/group_tree.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/recording_power.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using app::Answer;

class WriteRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = dir.file("tape.avi");
        ASSERT_TRUE(makeDvSource(source, 2, false, 30));
        dest = dir.file("out") + "/";
        ASSERT_EQ(::mkdir(dest.c_str(), 0755), 0);
        for (int i = 0; i < 3; ++i) addScene(tree.root().list(), source, i * 3, i * 3 + 2);
        scene::Group& year = tree.addGroup(nullptr, "2006");
        scene::Group& holiday = tree.addGroup(&year, "Urlaub");
        addScene(holiday.list(), source, 20, 24);
        addScene(holiday.list(), source, 25, 29);
    }

    output::WriteRunRequest request(ScriptedUserInterface& ui) {
        output::WriteRunRequest r(tree, ui);
        r.settings.destinationPath = dest;
        r.settings.formatString = "%M3_%G";
        return r;
    }

    TempDir dir;
    std::string source, dest;
    scene::GroupTree tree;
};

TEST_F(WriteRunTest, GroupsGetFoldersAndTheNumberRunsOnAcrossGroups) {
    ScriptedUserInterface ui;
    output::WriteRunRequest r = request(ui);
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    ASSERT_EQ(outcome.result, 1) << ui.allMessages();
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(filesIn(dest), (std::vector<std::string>{"001_Start.avi", "002_Start.avi", "003_Start.avi", "2006"}));
    EXPECT_TRUE(filesIn(dest + "2006") == std::vector<std::string>{"Urlaub"});
    EXPECT_EQ(filesIn(dest + "2006/Urlaub"), (std::vector<std::string>{"004_Urlaub.avi", "005_Urlaub.avi"}));
    EXPECT_EQ(outcome.writtenFiles.size(), 5u);
    EXPECT_EQ(tree.root().list().nameTemplate(), "%M3_%G");
    EXPECT_EQ(ui.progressOpened, 1);
    EXPECT_EQ(ui.progressClosed, 1);
    EXPECT_EQ(output::groupDirectory("/d/", *tree.root().child(0)->child(0)), "/d/2006/Urlaub/");
}

// The settings dialog saving other names and switches while the run goes on
// changes nothing in it; the run's lines go to the log it was handed.
TEST_F(WriteRunTest, TheRunKeepsItsStartSettingsAndWritesToItsOwnLog) {
    app::SettingsStore store(dir.file("Klemora.ini"));
    store.writeText("FormatString", "%M3_%G");
    store.writeText("Destinationpath", dest);
    TempDir logs;
    // Each scene's progress source is a moment inside the run.
    struct ChangingUi : ScriptedUserInterface {
        const app::SettingsStore* store = nullptr;
        int changes = 0;
        void setProgressSource(std::string_view text) override {
            ScriptedUserInterface::setProgressSource(text);
            store->writeText("FormatString", "changed_%N3");
            store->writeText("Destinationpath", "/nowhere/");
            store->writeInt("DeleteSrcFiles", 1);
            ++changes;
        }
    } ui;
    ui.store = &store;
    output::WriteRunRequest r(tree, ui);
    r.settings = output::readWriteRunSettings(store);
    r.writerOptions.log = app::DebugLog(1, logs.path());
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    ASSERT_EQ(outcome.result, 1) << ui.allMessages();
    EXPECT_GE(ui.changes, 5);
    EXPECT_EQ(filesIn(dest), (std::vector<std::string>{"001_Start.avi", "002_Start.avi", "003_Start.avi", "2006"}));
    EXPECT_EQ(filesIn(dest + "2006/Urlaub"), (std::vector<std::string>{"004_Urlaub.avi", "005_Urlaub.avi"}));
    EXPECT_TRUE(app::fileExists(source));

    std::string log = readTextFile(logs.file("klemoradbg.log"));
    size_t written = 0;
    for (size_t at = log.find("AviWriter: "); at != std::string::npos; at = log.find("AviWriter: ", at + 1))
        ++written;
    EXPECT_EQ(written, 5u) << log;
    EXPECT_EQ(app::processDebugLog().level(), 0);
}

TEST_F(WriteRunTest, SourcesAreDeletedOnlyAfterACleanRun) {
    ScriptedUserInterface ui;
    ui.expectQuestion("unwiederbringlich gelöscht", Answer::Ok);
    output::WriteRunRequest r = request(ui);
    r.settings.deleteSourceFiles = true;
    r.settings.signal = true;
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    EXPECT_EQ(outcome.deletedSources, std::vector<std::string>{source});
    EXPECT_FALSE(app::fileExists(source));
    EXPECT_EQ(ui.beeps(), 1);
}

TEST_F(WriteRunTest, AFailedSceneKeepsTheSourcesEvenWhenTheRunWentOn) {
    addScene(tree.root().list(), dir.file("missing.avi"), 0, 1);
    scene::SceneList& root = tree.root().list();
    root.moveRecord(3, 0);  // the failure is not on the group's last scene
    ScriptedUserInterface ui;
    ui.expectQuestion("Mit der restlichen Bearbeitung", Answer::Yes);
    output::WriteRunRequest r = request(ui);
    r.settings.deleteSourceFiles = true;
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    EXPECT_EQ(outcome.scenesFailed, 1);
    EXPECT_TRUE(outcome.deletedSources.empty());
    EXPECT_TRUE(app::fileExists(source));
}

TEST_F(WriteRunTest, AnAviSynthSourceStopsTheRunBeforeItsGroup) {
    addScene(tree.root().child(0)->child(0)->list(), dir.file("script.AVS"), 0, 1);
    ScriptedUserInterface ui;
    ui.expectQuestion("AviSynth", Answer::Cancel);
    output::WriteRunRequest r = request(ui);
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    EXPECT_EQ(outcome.result, static_cast<int>(output::WriteRunResult::AviSynthSource));
    EXPECT_EQ(outcome.writtenFiles.size(), 3u);
    EXPECT_TRUE(filesIn(dest + "2006/Urlaub").empty());
}

TEST_F(WriteRunTest, EmptyTemplateAndDestinationAreReported) {
    ScriptedUserInterface ui;
    output::WriteRunRequest r = request(ui);
    r.settings.destinationPath.clear();
    r.settings.formatString.clear();
    // Without a destination the group folders are made in the working folder.
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_TRUE(ui.hasMessage("Bitte ein Zielverzeichnis")) << ui.allMessages();
    EXPECT_TRUE(ui.hasMessage("Es wird der Defaultwert gesetzt."));
    EXPECT_TRUE(app::fileExists(dir.file("tape_001.avi")));  // beside the source
    EXPECT_TRUE(app::fileExists(dir.file("2006/Urlaub/tape_001.avi")));
    EXPECT_EQ(outcome.result, 1);
}

TEST_F(WriteRunTest, OneFilePerGroupAndThenTheShutdown) {
    ScriptedUserInterface ui;
    RecordingPower power;
    scene::SceneList mainList;
    mainList.setModified(true);
    output::WriteRunRequest r = request(ui);
    r.settings.shutdown = true;
    r.power = &power;
    r.mainList = &mainList;
    output::WriteRunOutcome outcome = output::WriteScenes1File(r);
    EXPECT_EQ(outcome.result, 1) << ui.allMessages();
    EXPECT_EQ(filesIn(dest), (std::vector<std::string>{"Start.avi", "Urlaub.avi"}));  // "2006" holds no scene
    avi::AviReader joined;
    ASSERT_EQ(joined.Open(dest + "Urlaub.avi", "r"), 1);
    EXPECT_EQ(joined.GetFrameCount(), 10);
    EXPECT_EQ(power.requests, 1);
    EXPECT_TRUE(outcome.shutdownRequested);
    EXPECT_FALSE(mainList.modified());

    ScriptedUserInterface noFolder;
    output::WriteRunRequest without = request(noFolder);
    without.settings.destinationPath.clear();
    EXPECT_EQ(output::WriteScenes1File(without).result, static_cast<int>(output::WriteRunResult::NoDestination));
}

// Frames of a file as the reader counts them; -1 when it does not open.
int32_t framesOf(const std::string& path) {
    avi::AviReader reader;
    return reader.Open(path, "r") == 1 ? reader.GetFrameCount() : -1;
}

TEST_F(WriteRunTest, ADestinationThatIsASourceIsRefusedAndTheRunGoesOn) {
    // dest/1.avi is another name of the tape: a scene named 1.avi would destroy it.
    ASSERT_EQ(::link(source.c_str(), (dest + "1.avi").c_str()), 0);
    scene::GroupTree own;
    addScene(own.root().list(), source, 0, 9);
    addScene(own.root().list(), source, 10, 19);
    for (output::OverwriteMode mode : {output::OverwriteMode::Ask, output::OverwriteMode::Replace}) {
        ScriptedUserInterface ui;  // no question may come: the refusal needs no answer
        output::WriteRunRequest r(own, ui);
        r.settings.destinationPath = dest;
        r.settings.formatString = "%N1";
        r.settings.deleteSourceFiles = true;
        r.overwriteMode = mode;
        output::WriteRunOutcome outcome = output::OnBtWritestart(r);
        EXPECT_TRUE(ui.hasMessage("Quelldatei dieses Laufs")) << ui.allMessages();
        EXPECT_EQ(outcome.scenesFailed, 1);
        EXPECT_EQ(outcome.writtenFiles, std::vector<std::string>{dest + "2.avi"});
        EXPECT_TRUE(outcome.deletedSources.empty());
        EXPECT_FALSE(output::writeRunSucceeded(outcome, true));
        EXPECT_EQ(framesOf(source), 30);
        EXPECT_EQ(framesOf(dest + "2.avi"), 10);
    }
}

TEST_F(WriteRunTest, CollidingNamesRefuseTheRunBeforeAnythingIsWritten) {
    for (output::OverwriteMode mode : {output::OverwriteMode::Ask, output::OverwriteMode::Replace}) {
        ScriptedUserInterface ui;
        output::WriteRunRequest r = request(ui);
        r.settings.formatString = "%G";  // the root's three scenes all become Start.avi
        r.overwriteMode = mode;
        output::WriteRunOutcome outcome = output::OnBtWritestart(r);
        EXPECT_EQ(outcome.result, static_cast<int>(output::WriteRunResult::NamesCollide));
        EXPECT_TRUE(ui.hasMessage("denselben Dateinamen")) << ui.allMessages();
        EXPECT_TRUE(ui.hasMessage(dest + "Start.avi")) << ui.allMessages();
        EXPECT_TRUE(outcome.writtenFiles.empty());
        EXPECT_TRUE(filesIn(dest).empty());
        EXPECT_FALSE(output::writeRunSucceeded(outcome, false));
    }
    // Groups of the same name under one parent share a folder, so their %N names collide too.
    scene::GroupTree twins;
    for (int g = 0; g < 2; ++g) addScene(twins.addGroup(nullptr, "Urlaub").list(), source, g * 5, g * 5 + 4);
    ScriptedUserInterface ui;
    output::WriteRunRequest r(twins, ui);
    r.settings.destinationPath = dest;
    r.settings.formatString = "%N3";
    EXPECT_EQ(output::OnBtWritestart(r).result, static_cast<int>(output::WriteRunResult::NamesCollide));
    EXPECT_TRUE(ui.hasMessage(dest + "Urlaub/001.avi")) << ui.allMessages();
    // The one-file run names a file per group: two groups "Urlaub" would share one.
    ScriptedUserInterface joinedUi;
    output::WriteRunRequest joined(twins, joinedUi);
    joined.settings.destinationPath = dest;
    EXPECT_EQ(output::WriteScenes1File(joined).result, static_cast<int>(output::WriteRunResult::NamesCollide));
    EXPECT_TRUE(filesIn(dest).empty());
}

TEST_F(WriteRunTest, TheOneFileRunNeverReplacesASource) {
    scene::GroupTree own;
    addScene(own.addGroup(nullptr, "tape").list(), source, 0, 9);
    ScriptedUserInterface ui;
    ui.alwaysAnswer("Mit der restlichen Bearbeitung", Answer::Yes);
    output::WriteRunRequest r(own, ui);
    r.settings.destinationPath = dir.path();  // tape.avi there is the source
    output::WriteRunOutcome outcome = output::WriteScenes1File(r);
    EXPECT_TRUE(ui.hasMessage("Quelldatei dieses Laufs")) << ui.allMessages();
    EXPECT_TRUE(outcome.errors);
    EXPECT_EQ(framesOf(source), 30);
}

TEST_F(WriteRunTest, OnlySourcesWhoseEveryScenePassedAreDeleted) {
    std::string other = dir.file("other.avi");
    ASSERT_TRUE(makeDvSource(other, 2, false, 20));
    scene::GroupTree own;
    scene::SceneList& list = own.root().list();
    addScene(list, source, 0, 9, 1);
    addScene(list, other, 0, 9, 1);
    addScene(list, other, 10, 19, 0);  // not OK: not written with --ok-only, so other.avi must stay
    ScriptedUserInterface ui;
    ui.expectQuestion("unwiederbringlich gelöscht", Answer::Ok);
    output::WriteRunRequest r(own, ui);
    r.settings.destinationPath = dest;
    r.settings.formatString = "%N3";
    r.settings.okOnly = true;
    r.settings.deleteSourceFiles = true;
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    EXPECT_EQ(outcome.writtenFiles.size(), 2u) << ui.allMessages();
    EXPECT_EQ(outcome.deletedSources, std::vector<std::string>{source});
    EXPECT_TRUE(app::fileExists(other));
}

TEST_F(WriteRunTest, AShortSceneFailsTheRunAndKeepsItsSource) {
    std::string damaged = dir.file("damaged.avi");
    ASSERT_TRUE(makeDvSourceWithChunkSize(damaged, 100, 10, 0xFFFFFFF0u));
    scene::GroupTree own;
    addScene(own.root().list(), damaged, 0, 99);
    ScriptedUserInterface ui;
    ui.alwaysAnswer("Mit der restlichen Bearbeitung", Answer::Yes);
    ui.alwaysAnswer("unwiederbringlich gelöscht", Answer::Ok);
    output::WriteRunRequest r(own, ui);
    r.settings.destinationPath = dest;
    r.settings.formatString = "%N3";
    r.settings.deleteSourceFiles = true;
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    if (outcome.writtenFiles.empty()) {
        EXPECT_FALSE(output::writeRunSucceeded(outcome, false));
        EXPECT_TRUE(app::fileExists(damaged));
        EXPECT_TRUE(filesIn(dest).empty());
    } else {  // a reader that gets over the damage delivers the whole scene
        EXPECT_EQ(framesOf(dest + "001.avi"), 100) << ui.allMessages();
    }
}

TEST_F(WriteRunTest, KeepingEveryExistingFileWhenAskedIsNoSuccess) {
    ScriptedUserInterface first;
    output::WriteRunRequest r = request(first);
    ASSERT_TRUE(output::writeRunSucceeded(output::OnBtWritestart(r), true));
    ScriptedUserInterface ui;
    ui.expectQuestion("existiert schon", Answer::No);
    ui.expectQuestion("Mit der restlichen Bearbeitung", Answer::Yes);
    ui.expectQuestion("alle weiteren Vorkommen", Answer::Yes);  // skip all further ones
    output::WriteRunRequest again = request(ui);
    output::WriteRunOutcome outcome = output::OnBtWritestart(again);
    EXPECT_TRUE(outcome.writtenFiles.empty());
    EXPECT_EQ(outcome.keptExisting, 5);
    EXPECT_FALSE(output::writeRunSucceeded(outcome, true));
    EXPECT_TRUE(output::writeRunSucceeded(outcome, false));  // skipping was what the caller asked for
}

TEST_F(WriteRunTest, ThePlannedNamesAreTheWrittenOnes) {
    std::vector<output::PlannedSceneFile> planned = output::planSceneFiles(tree, "%M3_%G", dest, false);
    ScriptedUserInterface ui;
    output::WriteRunRequest r = request(ui);
    output::WriteRunOutcome outcome = output::OnBtWritestart(r);
    ASSERT_EQ(planned.size(), outcome.writtenFiles.size());
    for (size_t i = 0; i < planned.size(); ++i) EXPECT_EQ(planned[i].path, outcome.writtenFiles[i]);
    EXPECT_EQ(output::runNameTemplate(output::WriteRunSettings{}), "%N3_%Q");
}

}  // namespace
}  // namespace klemora::test
