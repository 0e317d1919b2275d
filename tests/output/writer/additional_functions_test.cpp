// Split by frames or seconds, speed copies and their names, the settings of
// the additional functions, and the picture sequence.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/file_io.h"
#include "app/settings_store.h"
#include "avi/avi_reader.h"
#include "output/additional_settings.h"
#include "output/picture_sequence.h"
#include "output/speed_copy.h"
#include "output/split_file.h"
#include "tests/avi/writer/writer_test_support.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using Parts = std::vector<std::pair<int32_t, int32_t>>;

TEST(SplitParts, FixedLengthsWithTheLastPartEndingAtTheLastFrame) {
    EXPECT_EQ(output::splitParts(1000, 300), (Parts{{0, 299}, {300, 599}, {600, 899}, {900, 999}}));
    EXPECT_EQ(output::splitParts(600, 300), (Parts{{0, 299}, {300, 599}}));
    EXPECT_EQ(output::splitParts(5, 300), (Parts{{0, 4}}));
    EXPECT_TRUE(output::splitParts(0, 300).empty());
    EXPECT_EQ(output::partLengthFrames(0, 10, 25.0f), 250);
    EXPECT_EQ(output::partLengthFrames(0, 10, 29.97f), 299);
    EXPECT_EQ(output::partLengthFrames(300, 0, 29.97f), 300);
}

TEST(SplitParts, InterFramePartsBeginOnTheNextKeyFrame) {
    std::vector<bool> keys(100, false);
    for (int frame : {0, 25, 50, 75}) keys[static_cast<size_t>(frame)] = true;
    // 30-frame parts: 30 moves to 50, 60 to 75, and 90 finds no key frame left.
    EXPECT_EQ(output::alignPartsToKeyFrames(output::splitParts(100, 30), keys), (Parts{{0, 49}, {50, 74}, {75, 99}}));
    // 10-frame parts: several boundaries meet on one key frame, each part once.
    EXPECT_EQ(output::alignPartsToKeyFrames(output::splitParts(100, 10), keys),
              (Parts{{0, 24}, {25, 49}, {50, 74}, {75, 99}}));
    EXPECT_EQ(output::alignPartsToKeyFrames(output::splitParts(100, 25), keys), output::splitParts(100, 25));
    EXPECT_EQ(output::alignPartsToKeyFrames(output::splitParts(100, 30), {}), output::splitParts(100, 30));
}

TEST(SplitFiles, InterFrameDvIndexFlagsMovePartsToKeyFrames) {
    TempDir dir;
    std::string gop = dir.file("gop.avi");
    ASSERT_TRUE(makeKeyFrameEveryTenSource(gop, 40));
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    output::SplitRequest request;
    request.framesPerPart = 15;
    request.destinationDirectory = dir.file("parts");
    ASSERT_EQ(::mkdir(request.destinationDirectory.c_str(), 0755), 0);
    ASSERT_EQ(output::SplitFiles({gop}, request, context), 1) << ui.allMessages();
    EXPECT_EQ(context.failedScenes, 0);
    EXPECT_TRUE(ui.hasMessage("nächsten Schlüsselbild")) << ui.allMessages();
    std::vector<int32_t> lengths;
    for (const std::string& part : context.writtenFiles) {
        avi::AviReader reader;
        ASSERT_EQ(reader.Open(part, "r"), 1);
        lengths.push_back(reader.GetFrameCount());
    }
    EXPECT_EQ(lengths, (std::vector<int32_t>{20, 10, 10}));  // 0-19, 20-29, 30-39
}

TEST(SplitFiles, WritesEachPartWithExactlyItsFrames) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
    TempDir dir;
    std::string clip = dir.file("clip.avi"), out = dir.file("parts");
    ASSERT_TRUE(makeDvSource(clip, 2, false, 60));
    ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
    std::vector<std::string> sums = videoPacketMd5s(clip);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    output::SplitRequest request;
    request.framesPerPart = 25;
    request.destinationDirectory = out + "/";
    ASSERT_EQ(output::SplitFiles({clip}, request, context), 1) << ui.allMessages();
    EXPECT_EQ(filesIn(out), (std::vector<std::string>{"clip_001.avi", "clip_002.avi", "clip_003.avi"}));
    EXPECT_EQ(videoPacketMd5s(out + "/clip_003.avi"), std::vector<std::string>(sums.begin() + 50, sums.end()));
    EXPECT_EQ(videoPacketMd5s(out + "/clip_002.avi"), std::vector<std::string>(sums.begin() + 25, sums.begin() + 50));

    request.framesPerPart = 0;
    request.secondsPerPart = 2;  // 50 frames
    request.nameFromSource = true;
    ASSERT_EQ(output::SplitFiles({clip}, request, context), 1) << ui.allMessages();
    EXPECT_EQ(videoPacketMd5s(out + "/clip_s002.avi"), std::vector<std::string>(sums.begin() + 50, sums.end()));
}

