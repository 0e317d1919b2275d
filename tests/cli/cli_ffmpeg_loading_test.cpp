// klemora-cli loads FFmpeg only when a command first decodes: with FFmpeg's
// libraries unloadable (empty files of their names first on the library
// path) the commands that only read DV data still work, and one that decodes
// says which library failed and leaves no output.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/version.h>
#include <libavformat/version.h>
#include <libavutil/version.h>
#include <libswscale/version.h>
}

#include <filesystem>
#include <string>

#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class CliWithoutFfmpeg : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(fixtures::writeDvAvi(source, sample::hourlySessionsOptions(60, 2, 20)), 1);
        ASSERT_EQ(runCli({"--batch", "detect", "--trim", "0", source, "-o", withFfmpeg}, dir.path()).exitCode, 0);
        std::filesystem::create_directory(brokenLibraries);
        for (const std::string& name :
             {"libavutil.so." + std::to_string(LIBAVUTIL_VERSION_MAJOR),
              "libavcodec.so." + std::to_string(LIBAVCODEC_VERSION_MAJOR),
              "libavformat.so." + std::to_string(LIBAVFORMAT_VERSION_MAJOR),
              "libswscale.so." + std::to_string(LIBSWSCALE_VERSION_MAJOR)})
            writeTextFile(brokenLibraries + "/" + name, "");
    }

    TempDir dir;
    const std::string source = dir.file("takes.avi");
    const std::string withFfmpeg = dir.file("with.csv");
    const std::string brokenLibraries = dir.file("broken");
};

TEST_F(CliWithoutFfmpeg, DvCommandsRunAndDecodingOnesSayWhy) {
    ScopedEnv path("LD_LIBRARY_PATH", brokenLibraries.c_str());
    EXPECT_EQ(runCli({"--version"}).exitCode, 0);

    const std::string without = dir.file("without.csv");
    CliResult dates = runCli({"--batch", "detect", "--trim", "0", source, "-o", without}, dir.path());
    ASSERT_EQ(dates.exitCode, 0) << dates.err;
    EXPECT_EQ(readTextFile(without), readTextFile(withFfmpeg));
    CliResult write = runCli({"--batch", "write", without, "--dest", dir.file("scenes")}, dir.path());
    EXPECT_EQ(write.exitCode, 0) << write.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("scenes")));

    const std::string pictures = dir.file("pictures.csv");
    CliResult decoding = runCli({"--batch", "detect", "--type", "picture", "--trim", "0", source, "-o", pictures},
                                dir.path());
    EXPECT_EQ(decoding.exitCode, 2);
    EXPECT_NE(decoding.err.find("FFmpeg"), std::string::npos) << decoding.err;
    EXPECT_NE(decoding.err.find(brokenLibraries), std::string::npos) << decoding.err;
    EXPECT_FALSE(std::filesystem::exists(pictures));
}

}  // namespace
}  // namespace klemora::test
