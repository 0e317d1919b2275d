// The write, split and speed commands of klemora-cli on a generated tape:
// what they print, the files and dates they leave, and their exit codes.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/file_io.h"
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

}  // namespace
}  // namespace klemora::test
