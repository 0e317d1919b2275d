// detect -o in every format, convert, show and names, as a script uses them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/file_io.h"

#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class CliProject : public ::testing::Test {
protected:
    void SetUp() override {
        fixtures::DvFixtureOptions options;
        scene::RecordingTime first, second;
        first.yearsSince1900 = second.yearsSince1900 = 106;
        first.month = second.month = 6;
        first.dayOfMonth = second.dayOfMonth = 1;
        first.hours = 10;
        second.hours = 11;
        options.sessions = {{first, 30, {}}, {second, 20, {}}};
        tape = dir.file("clip.avi");
        std::string error;
        ASSERT_EQ(fixtures::writeDvAvi(tape, options, nullptr, &error), 1) << error;
    }
    TempDir dir;
    std::string tape;
};

TEST_F(CliProject, DetectWritesAProjectThatShowAndConvertRead) {
    CliResult detect = runCli({"--batch", "detect", tape, "--trim", "0", "-o", dir.file("p.scn")}, dir.path());
    ASSERT_EQ(detect.exitCode, 0) << detect.err;
    CliResult show = runCli({"--batch", "show", dir.file("p.scn")}, dir.path());
    ASSERT_EQ(show.exitCode, 0) << show.err;
    EXPECT_NE(show.out.find("[Start] 2 scenes"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("1-30"), std::string::npos) << show.out;
    // The name write gives the scene with the settings' template (%N3_%Q).
    EXPECT_NE(show.out.find("002_clip.avi  01-07-2006 / 11:00:00"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("Total: 2 scenes, 00:00:02:00"), std::string::npos) << show.out;

    CliResult convert = runCli({"--batch", "convert", dir.file("p.scn"), dir.file("p.csv")}, dir.path());
    ASSERT_EQ(convert.exitCode, 0) << convert.err;
    std::string csv = readTextFile(dir.file("p.csv"));
    EXPECT_NE(csv.find("\";\"\";30;49;1.000000;\"\";\"01-07-2006 / 11:00:00\""), std::string::npos) << csv;

    CliResult edl = runCli({"--batch", "convert", dir.file("p.csv"), dir.file("p.txt"), "--format", "edl4"}, dir.path());
    ASSERT_EQ(edl.exitCode, 0) << edl.err;
    EXPECT_EQ(readTextFile(dir.file("p.txt")).rfind("\"ID\";\"Track\"", 0), 0u);
}

TEST_F(CliProject, NamesFollowTheTemplate) {
    ASSERT_EQ(runCli({"--batch", "detect", tape, "-o", dir.file("p.csv")}, dir.path()).exitCode, 0);
    CliResult names = runCli({"--batch", "names", "-t", "%N3_%Q", dir.file("p.csv")}, dir.path());
    EXPECT_EQ(names.exitCode, 0) << names.err;
    EXPECT_EQ(names.out, "001_clip.avi\n002_clip.avi\n");
}

// A damaged speed factor once made write run until the disk was full; an
// empty date dated the written file 1899.
TEST_F(CliProject, DamagedValuesAreRefusedAndEmptyDatesLeaveTheFileTime) {
    ASSERT_EQ(runCli({"--batch", "detect", tape, "-o", dir.file("p.scn")}, dir.path()).exitCode, 0);
    std::string project = readTextFile(dir.file("p.scn"));
    // Signature, "GRP_IN##", group name, count, the first record, then the
    // second record's source, destination, start and stop.
    const size_t speedAt = 60 + 8 + 257 + 4 + 1615 + 261 + 261 + 4 + 4;
    ASSERT_GT(project.size(), speedAt + 8);
    project.replace(speedAt, 8, std::string(8, '\0'));
    writeTextFile(dir.file("bad.scn"), project);
    CliResult write = runCli({"--batch", "write", dir.file("bad.scn"), "--dest", dir.file("out")}, dir.path());
    EXPECT_NE(write.exitCode, 0);
    EXPECT_NE(write.err.find("SPEEDFACTOR value too small!\nGroup: Start\nScene: 2"), std::string::npos) << write.err;
    EXPECT_FALSE(app::isDirectory(dir.file("out")));

    const std::string header = "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECODE\n";
    writeTextFile(dir.file("feb.csv"), header + "\"" + tape + "\";\"\";0;9;1.0;\"\";\"31-02-2006 / 10:00:00\";\"\"\n");
    EXPECT_EQ(runCli({"--batch", "convert", dir.file("feb.csv"), dir.file("feb.scn")}, dir.path()).exitCode, 1);
    EXPECT_FALSE(app::fileExists(dir.file("feb.scn")));

    writeTextFile(dir.file("empty.csv"), header + "\"" + tape + "\";\"e\";0;9;1.0;\"\";\"\";\"\"\n");
    write = runCli({"--batch", "write", dir.file("empty.csv"), "--dest", dir.file("out"), "--set-dates", "--template",
                    "%N3"}, dir.path());
    ASSERT_EQ(write.exitCode, 0) << write.err;
    struct stat status {};
    ASSERT_EQ(::stat(dir.file("out/001.avi").c_str(), &status), 0) << write.out;
    EXPECT_GT(status.st_mtime, 1500000000);  // written now, not dated 1899
}

TEST_F(CliProject, UnknownFormatsAndMissingFilesFail) {
    EXPECT_EQ(runCli({"--batch", "detect", tape, "-o", dir.file("p.xyz")}, dir.path()).exitCode, 2);
    EXPECT_EQ(runCli({"--batch", "convert", dir.file("none.scn"), dir.file("x.csv")}, dir.path()).exitCode, 1);
    EXPECT_EQ(runCli({"--batch", "convert", tape, dir.file("x.bin")}, dir.path()).exitCode, 2);
}

}  // namespace
}  // namespace klemora::test
