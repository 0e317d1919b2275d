// WriteScene: the frames start..stop bit for bit (ffmpeg's packet MD5s), the
// DV type kept, the sound cut to the same time range, the length and speed
// rules, Stop, and the failure cases that must leave nothing behind.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "avi/avi_reader.h"
#include "output/file_dates.h"
#include "output/scene_writer.h"
#include "output/write_context.h"
#include "output/write_result.h"
#include "tests/avi/writer/writer_test_support.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using output::WriteContext;
using output::WriteScene;

struct SourceCase {
    const char* name;
    int kind;  // 1, 2: DV type; 3: MJPEG
    bool ntsc;
};

std::ostream& operator<<(std::ostream& out, const SourceCase& c) { return out << c.name; }

class WriteSceneBySource : public ::testing::TestWithParam<SourceCase> {
protected:
    void SetUp() override {
        if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
        const SourceCase& c = GetParam();
        source = dir.file("source.avi");
        bool made = c.kind == 3 ? makeMjpegSource(source, 60) : makeDvSource(source, c.kind, c.ntsc, 60);
        ASSERT_TRUE(made);
        sourceSums = videoPacketMd5s(source);
        ASSERT_EQ(sourceSums.size(), 60u);
    }

    TempDir dir;
    std::string source;
    std::vector<std::string> sourceSums;
};

TEST_P(WriteSceneBySource, CopiesExactlyTheFramesOfTheSceneAndKeepsTheType) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    std::string out = dir.file("scene.avi");
    ASSERT_EQ(WriteScene(source, out, context, 7, 31, 1.0f), 1) << ui.allMessages();
    std::vector<std::string> sums = videoPacketMd5s(out);
    EXPECT_EQ(sums, std::vector<std::string>(sourceSums.begin() + 7, sourceSums.begin() + 32));
    EXPECT_EQ(decodedFrames(out), 25);

    avi::AviReader in, written;
    ASSERT_EQ(in.Open(source, "r"), 1);
    ASSERT_EQ(written.Open(out, "r"), 1);
    EXPECT_EQ(written.GetDvType(), in.GetDvType());
    EXPECT_EQ(written.streams().size(), in.streams().size());
    for (size_t i = 0; i < in.streams().size(); ++i) {
        EXPECT_EQ(written.streams()[i].type, in.streams()[i].type);
        EXPECT_EQ(written.streams()[i].format, in.streams()[i].format);
    }
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"scene.avi", "source.avi"}));
    EXPECT_EQ(context.writtenFiles, std::vector<std::string>{out});
}

TEST_P(WriteSceneBySource, CutsPcmSoundAtTheSamplesOfTheSameTimeRange) {
    if (GetParam().kind == 1) GTEST_SKIP() << "type 1 carries its sound inside the DV frames";
    ScriptedUserInterface ui;
    WriteContext context(ui);
    std::string out = dir.file("scene.avi");
    ASSERT_EQ(WriteScene(source, out, context, 3, 12, 1.0f), 1) << ui.allMessages();
    std::vector<uint8_t> all = pcmBytes(source), cut = pcmBytes(out);
    int64_t rateNum = GetParam().ntsc ? 30000 : 25, rateDen = GetParam().ntsc ? 1001 : 1;
    int64_t sampleRate = GetParam().kind == 3 ? 44100 : 48000;
    int64_t block = GetParam().kind == 3 ? 2 : 4;
    int64_t first = samplesAt(3, rateNum, rateDen, sampleRate), end = samplesAt(13, rateNum, rateDen, sampleRate);
    ASSERT_GE(static_cast<int64_t>(all.size()), end * block);
    EXPECT_EQ(cut, std::vector<uint8_t>(all.begin() + first * block, all.begin() + end * block));
}

TEST_P(WriteSceneBySource, NegativeFramesMeanFromTheStartAndToTheEnd) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    ASSERT_EQ(WriteScene(source, dir.file("head.avi"), context, -1, 9, 1.0f), 1) << ui.allMessages();
    EXPECT_EQ(videoPacketMd5s(dir.file("head.avi")), std::vector<std::string>(sourceSums.begin(), sourceSums.begin() + 10));
    ASSERT_EQ(WriteScene(source, dir.file("tail.avi"), context, 50, -1, 1.0f), 1) << ui.allMessages();
    EXPECT_EQ(videoPacketMd5s(dir.file("tail.avi")), std::vector<std::string>(sourceSums.begin() + 50, sourceSums.end()));
}

