// The write, split and speed commands of klemora-cli on a generated tape:
// what they print, the files and dates they leave, and their exit codes.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/file_io.h"
#include "avi/avi_reader.h"
#include "tests/avi/writer/writer_test_support.h"
#include "tests/cli/cli_runner.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class CliWrite : public ::testing::Test {
protected:
    void SetUp() override {
        tape = dir.file("tape.avi");
        fixtures::DvFixtureOptions options;
        options.sessions = {{localTime("2006-07-01 10:00:00"), 40, std::nullopt},
                            {localTime("2006-07-01 12:00:00"), 30, std::nullopt}};
        ASSERT_TRUE(makeDvSource(tape, options));
        CliResult detect = runCli({"--batch", "detect", tape, "-o", dir.file("scenes.csv")}, dir.path());
        ASSERT_EQ(detect.exitCode, 0) << detect.err;
    }
    TempDir dir;
    std::string tape;
};

TEST_F(CliWrite, WritesEveryDetectedSceneWithItsDate) {
    ScopedEnv tz("TZ", "UTC");
    std::string out = dir.file("out");
    CliResult r = runCli({"--batch", "write", dir.file("scenes.csv"), "--dest", out, "--set-dates", "--template",
                          "%N2"},
                         dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, out + "/01.avi\n" + out + "/02.avi\n");
    struct stat status {};
    ASSERT_EQ(::stat((out + "/02.avi").c_str(), &status), 0);
    EXPECT_EQ(status.st_mtime, 1151755200);  // 2006-07-01 12:00:00 UTC

    CliResult joined = runCli({"--batch", "write", dir.file("scenes.csv"), "--dest", out, "--one-file"}, dir.path());
    ASSERT_EQ(joined.exitCode, 0) << joined.err;
    EXPECT_EQ(joined.out, out + "/Start.avi\n");

    CliResult skipped =
        runCli({"--batch", "write", dir.file("scenes.csv"), "--dest", out, "--template", "%N2", "--overwrite", "skip"},
               dir.path());
    EXPECT_EQ(skipped.exitCode, 0) << skipped.err;
    EXPECT_EQ(skipped.out, "");
}

TEST_F(CliWrite, SplitAndSpeedCopies) {
    std::string parts = dir.file("parts");
    CliResult split = runCli({"--batch", "split", tape, "--frames", "30", "--dest", parts, "--name-from-source"},
                             dir.path());
    ASSERT_EQ(split.exitCode, 0) << split.err;
    EXPECT_EQ(filesIn(parts), (std::vector<std::string>{"tape_s001.avi", "tape_s002.avi", "tape_s003.avi"}));

    CliResult speed = runCli({"--batch", "speed", tape, "--factor", "2", "--dest", parts}, dir.path());
    ASSERT_EQ(speed.exitCode, 0) << speed.err;
    EXPECT_EQ(speed.out, parts + "/tape_f2.000.avi\n");
    EXPECT_EQ(runCli({"--batch", "speed", tape, "--factor", "1,5", "--dest", parts}, dir.path()).exitCode, 2);
    EXPECT_GE(runCli({"--batch", "split", tape, "--frames", "3", "--seconds", "2", "--dest", parts}, dir.path()).exitCode,
              2);
}

// Frames of a file as the reader counts them; -1 when it does not open.
int32_t framesOf(const std::string& path) {
    avi::AviReader reader;
    return reader.Open(path, "r") == 1 ? reader.GetFrameCount() : -1;
}

TEST_F(CliWrite, AWriteIntoTheSourceFolderNeverReplacesTheSource) {
    std::string work = dir.file("work");
    ASSERT_EQ(::mkdir(work.c_str(), 0755), 0);
    std::string src = work + "/src.avi";
    std::string original = readTextFile(tape);
    writeTextFile(src, original);
    ASSERT_EQ(runCli({"--batch", "detect", src, "-o", work + "/p.scn"}, dir.path()).exitCode, 0);
    // Both scenes would be src.avi: the run writes nothing at all.
    CliResult both = runCli({"--batch", "write", work + "/p.scn", "--dest", work, "--template", "%Q"}, dir.path());
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_NE(both.err.find("same file name"), std::string::npos) << both.err;
    EXPECT_NE(both.err.find("0 file(s) written"), std::string::npos) << both.err;
    EXPECT_EQ(filesIn(work), (std::vector<std::string>{"p.scn", "src.avi"}));
    EXPECT_TRUE(readTextFile(src) == original);

    // One scene named like its source: refused without a question, also with replace.
    fixtures::DvFixtureOptions single = fixtures::singleSessionOptions(30);
    std::string one = work + "/one.avi";
    ASSERT_TRUE(makeDvSource(one, single));
    ASSERT_EQ(runCli({"--batch", "detect", one, "-o", work + "/one.csv"}, dir.path()).exitCode, 0);
    CliResult self = runCli({"--batch", "write", work + "/one.csv", "--dest", work, "--template", "%Q", "--overwrite",
                             "replace", "--delete-sources"},
                            dir.path());
    EXPECT_EQ(self.exitCode, 1);
    EXPECT_NE(self.err.find("is a source file of this run"), std::string::npos) << self.err;
    EXPECT_EQ(framesOf(one), 30);
}

