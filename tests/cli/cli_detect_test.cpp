// "klemora-cli detect" on generated recordings.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/file_io.h"
#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

scene::RecordingTime at(int year, int month, int day, int hours, int minutes, int seconds) {
    return scene::recordingTimeOf(year, month, day, hours, minutes, seconds);
}

class CliDetect : public ::testing::Test {
protected:
    void SetUp() override {
        // Three recordings: 2 s, 3 s (timecode restarting at 01:00:00:00), 1 s.
        fixtures::DvFixtureOptions options;
        options.type = 2;
        options.sessions = {{at(2006, 7, 1, 10, 0, 0), 50, {}},
                            {at(2006, 7, 1, 10, 5, 0), 75, scene::Timecode{1, 0, 0, 0}},
                            {at(2006, 12, 24, 18, 5, 9), 25, {}}};
        m_tape = m_dir.file("tape.avi");
        std::string error;
        ASSERT_EQ(fixtures::writeDvAvi(m_tape, options, nullptr, &error), 1) << error;
    }

    std::string line(int start, int stop, const char* time, const char* timecode) const {
        return "\"" + m_tape + "\";\"\";" + std::to_string(start) + ";" + std::to_string(stop) + ";1.000000;\"\";\"" +
               time + "\";\"" + timecode + "\"\r\n";
    }

    static constexpr const char* kHeader = "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECODE\r\n";

    ScopedEnv m_zone{"TZ", "UTC"};
    TempDir m_dir;
    std::string m_tape;
};

TEST_F(CliDetect, PrintsTheThreeRecordingsAsCsv) {
    CliResult r = runCli({"--batch", "detect", m_tape, "--trim", "0"}, m_dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, kHeader + line(0, 49, "01-07-2006 / 10:00:00", "00:00:00:00") +
                         line(50, 124, "01-07-2006 / 10:05:00", "01:00:00:00") +
                         line(125, 149, "24-12-2006 / 18:05:09", "01:00:03:00"));
}

TEST_F(CliDetect, SettingsRangeAndOutputFile) {
    // "TrimCount" of the settings applies unless --trim is given.
    writeTextFile(m_dir.file("Klemora.ini"), "[Data]\r\nTrimCount=3\r\nDatestampDiff=1\r\n");
    std::string csv = m_dir.file("found.csv");
    CliResult r = runCli({"--batch", "detect", m_tape, "--range", "10-139", "-o", csv}, m_dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readTextFile(csv), kHeader + line(10, 46, "01-07-2006 / 10:00:00", "00:00:00:10") +
                                     line(53, 121, "01-07-2006 / 10:05:00", "01:00:00:00") +
                                     line(128, 139, "24-12-2006 / 18:05:09", "01:00:03:00"));
    // A jump of 5 minutes is not above 400 seconds; the December one is.
    r = runCli({"--batch", "detect", m_tape, "--diff", "400", "--trim", "0"}, m_dir.path());
    EXPECT_EQ(r.out, kHeader + line(0, 124, "01-07-2006 / 10:00:00", "00:00:00:00") +
                         line(125, 149, "24-12-2006 / 18:05:09", "01:00:03:00"));
}

TEST_F(CliDetect, NonDvAndMissingFilesAreReportedAndSkipped) {
    fixtures::DvFixtureOptions mjpeg;
    mjpeg.videoHandler = "MJPG";
    std::string other = m_dir.file("other.avi");
    ASSERT_EQ(fixtures::writeDvAvi(other, mjpeg), 1);
    std::string missing = m_dir.file("missing.avi");
    CliResult r = runCli({"--batch", "detect", other, missing, m_tape, "--trim", "0"}, m_dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("File: " + other + "\nType: MJPG"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("FindPerDvDatestamp()!\nFile: " + missing + "\nCode: -51\nCode 2: -2"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, kHeader + line(0, 49, "01-07-2006 / 10:00:00", "00:00:00:00") +
                         line(50, 124, "01-07-2006 / 10:05:00", "01:00:00:00") +
                         line(125, 149, "24-12-2006 / 18:05:09", "01:00:03:00"));
}

// "WriteLogfile" 1 reaches the detection's reader through the log the
// program hands it: a file that cannot be opened is in "klemoradbg.log".
TEST_F(CliDetect, TheLogLevelOfTheSettingsReachesTheRun) {
    std::string documents = m_dir.file("docs");
    ASSERT_EQ(::mkdir(documents.c_str(), 0700), 0);
    writeTextFile(m_dir.file("Klemora.ini"), "[Data]\nWriteLogfile=1\n");
    {
        ScopedEnv docs("XDG_DOCUMENTS_DIR", documents.c_str());
        CliResult r = runCli({"--batch", "detect", m_dir.file("missing.avi")}, m_dir.path());
        EXPECT_NE(r.exitCode, 0);
    }
    std::string log = readTextFile(documents + "/klemoradbg.log");
    EXPECT_NE(log.find("AviReader: cannot open " + m_dir.file("missing.avi")), std::string::npos) << log;
    EXPECT_FALSE(app::fileExists(documents + "/findds.log"));
}

TEST_F(CliDetect, TraceAndBadArguments) {
    std::string documents = m_dir.file("docs");
    ASSERT_EQ(::mkdir(documents.c_str(), 0700), 0);
    {
        ScopedEnv docs("XDG_DOCUMENTS_DIR", documents.c_str());
        CliResult r = runCli({"--batch", "detect", m_tape, "--trace"}, m_dir.path());
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
    std::string trace = readTextFile(documents + "/findds.log");
    EXPECT_NE(trace.find(" 00051  |  1. Frame der neuen Szene Nr. 2\n"), std::string::npos);
    EXPECT_NE(trace.find(" 00126  |  1. Frame der neuen Szene Nr. 3\n"), std::string::npos);

    EXPECT_EQ(runCli({"detect", m_tape, m_tape, "--range", "0-10"}, m_dir.path()).exitCode, 2);
    EXPECT_EQ(runCli({"detect", m_tape, "--range", "10-5"}, m_dir.path()).exitCode, 2);
    EXPECT_EQ(runCli({"detect", m_tape, "-o", m_dir.file("x.edl")}, m_dir.path()).exitCode, 2);
    EXPECT_NE(runCli({"detect", m_tape, "--trim", "100"}, m_dir.path()).exitCode, 0);
    EXPECT_NE(runCli({"detect", m_tape, "--diff", "0"}, m_dir.path()).exitCode, 0);
    EXPECT_FALSE(app::fileExists(m_dir.file("x.edl")));
}

}  // namespace
}  // namespace klemora::test
