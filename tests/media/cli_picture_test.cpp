// "klemora-cli picture" and "frames" as a user runs them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/file_io.h"
#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

std::string dvClip(const TempDir& dir, int32_t frames) {
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(frames);
    std::string path = dir.file("clip.avi");
    EXPECT_EQ(fixtures::writeDvAvi(path, options), 1);
    return path;
}

TEST(CliPicture, WritesOneFrameAndNamesIt) {
    TempDir dir;
    std::string clip = dvClip(dir, 8);
    ::mkdir(dir.file("pics").c_str(), 0755);
    CliResult r = runCli({"--batch", "picture", clip, "--frame", "3", "--dest", dir.file("pics"), "--width", "360",
                          "--height", "288"},
                         dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("pics/clip_f00004.bmp") + "\n");
    EXPECT_EQ(app::readWholeFile(dir.file("pics/clip_f00004.bmp"))->size(), 58u + 360 * 3 * 288);

    // Beyond the end: said plainly, no grabber code, no picture.
    r = runCli({"--batch", "picture", clip, "--frame", "8", "--dest", dir.file("later")}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("There is no frame 8: the file has the frames 0 to 7!\nFile: " + clip), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("KLM-AF-1000"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("later")));

    // A missing folder is made, as for the frames; frame 0 is named with 1.
    r = runCli({"--batch", "picture", clip, "--frame", "0", "--dest", dir.file("new/pics")}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, dir.file("new/pics/clip_f00001.bmp") + "\n");
    r = runCli({"--batch", "picture", clip, "--frame", "1", "--width", "100"}, dir.path());
    EXPECT_NE(r.exitCode, 0);  // a width needs a height
}

TEST(CliFrames, WritesEveryFrame) {
    TempDir dir;
    std::string clip = dvClip(dir, 6);
    ::mkdir(dir.file("all").c_str(), 0755);
    CliResult r = runCli({"--batch", "frames", clip, "--dest", dir.file("all")}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("6 pictures"), std::string::npos) << r.out;
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("all"))) count += entry.is_regular_file();
    EXPECT_EQ(count, 6u);
    EXPECT_TRUE(app::fileExists(dir.file("all/clip_f00005.bmp")));
    EXPECT_TRUE(app::fileExists(dir.file("all/clip_f00000.bmp")));

    // A missing folder is made, as write, split and speed do.
    r = runCli({"--batch", "frames", clip, "--dest", dir.file("missing/below")}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(app::fileExists(dir.file("missing/below/clip_f00005.bmp")));
}

}  // namespace
}  // namespace klemora::test