TEST_P(WriteSceneBySource, SpeedCopiesPickSourceFramesAndKeepTheRate) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    ASSERT_EQ(WriteScene(source, dir.file("slow.avi"), context, 10, 19, 0.5f), 1) << ui.allMessages();
    ASSERT_EQ(WriteScene(source, dir.file("fast.avi"), context, 10, 29, 2.0f), 1) << ui.allMessages();
    std::vector<std::string> slow = videoPacketMd5s(dir.file("slow.avi")), fast = videoPacketMd5s(dir.file("fast.avi"));
    ASSERT_EQ(slow.size(), 20u);
    for (size_t i = 0; i < slow.size(); ++i) EXPECT_EQ(slow[i], sourceSums[10 + i / 2]) << i;
    ASSERT_EQ(fast.size(), 10u);
    for (size_t i = 0; i < fast.size(); ++i) EXPECT_EQ(fast[i], sourceSums[10 + 2 * i]) << i;
    if (GetParam().kind != 1) {
        // The sound lasts as long as the pictures: 20 frames of it, resampled.
        int64_t rateNum = GetParam().ntsc ? 30000 : 25, rateDen = GetParam().ntsc ? 1001 : 1;
        int64_t sampleRate = GetParam().kind == 3 ? 44100 : 48000, block = GetParam().kind == 3 ? 2 : 4;
        EXPECT_EQ(static_cast<int64_t>(pcmBytes(dir.file("slow.avi")).size()),
                  samplesAt(20, rateNum, rateDen, sampleRate) * block);
    }
    auto probed = probeStreams(dir.file("slow.avi"));
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->front().frameRate, GetParam().ntsc ? "30000/1001" : "25/1");
}

INSTANTIATE_TEST_SUITE_P(Sources, WriteSceneBySource,
                         ::testing::Values(SourceCase{"DvType1Pal", 1, false}, SourceCase{"DvType2Pal", 2, false},
                                           SourceCase{"DvType2Ntsc", 2, true}, SourceCase{"Mjpeg", 3, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class WriteSceneDv : public ::testing::Test {
protected:
    void SetUp() override {
        source = dir.file("clip.avi");
        ASSERT_TRUE(makeDvSource(source, 2, false, 40));
    }
    TempDir dir;
    std::string source;
};

TEST_F(WriteSceneDv, OneFrameIsWrittenButTwiceItsSpeedIsTooShort) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    ASSERT_EQ(WriteScene(source, dir.file("one.avi"), context, 5, 5, 1.0f), 1) << ui.allMessages();
    avi::AviReader one;
    ASSERT_EQ(one.Open(dir.file("one.avi"), "r"), 1);
    EXPECT_EQ(one.GetFrameCount(), 1);

    EXPECT_EQ(WriteScene(source, dir.file("fast.avi"), context, 5, 5, 2.0f), -1);
    EXPECT_TRUE(ui.hasMessage("WriteScene()!\nmediaDuration/speedFactor: 0.025")) << ui.allMessages();
    EXPECT_TRUE(ui.hasMessage("WriteScene()!\nCode: -1"));
    EXPECT_FALSE(app::fileExists(dir.file("fast.avi")));
}

TEST_F(WriteSceneDv, FactorsCloseToOneDoNotStretch) {
    for (float factor : {0.999f, 1.002f, 0.998f}) {
        ScriptedUserInterface ui;
        WriteContext context(ui);
        std::string out = dir.file("near.avi");
        ASSERT_EQ(WriteScene(source, out, context, 0, 19, factor), 1) << ui.allMessages();
        avi::AviReader written;
        ASSERT_EQ(written.Open(out, "r"), 1);
        EXPECT_EQ(written.GetFrameCount(), 20) << factor;
    }
    EXPECT_FLOAT_EQ(output::clampSpeedFactor(0.0f), 0.001f);
    EXPECT_FALSE(output::speedCountsAsOne(1.0021f));
}

TEST_F(WriteSceneDv, StopClosesAShorterCompleteFile) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
    std::vector<std::string> sums = videoPacketMd5s(source);
    ScriptedUserInterface ui;
    ui.cancelAtPosition(12);
    WriteContext context(ui);
    context.pollFrames = 4;
    std::string out = dir.file("stopped.avi");
    ASSERT_EQ(WriteScene(source, out, context, 0, 39, 1.0f), 1) << ui.allMessages();
    std::vector<std::string> written = videoPacketMd5s(out);
    EXPECT_EQ(written.size(), 12u);
    EXPECT_EQ(written, std::vector<std::string>(sums.begin(), sums.begin() + 12));
    EXPECT_EQ(decodedFrames(out), 12);
}

TEST_F(WriteSceneDv, AnUnreadableSourceWritesNothing) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    writeTextFile(dir.file("text.avi"), "not a RIFF file");
    writeTextFile(dir.file("dest.avi"), "old");
    EXPECT_EQ(WriteScene(dir.file("missing.avi"), dir.file("dest.avi"), context, 0, 5, 1.0f), -60);
    EXPECT_EQ(WriteScene(dir.file("text.avi"), dir.file("dest.avi"), context, 0, 5, 1.0f), -60);
    EXPECT_TRUE(ui.hasMessage("\nFile: " + dir.file("missing.avi") + "\nCode: ")) << ui.allMessages();
    EXPECT_EQ(readTextFile(dir.file("dest.avi")), "old");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"clip.avi", "dest.avi", "text.avi"}));
}

