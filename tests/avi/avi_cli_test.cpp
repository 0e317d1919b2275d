// The AVI commands of klemora-cli, run as a user runs them.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(AviCli, SampleThenProbeAsTextAndJsonLines) {
    TempDir dir;
    const std::string path = dir.file("rec.avi");
    CliResult sample = runCli({"sample", path, "--type", "1", "--wide", "--session", "2007-12-31 23:59:58,1",
                               "--session", "2008-01-01 10:00:00,2"});
    ASSERT_EQ(sample.exitCode, 0) << sample.err;
    EXPECT_NE(sample.out.find("75 frames"), std::string::npos) << sample.out;

    CliResult text = runCli({"probe", "--container", path});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out, path +
                            "\n  frameCount: 75\n  framesPerSecond: 25\n  dvType: 1\n  openDmlType: 0\n"
                            "  videoHandler: dvsd\n  allKeyframes: true\n  wideScreen: true\n  pal: true\n"
                            "  width: 720\n  height: 576\n  recordingTime: 2007-12-31 23:59:58\n"
                            "  timecode: 00:00:00:00\n");

    CliResult json = runCli({"probe", "--container", "--json", path, path});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    // One line per file, its path first.
    const std::string object =
        "{\"file\":\"" + path +
        "\",\"frameCount\":75,\"framesPerSecond\":25,\"dvType\":1,\"openDmlType\":0,\"videoHandler\":\"dvsd\","
        "\"allKeyframes\":true,\"wideScreen\":true,\"pal\":true,\"width\":720,\"height\":576,"
        "\"recordingTime\":\"2007-12-31 23:59:58\",\"timecode\":\"00:00:00:00\"}";
    EXPECT_EQ(json.out, object + "\n" + object + "\n");

    CliResult missing = runCli({"probe", "--container", "--json", path, dir.file("none.avi")});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_EQ(missing.out, object + "\n{\"file\":\"" + dir.file("none.avi") + "\",\"error\":\"FileNotFound\"}\n");
    EXPECT_NE(missing.err.find("The file does not exist!\nFile: " + dir.file("none.avi")), std::string::npos)
        << missing.err;

    CliResult bad = runCli({"sample", dir.file("x.avi"), "--session", "2007-13-01 10:00:00,1"});
    EXPECT_NE(bad.exitCode, 0);
}

TEST(AviCli, DvdumpShowsDashesForMissingPacks) {
    TempDir dir;
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(30);
    options.framesWithoutPacks = {{26, 26}};
    options.wrongSizeChunks = {{28, 143990}};
    options.truncateInsideFrame = 29;
    const std::string path = dir.file("d.avi");
    ASSERT_EQ(fixtures::writeDvAvi(path, options), 1);
    CliResult dump = runCli({"dvdump", path, "--frames", "24-27"});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_EQ(lines(dump.out), (std::vector<std::string>{"24 00:00:00:24 2006-07-01 10:00:00",
                                                         "25 00:00:01:00 2006-07-01 10:00:01", "26 - - -",
                                                         "27 00:00:01:02 2006-07-01 10:00:01"}));
    // Frame 29 is cut by the end of the file: the range ends at frame 28.
    CliResult rest = runCli({"dvdump", path, "--frames", "27-40"});
    EXPECT_EQ(rest.exitCode, 0) << rest.err;
    EXPECT_EQ(lines(rest.out),
              (std::vector<std::string>{"27 00:00:01:02 2006-07-01 10:00:01",
                                        "28 00:00:01:02 2006-07-01 10:00:01  # chunk of 143990 bytes: previous frame kept"}));
    EXPECT_NE(runCli({"dvdump", path, "--frames", "5"}).exitCode, 0);
}

TEST(AviCli, DatestampRunsFileAfterFileWithThePause) {
    TempDir dir;
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(51);  // 10:00:00 .. 10:00:02
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("b.avi"), options), 1);
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("a.avi"), options), 1);
    writeTextFile(dir.file("c.avi"), "RIFF");
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("d.avi"), options), 1);
    ScopedEnv tz("TZ", "UTC");
    CliResult r = runCli({"--batch", "datestamp", "--start", "2006-07-01 10:00:00", "--pause", "5", dir.file("d.avi"),
                          dir.file("c.avi"), dir.file("b.avi"), dir.file("a.avi")});
    EXPECT_NE(r.exitCode, 0);  // c.avi failed
    EXPECT_EQ(lines(r.out),
              (std::vector<std::string>{dir.file("a.avi") + ": 2006-07-01 10:00:00 - 2006-07-01 10:00:02",
                                        dir.file("b.avi") + ": 2006-07-01 10:00:08 - 2006-07-01 10:00:10",
                                        dir.file("d.avi") + ": 2006-07-01 10:00:16 - 2006-07-01 10:00:18"}));
    EXPECT_NE(r.err.find("WriteDvDatestamp()!\nFile: " + dir.file("c.avi") + "\nCode: -2"), std::string::npos)
        << r.err;
    CliResult first = runCli({"dvdump", dir.file("b.avi"), "--frames", "0-0"});
    EXPECT_EQ(first.out, "0 00:00:00:00 2006-07-01 10:00:08\n");

    CliResult pause = runCli({"--batch", "datestamp", "--start", "2006-07-01 10:00:00", "--pause", "0",
                              dir.file("a.avi")});
    EXPECT_EQ(pause.exitCode, 2);
    CliResult start = runCli({"--batch", "datestamp", "--start", "2006-07-01", dir.file("a.avi")});
    EXPECT_EQ(start.exitCode, 2);
}

// Other readers take the date from any copy of the packs: mediainfo reads
// one that the first-copy rewrite used to leave alone.
TEST(AviCli, DatestampIsWhatOtherReadersSeeToo) {
    if (runShell("command -v mediainfo >/dev/null").exitCode != 0) GTEST_SKIP() << "mediainfo missing";
    TempDir dir;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("a.avi"), fixtures::singleSessionOptions(30)), 1);
    ScopedEnv tz("TZ", "UTC");
    ASSERT_EQ(runCli({"--batch", "datestamp", "--start", "2005-03-04 10:00:00", dir.file("a.avi")}).exitCode, 0);
    ShellResult info = runShell("mediainfo --Inform='General;%Recorded_Date%' '" + dir.file("a.avi") + "'");
    EXPECT_EQ(info.output.substr(0, 19), "2005-03-04 10:00:00") << info.output;
    EXPECT_EQ(runCli({"dvdump", dir.file("a.avi"), "--frames", "0-0"}).out, "0 00:00:00:00 2005-03-04 10:00:00\n");
}

}  // namespace
}  // namespace klemora::test
