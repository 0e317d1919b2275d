// A Stop from another thread during each write run and additional
// function, as the desktop program's Stop button gives it while the run
// works on a worker: the run ends with its stop result and leaves only
// complete files under final names.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/file_io.h"
#include "avi/avi_reader.h"
#include "output/datestamp_run.h"
#include "output/picture_sequence.h"
#include "output/speed_copy.h"
#include "output/split_file.h"
#include "output/write_run.h"
#include "tests/avi/writer/writer_test_support.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/cancel_from_thread.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

constexpr int kFrames = 300;
constexpr int kStopAt = 100;

// Frames of a complete AVI file; -1 when our reader cannot open it.
int32_t framesOf(const std::string& path) {
    avi::AviReader reader;
    if (reader.Open(path, "r") != 1) return -1;
    return reader.GetFrameCount();
}

class RunCancel : public ::testing::Test {
protected:
    void SetUp() override {
        source = dir.file("tape.avi");
        ASSERT_TRUE(makeDvSource(source, 2, false, kFrames));
        dest = dir.file("out") + "/";
        ASSERT_EQ(::mkdir(dest.c_str(), 0755), 0);
    }

    // Every file in the destination is complete: our reader opens it and
    // ffmpeg decodes each of its frames.
    void expectOnlyCompleteFiles() {
        for (const std::string& name : filesIn(dest)) {
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
            int32_t frames = framesOf(dest + name);
            EXPECT_GT(frames, 0) << name;
            if (haveFfmpegTools()) EXPECT_EQ(decodedFrames(dest + name), frames) << name;
        }
    }

    TempDir dir;
    std::string source, dest;
};

TEST_F(RunCancel, TheSceneRunKeepsTheStoppedSceneAsAShorterCompleteFile) {
    scene::GroupTree tree;
    addScene(tree.root().list(), source, 0, kFrames - 1);
    addScene(tree.root().list(), source, 0, 9);
    CancelFromThread ui(kStopAt);
    output::WriteRunRequest request(tree, ui);
    request.settings.destinationPath = dest;
    request.settings.formatString = "%M3";
    output::WriteRunOutcome outcome;
    ui.runAndCancel([&] { outcome = output::OnBtWritestart(request); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.completed);
    ASSERT_EQ(filesIn(dest), std::vector<std::string>{"001.avi"});
    EXPECT_GE(framesOf(dest + "001.avi"), kStopAt);
    EXPECT_LT(framesOf(dest + "001.avi"), kFrames);
    expectOnlyCompleteFiles();
    EXPECT_TRUE(ui.cancelled());
}

TEST_F(RunCancel, TheSceneRunOfTheCommandLineDropsTheStoppedScene) {
    scene::GroupTree tree;
    addScene(tree.root().list(), source, 0, kFrames - 1);
    CancelFromThread ui(kStopAt);
    output::WriteRunRequest request(tree, ui);
    request.settings.destinationPath = dest;
    request.settings.formatString = "%M3";
    request.keepStoppedPart = false;
    output::WriteRunOutcome outcome;
    ui.runAndCancel([&] { outcome = output::OnBtWritestart(request); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(filesIn(dest).empty());
}

TEST_F(RunCancel, TheOneFileRunEndsWithTheGroupInHand) {
    scene::GroupTree tree;
    addScene(tree.root().list(), source, 0, kFrames - 1);
    scene::Group& later = tree.addGroup(nullptr, "later");
    addScene(later.list(), source, 0, 9);
    CancelFromThread ui(kStopAt);
    output::WriteRunRequest request(tree, ui);
    request.settings.destinationPath = dest;
    output::WriteRunOutcome outcome;
    ui.runAndCancel([&] { outcome = output::WriteScenes1File(request); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_TRUE(outcome.cancelled);
    std::vector<std::string> written = filesIn(dest);
    ASSERT_EQ(written.size(), 1u);  // the root group's file, never the later group's
    EXPECT_NE(written[0], "later.avi");
    EXPECT_GE(framesOf(dest + written[0]), kStopAt);
    EXPECT_LT(framesOf(dest + written[0]), kFrames);
    expectOnlyCompleteFiles();
}

TEST_F(RunCancel, SplitWritesNoPartAfterTheStop) {
    CancelFromThread ui(kStopAt);
    output::WriteContext context(ui);
    output::SplitRequest request;
    request.framesPerPart = kFrames / 2;
    request.destinationDirectory = dest;
    int result = 0;
    ui.runAndCancel([&] { result = output::SplitFiles({source}, request, context); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_EQ(result, 1);  // a stopped write run keeps the part written so far
    EXPECT_TRUE(context.cancelled());
    std::vector<std::string> parts = filesIn(dest);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_GE(framesOf(dest + parts[0]), kStopAt);
    EXPECT_LT(framesOf(dest + parts[0]), kFrames / 2);
    expectOnlyCompleteFiles();
}

TEST_F(RunCancel, ASpeedCopyEndsWithItsStopResult) {
    CancelFromThread ui(kStopAt / 4);
    output::WriteContext context(ui);
    int result = 0;
    std::string other = dir.file("other.avi");
    ASSERT_TRUE(makeDvSource(other, 2, false, 20));
    ui.runAndCancel([&] { result = output::SpeedCopies({source, other}, 2.0f, dest, context); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_EQ(result, static_cast<int>(output::SpeedCopyResult::Cancelled));
    for (const std::string& name : filesIn(dest)) EXPECT_EQ(name.find("other"), std::string::npos) << name;
    expectOnlyCompleteFiles();
}

TEST_F(RunCancel, ThePictureSequenceStopsWithinTheFile) {
    CancelFromThread ui(kStopAt / 10);
    int result = 0;
    std::string clip = dir.file("clip.avi");
    ASSERT_TRUE(makeDvSource(clip, 2, false, 40));
    ui.runAndCancel([&] { result = output::SavePictureSequences({clip, source}, dest, ui); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_EQ(result, static_cast<int>(output::PictureSequenceResult::Cancelled));
    std::vector<std::string> pictures = filesIn(dest);
    EXPECT_GE(pictures.size(), static_cast<size_t>(kStopAt / 10));
    EXPECT_LT(pictures.size(), 40u);
    for (const std::string& name : pictures) EXPECT_EQ(name.rfind("clip_f", 0), 0u) << name;
}

TEST_F(RunCancel, TheDatestampRunFinishesTheFileInHandAndNoOther) {
    std::vector<std::string> files;
    for (const char* name : {"a.avi", "b.avi", "c.avi"}) {
        files.push_back(dir.file(name));
        ASSERT_TRUE(makeDvSource(files.back(), 2, false, 30));
    }
    const std::optional<std::string> untouched = app::readWholeFile(files[2]);
    CancelFromThread ui(1);  // the second file comes up
    output::DatestampRunOutcome outcome;
    scene::RecordingTime start = localTime("2010-05-01 12:00:00");
    ui.runAndCancel([&] { outcome = output::StampFiles(files, start, 1, ui); });
    ASSERT_TRUE(ui.stopArrived());
    EXPECT_EQ(outcome.result, static_cast<int>(output::DatestampRunResult::Cancelled));
    ASSERT_EQ(outcome.files.size(), 2u);
    for (const output::StampedFile& file : outcome.files) EXPECT_EQ(file.result, 1) << file.path;
    EXPECT_EQ(app::readWholeFile(files[2]), untouched);
}

}  // namespace
}  // namespace klemora::test