// Frames of a written file as the reader counts them; -1 when it does not open.
int32_t framesOf(const std::string& path) {
    avi::AviReader reader;
    return reader.Open(path, "r") == 1 ? reader.GetFrameCount() : -1;
}

// Whatever the reader makes of a damaged source, a written scene holds
// every frame asked for (up to the frames the reader counts); anything
// shorter fails and leaves no file.
void expectWholeOrNothing(const std::string& source, const std::string& out, int32_t start, int32_t stop) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    int rc = WriteScene(source, out, context, start, stop, 1.0f);
    int32_t counted = framesOf(source);
    int32_t wanted = std::min(stop, counted - 1) - start + 1;
    if (rc == 1) {
        EXPECT_EQ(framesOf(out), wanted) << ui.allMessages();
        if (haveFfmpegTools()) {
            EXPECT_EQ(decodedFrames(out), wanted);
        }
    } else {
        EXPECT_EQ(rc, static_cast<int>(output::WriteSceneResult::SourceShort)) << ui.allMessages();
        EXPECT_TRUE(ui.hasMessage("weniger Bilder")) << ui.allMessages();
        EXPECT_FALSE(app::fileExists(out));
    }
    EXPECT_EQ(context.writtenFiles.size(), rc == 1 ? 1u : 0u);
}

TEST_F(WriteSceneDv, ACutOffSourceGivesWholeScenesOrNone) {
    fixtures::DvFixtureOptions options;
    options.sessions = {{fixtures::defaultSessionStart(), 40, std::nullopt}};
    options.truncateInsideFrame = 20;
    std::string cut = dir.file("cut.avi");
    ASSERT_TRUE(makeDvSource(cut, options));
    expectWholeOrNothing(cut, dir.file("part.avi"), 10, 30);
    ScriptedUserInterface ui;
    WriteContext context(ui);
    EXPECT_LT(WriteScene(cut, dir.file("none.avi"), context, 25, 30, 1.0f), 0);
    EXPECT_FALSE(app::fileExists(dir.file("none.avi")));
    // part.avi only when it was written whole (checked above); no temporary.
    for (const std::string& name : filesIn(dir.path()))
        EXPECT_TRUE(name == "clip.avi" || name == "cut.avi" || name == "part.avi") << name;
}

TEST_F(WriteSceneDv, ADamagedChunkSizeNeverGivesAShortSceneAsWritten) {
    std::string damaged = dir.file("damaged.avi");
    ASSERT_TRUE(makeDvSourceWithChunkSize(damaged, 100, 10, 0xFFFFFFF0u));
    expectWholeOrNothing(damaged, dir.file("scene.avi"), 0, 99);
    expectWholeOrNothing(damaged, dir.file("tail.avi"), 50, 99);
    EXPECT_FALSE(app::fileExists(dir.file("scene.avi")) && framesOf(dir.file("scene.avi")) != 100);
}

