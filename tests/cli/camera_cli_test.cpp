// "klemora-cli camera" with the simulated camera named by the environment.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class CameraCliTest : public ::testing::Test {
protected:
    CameraCliTest() {
        fixtures::DvFixtureOptions options;
        options.type = 1;
        options.sessions.push_back({fixtures::defaultSessionStart(), 125, scene::Timecode{0, 10, 0, 0}});
        std::string error;
        EXPECT_EQ(fixtures::writeDvAvi(tape, options, nullptr, &error), 1) << error;
    }

    TempDir dir;
    std::string tape = dir.file("tape.avi");
};

TEST_F(CameraCliTest, ListsTheSimulatedCameraOnlyWhenNamed) {
    {
        ScopedEnv none("KLEMORA_SIMULATED_CAMERA", nullptr);
        CliResult r = runCli({"--batch", "camera", "list"}, dir.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.out.find("No capture devices."), std::string::npos) << r.out;
    }
    ScopedEnv named("KLEMORA_SIMULATED_CAMERA", tape.c_str());
    CliResult r = runCli({"--batch", "camera", "list"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0: Simulated DV Camera / DV tape tape.avi  [simulated:" + tape + "]\n");
}

TEST_F(CameraCliTest, TransportCommandsPrintTheNewState) {
    ScopedEnv named("KLEMORA_SIMULATED_CAMERA", tape.c_str());
    CliResult play = runCli({"--batch", "camera", "play", "--device", "0"}, dir.path());
    EXPECT_EQ(play.exitCode, 0) << play.err;
    EXPECT_EQ(play.out, "Camera: Play (4296)\n");
    CliResult search = runCli({"--batch", "camera", "fast-backward"}, dir.path());
    EXPECT_EQ(search.out, "Camera: PlayFastBackward (5031)\n");
    CliResult state = runCli({"--batch", "camera", "state"}, dir.path());
    EXPECT_EQ(state.out, "Camera: Stop (4297)\n");
    CliResult missing = runCli({"--batch", "camera", "state", "--device", "3"}, dir.path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no device 3"), std::string::npos);
}

TEST_F(CameraCliTest, CapturePrintsTheStatusLineAndWritesTheFile) {
    ScopedEnv named("KLEMORA_SIMULATED_CAMERA", tape.c_str());
    std::string out = dir.file("Capture");
    CliResult r = runCli({"--batch", "camera", "capture", "--out", out, "--type", "2", "--seconds", "2"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Camera: Pause\nCamera: Play\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" / Dropped: 0 / Length: 00:00:01:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("/ Timecode: 00:10:0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("/ Format: PAL"), std::string::npos);
    EXPECT_NE(r.out.find("Capture ended: Normal (1), " + dir.file("capture.avi")), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(", 25 fps, DV type 2, recorded 01-07-2006 / 10:00:0"), std::string::npos) << r.out;
    struct stat info {};
    ASSERT_EQ(stat(dir.file("capture.avi").c_str(), &info), 0);
    EXPECT_GT(info.st_size, 40 * 144000);
    if (std::system("ffprobe -version >/dev/null 2>&1") == 0) {
        std::string probe = "ffprobe -v error -count_packets -select_streams v -show_entries stream=nb_read_packets "
                            "-of csv=p=0 '" + dir.file("capture.avi") + "' > '" + dir.file("probe") + "'";
        ASSERT_EQ(std::system(probe.c_str()), 0);
        EXPECT_GE(std::atoi(readTextFile(dir.file("probe")).c_str()), 45);
    }
}

TEST_F(CameraCliTest, CaptureRefusesARelativeName) {
    ScopedEnv named("KLEMORA_SIMULATED_CAMERA", tape.c_str());
    CliResult r = runCli({"--batch", "camera", "capture", "--out", "clip.avi", "--no-control"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("complete path"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace klemora::test
