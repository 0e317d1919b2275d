// "klemora-cli detect --type timecode" and "--type auto" on generated tapes,
// and the agreement of the timecode breaks with dvgrab's on the same raw DV.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "avi/avi_reader.h"
#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using fixtures::DvFixtureOptions;
using scene::Timecode;

fixtures::DvSession take(int minute, std::optional<Timecode> timecodeStart = std::nullopt, int frames = 30) {
    return {scene::recordingTimeOf(2006, 7, 1, 10, minute, 0), frames, timecodeStart};
}

// The start frames of the CSV scene list.
std::vector<int> sceneStarts(const std::string& csv) {
    std::vector<int> starts;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        size_t first = line.find(';', line.find(';') + 1);
        if (first != std::string::npos) starts.push_back(std::stoi(line.substr(first + 1)));
    }
    return starts;
}

class CliTimecodeDetect : public ::testing::Test {
protected:
    std::string write(const std::string& name, const DvFixtureOptions& options) {
        std::string path = m_dir.file(name);
        std::string error;
        EXPECT_EQ(fixtures::writeDvAvi(path, options, nullptr, &error), 1) << error;
        return path;
    }
    CliResult detect(std::vector<std::string> args) {
        args.insert(args.begin(), {"--batch", "detect", "--trim", "0"});
        return runCli(args, m_dir.path());
    }

    ScopedEnv m_zone{"TZ", "UTC"};
    TempDir m_dir;
};

TEST_F(CliTimecodeDetect, SignalsChooseMarksTimecodeOrBoth) {
    // Take 2 runs on in timecode but is marked; take 3 is unmarked but restarts at zero.
    DvFixtureOptions options;
    options.datePacks = fixtures::DatePacks::Missing;
    options.recordingStartMarks = true;
    options.sessions = {take(0, Timecode{1, 0, 0, 0}), take(1), take(2, Timecode{0, 0, 0, 0})};
    options.sessions[2].unmarkedStart = true;
    std::string tape = write("tape.avi", options);
    CliResult r = detect({"--type", "timecode", tape});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(sceneStarts(r.out), (std::vector<int>{0, 30, 60}));
    // No date packs: the scene carries the list's "no date" stamp.
    EXPECT_NE(r.out.find(";30;59;1.000000;\"\";\"11-02-1970 / 00:00:00\";\"01:00:01:05\"\r\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(sceneStarts(detect({"--type", "timecode", "--signals", "mark", tape}).out), (std::vector<int>{0, 30}));
    EXPECT_EQ(sceneStarts(detect({"--type", "timecode", "--signals", "timecode", tape}).out),
              (std::vector<int>{0, 60}));
    // "TimecodeSignals" of the settings applies unless --signals is given.
    writeTextFile(m_dir.file("Klemora.ini"), "[Data]\r\nTimecodeSignals=1\r\n");
    EXPECT_EQ(sceneStarts(detect({"--type", "timecode", tape}).out), (std::vector<int>{0, 30}));
    EXPECT_NE(detect({"--type", "timecode", "--signals", "date", tape}).exitCode, 0);
}

TEST_F(CliTimecodeDetect, AutoChoosesPerFile) {
    DvFixtureOptions dated;
    dated.sessions = {take(0), take(5)};  // the timecode runs on: only the dates tell
    DvFixtureOptions dateless;
    dateless.datePacks = fixtures::DatePacks::Unset;
    dateless.sessions = {take(0, Timecode{0, 0, 0, 0}), take(0, Timecode{0, 0, 0, 0})};
    std::string first = write("dated.avi", dated);
    std::string second = write("dateless.avi", dateless);
    CliResult r = detect({"--type", "auto", first, second});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(sceneStarts(r.out), (std::vector<int>{0, 30, 0, 30}));
    EXPECT_NE(r.err.find(first + ": datestamp\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(second + ": timecode\n"), std::string::npos) << r.err;
}

// dvgrab -a splits where a frame carries the recording-start mark or the
// timecode goes back or on by more than a second; on tapes without marks
// and with such breaks it must agree with the timecode signal.
TEST_F(CliTimecodeDetect, AgreesWithDvgrabOnRawDv) {
    if (runShell("command -v dvgrab >/dev/null 2>&1").exitCode != 0) GTEST_SKIP() << "dvgrab is not installed";
    DvFixtureOptions options;
    options.datePacks = fixtures::DatePacks::Missing;
    options.sessions = {take(0, Timecode{1, 0, 0, 0}, 40), take(1, Timecode{0, 0, 0, 0}),
                        take(2, Timecode{0, 10, 0, 0}, 35), take(3, Timecode{0, 5, 0, 0}, 150)};
    options.framesWithoutPacks = {{10, 12}};  // no timecode inside a take: no cut for either
    std::string tape = write("tape.avi", options);
    // dvgrab throws away what its reader delivers before its writer is
    // ready, so its input starts late and with a lead-in take of its own.
    DvFixtureOptions leadIn;
    leadIn.datePacks = fixtures::DatePacks::Missing;
    leadIn.sessions = {take(9, Timecode{2, 0, 0, 0}, 50)};
    {
        std::ofstream out(m_dir.file("tape.dv"), std::ios::binary);
        auto writeFrames = [&out](const DvFixtureOptions& frames) {
            for (int32_t f = 0; f < fixtures::totalFrames(frames); ++f) {
                std::vector<uint8_t> frame = fixtures::makeDvFrame(frames, f);
                out.write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
            }
        };
        writeFrames(leadIn);
        writeFrames(options);
    }
    ShellResult grab = runShell("cd '" + m_dir.path() + "' && (sleep 1; cat tape.dv) | dvgrab -I - -a -f dv2 out- 2>&1");
    ASSERT_EQ(grab.exitCode, 0) << grab.output;
    std::vector<std::string> parts;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))
        if (entry.path().filename().string().rfind("out-", 0) == 0) parts.push_back(entry.path().string());
    std::sort(parts.begin(), parts.end());
    std::vector<int> dvgrabLengths;
    for (const std::string& part : parts) {
        avi::AviReader reader;
        ASSERT_EQ(reader.Open(part, "r"), 1) << part;
        dvgrabLengths.push_back(reader.GetFrameCount());
    }
    CliResult r = detect({"--type", "timecode", "--signals", "timecode", tape});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<int> starts = sceneStarts(r.out);
    ASSERT_EQ(starts, (std::vector<int>{0, 40, 70, 105}));
    // The lead-in's part (if any of it was kept), then one part per scene;
    // at the end of its input dvgrab may drop what it has not written yet.
    ASSERT_GE(dvgrabLengths.size(), starts.size()) << grab.output;
    ASSERT_LE(dvgrabLengths.size(), starts.size() + 1) << grab.output;
    const size_t first = dvgrabLengths.size() - starts.size();
    if (first == 1) EXPECT_LE(dvgrabLengths.front(), fixtures::totalFrames(leadIn));
    for (size_t i = 0; i + 1 < starts.size(); ++i)
        EXPECT_EQ(dvgrabLengths[first + i], starts[i + 1] - starts[i]) << "scene " << i << "\n" << grab.output;
    EXPECT_GT(dvgrabLengths.back(), 0);
    EXPECT_LE(dvgrabLengths.back(), fixtures::totalFrames(options) - starts.back());
}

}  // namespace
}  // namespace klemora::test