TEST_F(WriteSceneDv, AScenePastTheEndIsCutWithAWarningAndOneWithoutFramesFails) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    ASSERT_EQ(WriteScene(source, dir.file("cut.avi"), context, 30, 500, 1.0f), 1) << ui.allMessages();
    EXPECT_EQ(framesOf(dir.file("cut.avi")), 10);
    EXPECT_TRUE(ui.hasMessage("über das Ende der Quelldatei hinaus")) << ui.allMessages();
    EXPECT_TRUE(ui.hasMessage("Scene: 30-500\nFrames in the file: 40\nWritten: 30-39")) << ui.allMessages();
    EXPECT_EQ(ui.messages().back().icon, app::Icon::Warning);

    ScriptedUserInterface none;
    WriteContext noneContext(none);
    EXPECT_EQ(WriteScene(source, dir.file("none.avi"), noneContext, 150, 500, 1.0f), -1);
    EXPECT_TRUE(none.hasMessage("hinter dem Ende der Quelldatei")) << none.allMessages();
    EXPECT_FALSE(app::fileExists(dir.file("none.avi")));
}

TEST_F(WriteSceneDv, CutsOfInterFrameVideoStartOnKeyFrames) {
    std::string gop = dir.file("gop.avi");
    ASSERT_TRUE(makeKeyFrameEveryTenSource(gop, 30));
    ScriptedUserInterface ui;
    WriteContext context(ui);
    EXPECT_EQ(WriteScene(gop, dir.file("off.avi"), context, 5, 19, 1.0f),
              static_cast<int>(output::WriteSceneResult::StartNotKeyFrame));
    EXPECT_TRUE(ui.hasMessage("nicht auf einem Schlüsselbild")) << ui.allMessages();
    EXPECT_TRUE(ui.hasMessage("Frame: 5")) << ui.allMessages();
    EXPECT_FALSE(app::fileExists(dir.file("off.avi")));
    EXPECT_EQ(WriteScene(gop, dir.file("on.avi"), context, 10, 24, 1.0f), 1) << ui.allMessages();
    EXPECT_EQ(framesOf(dir.file("on.avi")), 15);
}

TEST_F(WriteSceneDv, TheDestinationIsNeverTheSourceItself) {
    std::string alias = dir.file("alias.avi");
    ASSERT_EQ(::link(source.c_str(), alias.c_str()), 0);
    ScriptedUserInterface ui;
    WriteContext context(ui);
    EXPECT_EQ(WriteScene(source, alias, context, 0, 9, 1.0f),
              static_cast<int>(output::WriteSceneResult::DestinationIsSource));
    EXPECT_TRUE(ui.hasMessage("Quelldatei dieses Laufs")) << ui.allMessages();
    EXPECT_EQ(framesOf(source), 40);
}

TEST_F(WriteSceneDv, AMissingDestinationFolderFailsAtTheFirstStep) {
    ScriptedUserInterface ui;
    WriteContext context(ui);
    EXPECT_EQ(WriteScene(source, dir.file("no/such/folder/out.avi"), context, 0, 5, 1.0f), -40);
    EXPECT_TRUE(ui.hasMessage("Fehler in WriteScene()!\nCode: -40\nSubCode: 0xfffffffe / ENOENT")) << ui.allMessages();
    EXPECT_FALSE(ui.hasMessage("DirectX")) << ui.allMessages();
}

TEST_F(WriteSceneDv, AFullFileSystemLeavesTheDestinationAndNoTemporaryFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    std::string mountPoint = dir.file("small");
    ::mkdir(mountPoint.c_str(), 0755);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=2m") != 0) GTEST_SKIP() << "tmpfs mount failed";
    std::string dest = mountPoint + "/dest.avi";
    writeTextFile(dest, "the old scene");
    ScriptedUserInterface ui;
    WriteContext context(ui);
    int rc = WriteScene(source, dest, context, 0, 39, 1.0f);  // about 6 MB into 2 MB
    std::vector<std::string> left = filesIn(mountPoint);
    std::string old = readTextFile(dest);
    ::umount(mountPoint.c_str());
    EXPECT_TRUE(rc == -50 || rc == -51) << rc;
    EXPECT_TRUE(ui.hasMessage("ENOSPC")) << ui.allMessages();
    EXPECT_EQ(left, std::vector<std::string>{"dest.avi"});
    EXPECT_EQ(old, "the old scene");
}

