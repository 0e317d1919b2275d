// What the command line says and returns when its input is wrong: missing
// files, unreadable AVI facts, failed grabs, bad numbers and languages.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/fixtures/scene_clip.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class CliMessages : public ::testing::Test {
protected:
    std::string dvFile(const std::string& name, fixtures::DvFixtureOptions options) {
        std::string path = m_dir.file(name);
        EXPECT_EQ(fixtures::writeDvAvi(path, options), 1);
        return path;
    }

    CliResult run(std::vector<std::string> args) {
        args.insert(args.begin(), "--batch");
        return runCli(args, m_dir.path());
    }

    TempDir m_dir;
};

TEST_F(CliMessages, EveryCommandSaysPlainlyThatAFileIsMissing) {
    const std::string missing = m_dir.file("missing.avi");
    const std::string plain = "klemora: error: The file does not exist!\nFile: " + missing;
    const std::string project = m_dir.file("missing.scn");
    const std::string list = m_dir.file("missing.csv");
    const std::vector<std::pair<std::vector<std::string>, std::string>> commands = {
        {{"probe", missing}, missing},
        {{"probe", "--container", missing}, missing},
        {{"dvdump", missing}, missing},
        {{"picture", missing, "--frame", "0"}, missing},
        {{"frames", missing, "--dest", m_dir.file("pics")}, missing},
        {{"detect", missing}, missing},
        {{"detect", "--type", "picture", missing}, missing},
        {{"datestamp", "--start", "2006-07-01 10:00:00", missing}, missing},
        {{"speed", missing, "--factor", "2", "--dest", m_dir.file("speed")}, missing},
        {{"convert", project, m_dir.file("out.csv")}, project},
        {{"names", "--template", "%Q", list}, list},
        {{"index", project, "--out", m_dir.file("index.htm")}, project},
    };
    for (const auto& [command, named] : commands) {
        CliResult r = run(command);
        SCOPED_TRACE(command[0] + " " + command[1]);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(contains(r.err, "The file does not exist!\nFile: " + named)) << r.err;
        EXPECT_FALSE(contains(r.err, "Internal error")) << r.err;
    }
    EXPECT_TRUE(contains(run({"probe", missing}).err, plain));

    // German output: the terminal's own labels follow the language.
    CliResult de = runCli({"--batch", "--lang", "DE", "datestamp", "--start", "2006-07-01 10:00:00", missing,
                           m_dir.file("missing2.avi")},
                          m_dir.path());
    EXPECT_TRUE(contains(de.err, "klemora: Fehler: Die Datei existiert nicht!\nFile: " + missing)) << de.err;
    EXPECT_TRUE(contains(de.err, "-> Ja (Stapelbetrieb)")) << de.err;
    EXPECT_FALSE(contains(de.err, "error:")) << de.err;
    EXPECT_FALSE(contains(de.err, "(OpenFailed)")) << de.err;
}

TEST_F(CliMessages, ProbeFailsWhenTheAviFactsCannotBeRead) {
    fixtures::DvFixtureOptions options;
    options.streamHeader60 = true;  // refused by the AVI reader, still read by FFmpeg
    std::string damaged = dvFile("strh60.avi", options);
    CliResult text = run({"probe", damaged});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_TRUE(contains(text.err, "The AVI facts of the file could not be read!\nFile: " + damaged)) << text.err;
    EXPECT_TRUE(contains(text.out, "  isDv: -\n")) << text.out;

    CliResult json = run({"probe", "--json", damaged});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_TRUE(contains(json.out, "{\"file\":\"" + damaged + "\",\"streams\":2,")) << json.out;
    EXPECT_TRUE(contains(json.out, "\"isDv\":null,")) << json.out;
    EXPECT_TRUE(contains(json.out, ",\"error\":\"ReaderFailed\",\"code\":-4}\n")) << json.out;
}

TEST_F(CliMessages, ProbeJsonGivesEveryFileOneLineWithItsPath) {
    std::string dv = dvFile("dv.avi", {});
    fixtures::SceneClipOptions clip;
    clip.codec = fixtures::ClipCodec::Mjpeg;
    clip.scenes = {{fixtures::ClipSceneKind::ColourField, 5, 1}};
    std::string mjpeg = m_dir.file("mjpeg.avi");
    ASSERT_EQ(fixtures::writeSceneClip(mjpeg, clip), 1);
    std::string missing = m_dir.file("missing.avi");

    CliResult r = run({"probe", "--json", dv, mjpeg, missing});
    EXPECT_EQ(r.exitCode, 1);
    std::vector<std::string> lines;
    for (size_t begin = 0, end; (end = r.out.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(r.out.substr(begin, end - begin));
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_TRUE(contains(lines[0], "{\"file\":\"" + dv + "\",")) << lines[0];
    EXPECT_TRUE(contains(lines[0], "\"recordingTime\":\"2006-07-01 10:00:00\"")) << lines[0];
    // A video without sound and without DV packs: unknown, not 1970 or 0.
    EXPECT_TRUE(contains(lines[1], "{\"file\":\"" + mjpeg + "\",")) << lines[1];
    EXPECT_TRUE(contains(lines[1], "\"audioStream\":null,")) << lines[1];
    EXPECT_TRUE(contains(lines[1], "\"isDv\":false,")) << lines[1];
    EXPECT_TRUE(contains(lines[1], "\"recordingTime\":null,\"timecode\":null}")) << lines[1];
    EXPECT_EQ(lines[2], "{\"file\":\"" + missing + "\",\"error\":\"FileNotFound\"}");
}

TEST_F(CliMessages, PictureDetectionEndsAtTheFramesACutFileHolds) {
    // The headers promise 100 frames; the cut file holds 27. No grab runs
    // into the missing ones, so nothing fails and the scene ends at frame 26.
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(100);
    options.type = 1;
    options.truncateToBytes = 4000000;
    std::string cut = dvFile("cut.avi", options);
    CliResult r = run({"detect", "--type", "picture", cut});
    EXPECT_FALSE(contains(r.err, "AVERROR_EOF")) << r.err;
    EXPECT_TRUE(contains(r.out, "\";0;26;")) << r.out;
    EXPECT_EQ(r.exitCode, 0);
}

TEST_F(CliMessages, BadNumbersAndLanguagesAreRefusedClearly) {
    std::string dv = dvFile("dv.avi", fixtures::singleSessionOptions(5));
    CliResult split = run({"split", dv, "--frames", "0", "--dest", m_dir.file("parts")});
    EXPECT_NE(split.exitCode, 0);
    EXPECT_TRUE(contains(split.err, "--frames: 0 is too small: give a whole number of at least 1")) << split.err;
    EXPECT_LT(split.err.size(), 200u) << split.err;
    CliResult width = run({"picture", dv, "--frame", "0", "--width", "0", "--height", "10"});
    EXPECT_NE(width.exitCode, 0);
    EXPECT_TRUE(contains(width.err, "0 is too small")) << width.err;

    for (const char* code : {"FR", "XX"}) {
        CliResult r = run({"--lang", code, "selfcheck"});
        EXPECT_NE(r.exitCode, 0) << code;
        EXPECT_TRUE(contains(r.err, "DE (German) or US (English)")) << r.err;
    }
    EXPECT_EQ(run({"--lang", "us", "selfcheck"}).exitCode, 0);
}

}  // namespace
}  // namespace klemora::test