TEST_F(CliWrite, ADamagedChunkNeverEndsInAShortFileAndADeletedSource) {
    std::string damaged = dir.file("damaged.avi");
    ASSERT_TRUE(makeDvSourceWithChunkSize(damaged, 100, 10, 0xFFFFFFF0u));
    ASSERT_EQ(runCli({"--batch", "detect", damaged, "-o", dir.file("d.csv")}, dir.path()).exitCode, 0);
    std::string out = dir.file("dout");
    CliResult r = runCli({"--batch", "write", dir.file("d.csv"), "--dest", out, "--delete-sources"}, dir.path());
    int64_t written = 0;
    for (const std::string& name : filesIn(out)) written += framesOf(out + "/" + name);
    if (r.exitCode == 0) {  // a reader that gets over the damage delivers every frame
        EXPECT_EQ(written, 100) << r.err;
    } else {
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(app::fileExists(damaged)) << r.err;
        EXPECT_NE(r.err.find("fewer frames"), std::string::npos) << r.err;
        for (const std::string& name : filesIn(out)) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
    EXPECT_TRUE(app::fileExists(damaged) || written == 100);
}

TEST_F(CliWrite, AScenePastTheEndOfItsFileIsCutWithAWarning) {
    std::string csv = readTextFile(dir.file("scenes.csv"));
    size_t at = csv.find(";0;38;");
    ASSERT_NE(at, std::string::npos) << csv;
    csv.replace(at, 6, ";50;500;");  // the tape has 70 frames
    writeTextFile(dir.file("late.csv"), csv.substr(0, csv.find('\n', at) + 1));
    CliResult r = runCli({"--batch", "write", dir.file("late.csv"), "--dest", dir.file("late")}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("reaches past the end"), std::string::npos) << r.err;
    EXPECT_EQ(framesOf(dir.file("late/001_tape.avi")), 20);

    csv.replace(at, 8, ";80;500;");
    writeTextFile(dir.file("none.csv"), csv.substr(0, csv.find('\n', at) + 1));
    CliResult none = runCli({"--batch", "write", dir.file("none.csv"), "--dest", dir.file("none")}, dir.path());
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("begins after the end"), std::string::npos) << none.err;
    EXPECT_TRUE(filesIn(dir.file("none")).empty());
}

TEST_F(CliWrite, ShowListsTheNamesWriteGives) {
    CliResult show = runCli({"--batch", "show", dir.file("scenes.csv")}, dir.path());
    ASSERT_EQ(show.exitCode, 0) << show.err;
    CliResult write = runCli({"--batch", "write", dir.file("scenes.csv"), "--dest", dir.file("named")}, dir.path());
    ASSERT_EQ(write.exitCode, 0) << write.err;
    std::vector<std::string> names = filesIn(dir.file("named"));
    ASSERT_EQ(names, (std::vector<std::string>{"001_tape.avi", "002_tape.avi"}));
    for (const std::string& name : names) EXPECT_NE(show.out.find("  " + name + "  "), std::string::npos) << show.out;
    CliResult custom = runCli({"--batch", "show", dir.file("scenes.csv"), "--template", "%N2"}, dir.path());
    EXPECT_NE(custom.out.find("  02.avi  "), std::string::npos) << custom.out;
}

TEST(CliCuts, LongGopPartsStartOnKeyFrames) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
    TempDir dir;
    std::string h264 = dir.file("h264.avi");
    if (!runCommand("ffmpeg -v error -y -f lavfi -i testsrc2=size=320x240:rate=25 -t 4 -c:v libx264 -g 25 -bf 0 " +
                    shellQuote(h264) + " 2>&1"))
        GTEST_SKIP() << "no libx264 in this ffmpeg";
    // Key frames at 0, 25, 50, 75: 30-frame parts begin at 0, 50 and 75.
    CliResult off = runCli({"--batch", "split", h264, "--frames", "30", "--dest", dir.file("off")}, dir.path());
    EXPECT_EQ(off.exitCode, 0) << off.err;
    EXPECT_NE(off.err.find("next key frame"), std::string::npos) << off.err;
    std::vector<long long> decoded;
    for (const std::string& part : filesIn(dir.file("off"))) decoded.push_back(decodedFrames(dir.file("off/" + part)));
    EXPECT_EQ(decoded, (std::vector<long long>{50, 25, 25}));
    CliResult on = runCli({"--batch", "split", h264, "--frames", "25", "--dest", dir.file("on")}, dir.path());
    EXPECT_EQ(on.exitCode, 0) << on.err;
    std::vector<std::string> parts = filesIn(dir.file("on"));
    ASSERT_EQ(parts.size(), 4u);
    for (const std::string& part : parts) EXPECT_EQ(decodedFrames(dir.file("on/" + part)), 25) << part;
}

}  // namespace
}  // namespace klemora::test
