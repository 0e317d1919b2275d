// WriteScenesToOneFile: the scenes in list order, the equality rules checked
// before anything is written, the OK filter and the file date.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/file_io.h"
#include "avi/avi_reader.h"
#include "output/joined_writer.h"
#include "output/write_context.h"
#include "output/write_result.h"
#include "scene/scene_list.h"
#include "tests/avi/writer/writer_test_support.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class JoinedWrite : public ::testing::Test {
protected:
    void SetUp() override {
        a = dir.file("a.avi");
        b = dir.file("b.avi");
        ASSERT_TRUE(makeDvSource(a, 2, false, 30));
        fixtures::DvFixtureOptions other;
        other.sessions = {{localTime("2007-01-02 03:04:05"), 40, std::nullopt}};
        ASSERT_TRUE(makeDvSource(b, other));
    }
    TempDir dir;
    std::string a, b;
};

TEST_F(JoinedWrite, HoldsTheScenesInListOrderWithTheirSound) {
    if (!haveFfmpegTools()) GTEST_SKIP() << "ffmpeg/ffprobe not on PATH";
    std::vector<std::string> sa = videoPacketMd5s(a), sb = videoPacketMd5s(b);
    scene::SceneList list;
    addScene(list, b, 10, 19);
    addScene(list, a, 0, 4);
    addScene(list, b, 30, 39);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    std::string out = dir.file("joined.avi");
    ASSERT_EQ(output::WriteScenesToOneFile(context, list, out), 1) << ui.allMessages();
    std::vector<std::string> expected(sb.begin() + 10, sb.begin() + 20);
    expected.insert(expected.end(), sa.begin(), sa.begin() + 5);
    expected.insert(expected.end(), sb.begin() + 30, sb.end());
    EXPECT_EQ(videoPacketMd5s(out), expected);
    EXPECT_EQ(decodedFrames(out), 25);
    EXPECT_EQ(pcmBytes(out).size(), 25u * 1920 * 4);
    EXPECT_EQ(ui.progressMax(), 25);
}

TEST_F(JoinedWrite, ASecondFrameRateStopsWith308AndWritesNothing) {
    std::string ntsc = dir.file("ntsc.avi");
    ASSERT_TRUE(makeDvSource(ntsc, 2, true, 30));
    scene::SceneList list;
    addScene(list, a, 0, 9);
    addScene(list, ntsc, 0, 9);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    EXPECT_EQ(output::WriteScenesToOneFile(context, list, dir.file("joined.avi")), 1);
    EXPECT_TRUE(ui.hasMessage("dieselbe Frame-Rate (FpS) wie die vorhergehenden Dateien!\nFile: " + ntsc))
        << ui.allMessages();
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"a.avi", "b.avi", "ntsc.avi"}));
}

TEST_F(JoinedWrite, OtherMediaTypesStopWith309Or310) {
    std::string type1 = dir.file("type1.avi");
    ASSERT_TRUE(makeDvSource(type1, 1, false, 10));
    scene::SceneList videoMismatch;
    addScene(videoMismatch, a, 0, 4);
    addScene(videoMismatch, type1, 0, 4);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    EXPECT_EQ(output::WriteScenesToOneFile(context, videoMismatch, dir.file("j.avi")), 1);
    EXPECT_TRUE(ui.hasMessage("dieselben Video-Parameter")) << ui.allMessages();
    EXPECT_FALSE(app::fileExists(dir.file("j.avi")));
}

TEST_F(JoinedWrite, OkFilterAndFileDateOfTheFirstWrittenScene) {
    ScopedEnv tz("TZ", "UTC");
    ::tzset();
    scene::SceneList list;
    addScene(list, a, 0, 4, 0, "2001-01-01 00:00:00");
    addScene(list, b, 0, 4, 1, "2007-01-02 03:04:05");
    addScene(list, a, 5, 9, 1);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    context.okStatusOnly = true;
    context.setFileDates = true;
    std::string out = dir.file("ok.avi");
    ASSERT_EQ(output::WriteScenesToOneFile(context, list, out), 1) << ui.allMessages();
    avi::AviReader written;
    ASSERT_EQ(written.Open(out, "r"), 1);
    EXPECT_EQ(written.GetFrameCount(), 10);
    struct stat status {};
    ASSERT_EQ(::stat(out.c_str(), &status), 0);
    EXPECT_EQ(status.st_mtime, 1167707045);  // 2007-01-02 03:04:05 UTC

    scene::SceneList none;
    addScene(none, a, 0, 4, 0);
    EXPECT_EQ(output::WriteScenesToOneFile(context, none, dir.file("none.avi")), 1);
    EXPECT_FALSE(app::fileExists(dir.file("none.avi")));
}

TEST_F(JoinedWrite, ScenesPastTheEndAreCutAndBadOnesWriteNothing) {
    scene::SceneList list;
    addScene(list, a, 20, 100);  // a has 30 frames: 20-29
    addScene(list, b, 0, 4);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    std::string out = dir.file("joined.avi");
    ASSERT_EQ(output::WriteScenesToOneFile(context, list, out), 1) << ui.allMessages();
    EXPECT_TRUE(ui.hasMessage("Written: 20-29")) << ui.allMessages();
    avi::AviReader joined;
    ASSERT_EQ(joined.Open(out, "r"), 1);
    EXPECT_EQ(joined.GetFrameCount(), 15);

    std::string gop = dir.file("gop.avi");
    ASSERT_TRUE(makeKeyFrameEveryTenSource(gop, 30));
    struct Case {
        std::string source;
        int32_t start, stop;
        int code;
    };
    for (const Case& bad : {Case{a, 40, 50, static_cast<int>(output::WriteSceneResult::TooShort)},
                            Case{gop, 5, 9, static_cast<int>(output::WriteSceneResult::StartNotKeyFrame)}}) {
        scene::SceneList badList;
        addScene(badList, a, 0, 9);
        addScene(badList, bad.source, bad.start, bad.stop);
        ScriptedUserInterface badUi;
        output::WriteContext badContext(badUi);
        EXPECT_EQ(output::WriteScenesToOneFile(badContext, badList, dir.file("bad.avi")), bad.code) << badUi.allMessages();
        EXPECT_FALSE(app::fileExists(dir.file("bad.avi")));
    }
    // The joined file may not take the name of one of its sources.
    ScriptedUserInterface selfUi;
    output::WriteContext selfContext(selfUi);
    EXPECT_EQ(output::WriteScenesToOneFile(selfContext, list, b),
              static_cast<int>(output::WriteSceneResult::DestinationIsSource));
    avi::AviReader kept;
    ASSERT_EQ(kept.Open(b, "r"), 1);
    EXPECT_EQ(kept.GetFrameCount(), 40);
}

}  // namespace
}  // namespace klemora::test