TEST(WriteSceneLayouts, ScenesAcrossOpenDmlSegmentsAndWithoutIndexAreCopied) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
    TempDir dir;
    std::string segmented = dir.file("segmented.avi"), plain = dir.file("noindex.avi");
    ASSERT_TRUE(makeDvSource(segmented, 2, false, 60, fixtures::OpenDmlLayout::Segments, 2u << 20));
    fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions = {{fixtures::defaultSessionStart(), 60, std::nullopt}};
    options.writeIdx1 = false;
    ASSERT_TRUE(makeDvSource(plain, options));
    for (const std::string& source : {segmented, plain}) {
        std::vector<std::string> sums = videoPacketMd5s(source);
        ASSERT_EQ(sums.size(), 60u);
        ScriptedUserInterface ui;
        WriteContext context(ui);
        context.writerOptions.segmentLimitBytes = 1u << 20;  // the output spans segments too
        std::string out = dir.file("out.avi");
        ASSERT_EQ(WriteScene(source, out, context, 9, 48, 1.0f), 1) << ui.allMessages();
        EXPECT_EQ(videoPacketMd5s(out), std::vector<std::string>(sums.begin() + 9, sums.begin() + 49)) << source;
        EXPECT_EQ(decodedFrames(out), 40) << source;
        if (source == segmented) {
            EXPECT_EQ(pcmBytes(out).size(), 40u * 1920 * 4);
        }
    }
}

// Key-frame flags of the packets as ffprobe lists them ("K" or not).
std::vector<bool> keyFlags(const std::string& path) {
    std::vector<bool> keys;
    auto out = runCommand("ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 " + shellQuote(path));
    if (!out) return keys;
    size_t at = 0;
    while (at < out->size()) {
        size_t end = out->find('\n', at);
        if (end == std::string::npos) end = out->size();
        if (end > at) keys.push_back((*out)[at] == 'K');
        at = end + 1;
    }
    return keys;
}

TEST(WriteSceneLayouts, InterFrameVideoKeepsItsKeyFlagsAndRefusesSpeedCopies) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
    TempDir dir;
    std::string source = dir.file("mpeg4.avi");
    ASSERT_TRUE(runCommand("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -frames:v 40 -c:v mpeg4 -g 10 " +
                           shellQuote(source) + " 2>&1"));
    std::vector<std::string> sums = videoPacketMd5s(source);
    std::vector<bool> keys = keyFlags(source);
    ASSERT_EQ(keys.size(), 40u);
    ScriptedUserInterface ui;
    WriteContext context(ui);
    std::string out = dir.file("scene.avi");
    ASSERT_EQ(WriteScene(source, out, context, 10, 29, 1.0f), 1) << ui.allMessages();
    EXPECT_EQ(videoPacketMd5s(out), std::vector<std::string>(sums.begin() + 10, sums.begin() + 30));
    EXPECT_EQ(keyFlags(out), std::vector<bool>(keys.begin() + 10, keys.begin() + 30));

    EXPECT_EQ(WriteScene(source, dir.file("fast.avi"), context, 10, 29, 2.0f), -62);
    EXPECT_TRUE(ui.hasMessage("Schlüsselbilder")) << ui.allMessages();
    EXPECT_FALSE(app::fileExists(dir.file("fast.avi")));
}

TEST(SetCreationDate, SetsBothTimesToTheLocalRecordingTime) {
    ScopedEnv tz("TZ", "Europe/Berlin");
    ::tzset();
    TempDir dir;
    std::string file = dir.file("scene.avi");
    writeTextFile(file, "x");
    ASSERT_EQ(output::SetCreationDate(localTime("2006-07-01 10:00:05"), file), 1);
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mtime, 1151740805);  // 08:00:05 UTC, summer time
    EXPECT_EQ(status.st_atime, 1151740805);
    EXPECT_EQ(output::SetCreationDate(localTime("2006-07-01 10:00:05"), ""), -2);
    EXPECT_EQ(output::SetCreationDate(scene::kNoRecordingTime, file), -3);
    EXPECT_EQ(output::SetCreationDate(localTime("2006-07-01 10:00:05"), dir.file("missing")), -4);
}

}  // namespace
}  // namespace klemora::test
