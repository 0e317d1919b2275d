// "klemora-cli detect --type picture" on a DV recording and on the same
// pictures as MJPEG, made by the ffmpeg program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "app/file_io.h"
#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class CliPictureDetect : public ::testing::Test {
protected:
    void SetUp() override {
        fixtures::DvFixtureOptions options;
        for (int i = 0; i < 3; ++i)
            options.sessions.push_back({scene::recordingTimeOf(2006, 7, 1, 10 + i, 0, 0), 100 + 30 * i, {}});
        m_tape = m_dir.file("tape.avi");
        std::string error;
        ASSERT_EQ(fixtures::writeDvAvi(m_tape, options, nullptr, &error), 1) << error;
    }

    std::string startsAndStops(const std::string& csv) const {
        std::string spans;
        size_t line = csv.find('\n');
        while (line != std::string::npos && line + 1 < csv.size()) {
            size_t end = csv.find('\n', line + 1);
            std::string row = csv.substr(line + 1, end - line - 1);
            size_t a = row.find(";\"\";") + 4;
            size_t b = row.find(';', a);
            size_t c = row.find(';', b + 1);
            spans += row.substr(a, b - a) + "-" + row.substr(b + 1, c - b - 1) + " ";
            line = end;
        }
        return spans;
    }

    ScopedEnv m_zone{"TZ", "UTC"};
    TempDir m_dir;
    std::string m_tape;
};

TEST_F(CliPictureDetect, FindsTheCutsInDvAndMjpeg) {
    CliResult r = runCli({"--batch", "detect", "--type", "picture", m_tape}, m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // TrimCount 1 by default: one frame off each inner boundary.
    EXPECT_EQ(startsAndStops(r.out), "0-98 101-228 231-389 ");
    EXPECT_NE(r.out.find("\";101;228;1.000000;\"\";\"01-07-2006 / 11:00:00\";\"00:00:04:01\""), std::string::npos)
        << r.out;

    std::string mjpeg = m_dir.file("tape-mjpeg.avi");
    std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y -i '" + m_tape +
                          "' -an -c:v mjpeg -q:v 4 '" + mjpeg + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    r = runCli({"--batch", "detect", "--type", "picture", "--trim", "0", "--variants", "1,2", mjpeg}, m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(startsAndStops(r.out), "0-99 100-229 230-389 ");
}

TEST_F(CliPictureDetect, SettingsAndOptions) {
    writeTextFile(m_dir.file("Klemora.ini"), "[Data]\r\nMinFrameCount=120\r\nTrimCount=0\r\n");
    CliResult r = runCli({"--batch", "detect", "--type", "picture", m_tape}, m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The first recording is too short for a cut at 100; 130 frames after that change, 230 is cut.
    EXPECT_EQ(startsAndStops(r.out), "0-229 230-389 ");

    r = runCli({"--batch", "detect", "--type", "picture", "--min-frames", "75", "--preset", "99", "--weight", "inner",
                "--range", "50-300", m_tape},
               m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(startsAndStops(r.out), "50-229 230-300 ");  // 100 is only 50 frames into the range

    std::string project = m_dir.file("found.scn");
    r = runCli({"--batch", "detect", "--type", "picture", m_tape, "-o", project}, m_dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(app::fileExists(project));
}

TEST_F(CliPictureDetect, NoVariantLogAndBadArguments) {
    writeTextFile(m_dir.file("Klemora.ini"), "[Data]\r\nAlg1=0\r\n");
    CliResult r = runCli({"--batch", "detect", "--type", "picture", m_tape}, m_dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("At least one detection variant must be selected!"), std::string::npos) << r.err;

    std::string documents = m_dir.file("docs");
    ASSERT_EQ(::mkdir(documents.c_str(), 0700), 0);
    {
        ScopedEnv docs("XDG_DOCUMENTS_DIR", documents.c_str());
        r = runCli({"--batch", "detect", "--type", "picture", "--variants", "3", "--log", m_tape}, m_dir.path());
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
    EXPECT_EQ(readTextFile(documents + "/KlemoraLog.txt").rfind("Searching for Scenes in: " + m_tape + "\n\n", 0), 0u);

    for (std::vector<std::string> bad : {std::vector<std::string>{"--variants", "4"}, {"--variants", "1,,2"},
                                         {"--preset", "5"}, {"--weight", "sideways"}, {"--min-frames", "0"}}) {
        std::vector<std::string> args = {"detect", "--type", "picture", m_tape};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_NE(runCli(args, m_dir.path()).exitCode, 0) << bad[0] << " " << bad[1];
    }
}

}  // namespace
}  // namespace klemora::test
