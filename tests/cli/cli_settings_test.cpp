// klemora-cli with a settings file that is not one: it stops with the
// message before any command runs and leaves the file as it was.
#include <gtest/gtest.h>

#include "app/file_io.h"
#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

TEST(CliSettings, AVideoGivenAsSettingsFileStopsTheProgramAndStaysIntact) {
    TempDir dir;
    std::string video = dir.file("video.avi");
    ASSERT_EQ(fixtures::writeDvAvi(video, fixtures::singleSessionOptions(10)), 1);
    std::optional<std::string> before = app::readWholeFile(video);
    for (const std::string& settings : {video, dir.path()}) {
        CliResult r = runCli({"--batch", "--ini", settings, "detect", video, "--type", "picture"});
        EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
        EXPECT_EQ(r.out, "");  // no scene list: the command never ran
        EXPECT_NE(r.err.find("not a settings file"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("File: " + settings), std::string::npos) << r.err;
    }
    EXPECT_EQ(app::readWholeFile(video), before);

    std::string ini = dir.file("Klemora.ini");
    test::writeTextFile(ini, "[Data]\r\nLang=US\r\n");
    CliResult fine = runCli({"--batch", "--ini", ini, "dvdump", video, "--frames", "0-0"});
    EXPECT_EQ(fine.exitCode, 0) << fine.err;
}

}  // namespace
}  // namespace klemora::test