TEST(SplitFiles, NeedsExactlyOneOfTheTwoValues) {
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    output::SplitRequest request;
    EXPECT_EQ(output::SplitFiles({"x.avi"}, request, context), -1);
    EXPECT_TRUE(ui.hasMessage("Nichts zu tun."));
    request.framesPerPart = 10;
    request.secondsPerPart = 1;
    EXPECT_EQ(output::SplitFiles({"x.avi"}, request, context), -2);
    EXPECT_TRUE(ui.hasMessage("Nur einer der Werte darf grösser als 0 sein!"));
}

TEST(SpeedCopies, NamesCarryTheFactorAndTheFramesFollowIt) {
    EXPECT_EQ(output::speedCopyPath("/v/clip.avi", "/out/", 0.5f), "/out/clip_f0.500.avi");
    EXPECT_EQ(output::speedCopyPath("/v/clip.avi", "", 2.0f), "/v/clip_f2.000.avi");
    TempDir dir;
    std::string clip = dir.file("clip.avi");
    ASSERT_TRUE(makeDvSource(clip, 1, false, 30));
    writeTextFile(dir.file("clip_f2.000.avi"), "old");
    ScriptedUserInterface ui;
    ui.expectQuestion("Die Datei existiert schon!", app::Answer::No);
    output::WriteContext context(ui);
    ASSERT_EQ(output::SpeedCopies({clip}, 0.5f, dir.path(), context), 1) << ui.allMessages();
    ASSERT_EQ(output::SpeedCopies({clip}, 2.0f, dir.path(), context), 1) << ui.allMessages();
    avi::AviReader slow;
    ASSERT_EQ(slow.Open(dir.file("clip_f0.500.avi"), "r"), 1);
    EXPECT_EQ(slow.GetFrameCount(), 60);
    EXPECT_EQ(slow.GetDvType(), 1);
    EXPECT_EQ(readTextFile(dir.file("clip_f2.000.avi")), "old");

    EXPECT_EQ(output::SpeedCopies({clip}, 0.0005f, dir.path(), context), -1);
    EXPECT_TRUE(ui.hasMessage("[0.001->100.0]"));
}

TEST(AdditionalSettings, LimitsAndTextForms) {
    TempDir dir;
    app::SettingsStore store(dir.file("Klemora.ini"));
    store.writeInt("SplitCount", 100);
    store.writeInt("SplitTime", 5);
    store.writeText("SpeedFactor", "250");
    output::AdditionalSettings s = output::readAdditionalSettings(store);
    EXPECT_EQ(s.splitCount, 0);
    EXPECT_EQ(s.splitTime, 0);
    EXPECT_FLOAT_EQ(s.speedFactor, 100.0f);
    EXPECT_EQ(s.formatString, "%Q_%N3");
    s.speedFactor = 0.25f;
    output::writeAdditionalSettings(store, s);
    EXPECT_EQ(store.readText("SpeedFactor", ""), "0.250");
    float factor = 0;
    EXPECT_FALSE(output::parseSpeedFactor("1,5", factor));
    EXPECT_TRUE(output::parseSpeedFactor(" 1.5 ", factor));
    EXPECT_FLOAT_EQ(factor, 1.5f);
}

TEST(PictureSequence, EveryFrameOfEachFileBecomesAPicture) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
    TempDir dir;
    std::string clip = dir.file("clip.avi"), out = dir.file("pictures");
    ASSERT_TRUE(makeMjpegSource(clip, 4));
    ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
    ScriptedUserInterface ui;
    ui.expectQuestion("Mit der restlichen Bearbeitung", app::Answer::Yes);
    EXPECT_EQ(output::SavePictureSequences({dir.file("missing.avi"), clip}, out, {}, ui), 1);
    EXPECT_TRUE(ui.hasMessage("SaveSceneAsBMP()!\nFile: " + dir.file("missing.avi"))) << ui.allMessages();
    EXPECT_EQ(filesIn(out),
              (std::vector<std::string>{"clip_f00000.bmp", "clip_f00001.bmp", "clip_f00002.bmp", "clip_f00003.bmp"}));
}

}  // namespace
}  // namespace klemora::test
