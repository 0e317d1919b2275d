#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <random>

#include "app/file_io.h"
#include "app/string_table.h"
#include "scene/edl_export.h"
#include "scene/edl_import.h"
#include "scene/field_cutter.h"
#include "scene/time_text.h"
#include "tests/scene/fake_probe.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

using test::FakeProbe;
using test::ScriptedUserInterface;
using test::TempDir;

const std::string kVegas4Header =
    "\"ID\";\"Track\";\"StartTime\";\"Length\";\"PlayRate\";\"Locked\";\"Normalized\";\"StretchMethod\";"
    "\"Looped\";\"OnRuler\";\"MediaType\";\"FileName\";\"Stream\";\"StreamStart\";\"StreamLength\";"
    "\"FadeTimeIn\";\"FadeTimeOut\";\"SustainGain\";\"CurveIn\";\"GainIn\";\"CurveOut\";\"GainOut\";\"Layer\";"
    "\"Color\";\"CurveInR\";\"CurveOutR\"";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

double column(const std::string& line, int oneBased) {
    return leadingNumber(cutFields(line, ';', 30).at(static_cast<size_t>(oneBased - 1)));
}

class EdlTest : public ::testing::Test {
protected:
    void SetUp() override {
        a = dir.file("a.avi");
        b = dir.file("b.avi");
        test::writeTextFile(a, "x");
        test::writeTextFile(b, "x");
        probe.facts(a).framesPerSecond = 25.0f;
        probe.facts(b).framesPerSecond = 25.0f;
    }
    void addScene(const std::string& path, int start, int stop, float speed = 1.0f) {
        int i = list.AddNewScene();
        list.setSourceFile(i, path);
        list.setStartFrame(i, start);
        list.setStopFrame(i, stop);
        list.setSpeedFactor(i, speed);
    }
    std::string exported(EdlVariant variant) {
        std::string text;
        EXPECT_EQ(vegasEdlText(list, variant, probe, ui, text), 1);
        return text;
    }
    TempDir dir;
    std::string a, b;
    SceneList list;
    SourceSearch search;
    FakeProbe probe;
    ScriptedUserInterface ui;
};

TEST_F(EdlTest, HeadersOfBothVariants) {
    addScene(a, 0, 10);
    EXPECT_EQ(linesOf(exported(EdlVariant::Vegas4))[0], kVegas4Header);
    EXPECT_EQ(linesOf(exported(EdlVariant::Vegas56))[0], kVegas4Header + ":\"PlayPitch\";\"LockPitch\"");
    EXPECT_EQ(kVegas4Header.substr(0, kEdlHeaderCheckLength),
              "\"ID\";\"Track\";\"StartTime\";\"Length\";\"PlayRate\";\"Locked\";");
}

TEST_F(EdlTest, VideoAndAudioRowsCarryEveryColumn) {
    addScene(a, 0, 250);
    std::string q = "\"" + a + "\"";
    std::vector<std::string> v4 = linesOf(exported(EdlVariant::Vegas4));
    ASSERT_EQ(v4.size(), 3u);
    EXPECT_EQ(v4[1], "1;1;0.000000;9999.999776;1.000000;FALSE;FALSE;0;FALSE;FALSE;VIDEO;" + q +
                         ";0;0.000000;9999.999776;0.000000;0.000000;1.000000;4;0.000000;4;0.000000;0;-1;4;4");
    EXPECT_EQ(v4[2], "2;0;0.000000;9999.999776;1.000000;FALSE;FALSE;0;FALSE;FALSE;AUDIO;" + q +
                         ";0;0.000000;9999.999776;0.000000;0.000000;1.000000;2;0.000000;-2;0.000000;0;-1;-2;2");
    std::vector<std::string> v56 = linesOf(exported(EdlVariant::Vegas56));
    EXPECT_EQ(v56[1], v4[1] + ";0.000000;FALSE");
    EXPECT_EQ(v56[2], v4[2] + ";0.000000;FALSE");
}

TEST_F(EdlTest, SpeedStretchesTheEventButNotTheTimeline) {
    addScene(a, 0, 250);
    addScene(a, 251, 300, 2.0f);
    addScene(a, 400, 500);
    std::vector<std::string> rows = linesOf(exported(EdlVariant::Vegas4));
    ASSERT_EQ(rows.size(), 7u);
    const std::string& second = rows[3];
    EXPECT_EQ(cutFields(second, ';', 4)[2], "9999.999776");
    EXPECT_NEAR(column(second, 4), column(second, 15) / 2, 1e-6);
    EXPECT_NEAR(column(second, 14), 251 * 40.0, 1e-3);
    EXPECT_NEAR(column(rows[5], 3), column(second, 3) + column(second, 15), 1e-5);
    EXPECT_EQ(probe.calls.size(), 1u);  // three scenes of one source: one probe
}

TEST_F(EdlTest, SourcesAreProbedOncePerChangeAndIdsRunOverAllRows) {
    probe.facts(b).hasAudio = false;
    addScene(a, 0, 9);
    addScene(b, 0, 9);
    addScene(b, 10, 19);
    addScene(a, 20, 29);
    std::vector<std::string> rows = linesOf(exported(EdlVariant::Vegas4));
    EXPECT_EQ(probe.calls, (std::vector<std::string>{a, b, a}));
    ASSERT_EQ(rows.size(), 7u);  // a: 2 rows, b: 1 + 1, a: 2
    for (size_t r = 1; r < rows.size(); ++r) EXPECT_EQ(column(rows[r], 1), static_cast<double>(r));
    EXPECT_NE(rows[2].find("AUDIO"), std::string::npos);
    EXPECT_NE(rows[3].find("VIDEO"), std::string::npos);
    EXPECT_NE(rows[4].find("VIDEO"), std::string::npos);
}

TEST_F(EdlTest, AFailedProbeAsksForTwentyFiveFps) {
    probe.facts(b).framesPerSecond = 50.0f;
    addScene("/gone.avi", 0, 25);
    addScene(b, 0, 25);
    ui.expectQuestion(app::loadString(151), app::Answer::Yes);
    std::vector<std::string> rows = linesOf(exported(EdlVariant::Vegas4));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, app::loadString(107) + "\nFile: /gone.avi\nCode: -5");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(cutFields(rows[1], ';', 4)[3], "999.999978");  // 25 frames of 0.04 s
    EXPECT_EQ(cutFields(rows[3], ';', 4)[3], "499.999989");  // 25 frames of 0.02 s (single precision)

    // No: nothing is written and an older file stays.
    std::string path = dir.file("list.txt");
    test::writeTextFile(path, "old");
    ScriptedUserInterface no;
    no.expectQuestion(app::loadString(151), app::Answer::No);
    EXPECT_EQ(exportVegasEdl(list, path, EdlVariant::Vegas4, probe, no), -2);
    EXPECT_EQ(test::readTextFile(path), "old");
}

TEST_F(EdlTest, ExportWritesCrLfAndTakesThePath) {
    std::string path = dir.file("list.txt");
    SceneList empty;
    EXPECT_EQ(exportVegasEdl(empty, path, EdlVariant::Vegas56, probe, ui), 1);
    EXPECT_FALSE(app::fileExists(path));
    addScene(a, 0, 10);
    ASSERT_EQ(exportVegasEdl(list, path, EdlVariant::Vegas56, probe, ui), 1);
    std::string text = test::readTextFile(path);
    EXPECT_EQ(text.substr(0, kVegas4Header.size()), kVegas4Header);
    EXPECT_EQ(text, toCrLf(exported(EdlVariant::Vegas56)));
    EXPECT_EQ(text.substr(text.size() - 7), "FALSE\r\n");
    EXPECT_EQ(list.projectPath(), path);
    EXPECT_FALSE(list.modified());
    EXPECT_EQ(exportVegasEdl(list, dir.file("no/such/folder.txt"), EdlVariant::Vegas4, probe, ui), -1);
}

class EdlImportTest : public EdlTest {
protected:
    void SetUp() override {
        EdlTest::SetUp();
        tzset();
    }
    // A Vegas 4 row assembled by hand.
    static std::string row(int id, const std::string& media, const std::string& file, const std::string& start,
                           const std::string& length, const std::string& rate = "1.000000") {
        return std::to_string(id) + ";1;0.000000;" + length + ";" + rate + ";FALSE;FALSE;0;FALSE;FALSE;" + media +
               ";\"" + file + "\";0;" + start + ";" + length +
               ";0.000000;0.000000;1.000000;4;0.000000;4;0.000000;0;-1;4;4\r\n";
    }
    int import(const std::string& text) {
        path = dir.file("in.txt");
        test::writeTextFile(path, text);
        return importVegasEdl(list, path, probe, search, ui);
    }
    test::ScopedEnv tz{"TZ", "UTC"};
    std::string path;
};

TEST_F(EdlImportTest, AnExportedListComesBackOnceWithTheSameFrames) {
    addScene(a, 0, 250);
    addScene(a, 251, 300, 2.0f);
    addScene(b, 7, 7);
    std::string file = dir.file("round.txt");
    ASSERT_EQ(exportVegasEdl(list, file, EdlVariant::Vegas56, probe, ui), 1);
    SceneList back;
    ASSERT_EQ(importVegasEdl(back, file, probe, search, ui), 1) << ui.allMessages();
    ASSERT_EQ(back.count(), 3);  // the audio rows are skipped
    EXPECT_EQ(back.startFrame(0), 0);
    EXPECT_EQ(back.stopFrame(0), 250);
    EXPECT_EQ(back.startFrame(1), 251);
    EXPECT_EQ(back.stopFrame(1), 300);
    EXPECT_FLOAT_EQ(back.speedFactor(1), 2.0f);
    EXPECT_EQ(back.startFrame(2), 7);
    EXPECT_EQ(back.stopFrame(2), 7);
    EXPECT_EQ(back.definedStart(1), 251);
    EXPECT_EQ(back.definedStop(1), 300);
    EXPECT_EQ(back.sourceFile(2), b);
    EXPECT_EQ(back.projectPath(), file);
    EXPECT_FALSE(back.modified());
}

TEST_F(EdlImportTest, RecordingTimeAndTimecodeMoveByTheStartFrames) {
    std::string mpg = dir.file("c.mpg");
    test::writeTextFile(mpg, "x");
    for (const std::string& file : {a, mpg}) {
        SourceFacts& facts = probe.facts(file);
        facts.firstRecordingTime = RecordingTime{0, 0, 12, 1, 0, 110, 0, 0, 0};
        facts.firstTimecode = Timecode{1, 0, 0, 0};
    }
    std::string text = kVegas4Header + "\r\n" + row(1, "VIDEO", a, "10040.000000", "40.000000") +
                       row(2, "VIDEO", mpg, "10040.000000", "40.000000");
    ASSERT_EQ(import(text), 1) << ui.allMessages();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.startFrame(0), 251);
    EXPECT_EQ(list.stopFrame(0), 252);
    EXPECT_EQ(recordingTimeText(list.recordingTime(0)), "01-01-2010 / 12:00:10");
    EXPECT_EQ(timecodeText(list.timecode(0)), "01:00:10:01");
    // Only an AVI file has a recording time and timecode of its own.
    EXPECT_EQ(list.recordingTime(1), kNoRecordingTime);
    EXPECT_EQ(timecodeText(list.timecode(1)), "00:00:10:01");
}

TEST_F(EdlImportTest, FramesNearTheLimitStillMoveTheTimecode) {
    probe.facts(a).firstTimecode = Timecode{127, 59, 59, 24};
    ASSERT_EQ(import(kVegas4Header + "\n" + row(1, "VIDEO", a, "85899345000", "0")), 1) << ui.allMessages();
    EXPECT_EQ(list.startFrame(0), 2147483625);
    EXPECT_EQ(import(kVegas4Header + "\n" + row(1, "VIDEO", a, "85899346000", "0")), -6);
}

TEST_F(EdlImportTest, AudioLinesAreSkippedAndTheLastRateStays) {
    probe.facts(a).framesPerSecond = 50.0f;
    std::string gone = dir.file("gone.avi");
    ui.alwaysAnswer(app::loadString(330), app::Answer::No);
    std::string text = kVegas4Header + ":\"PlayPitch\";\"LockPitch\"\n" + row(1, "VIDEO", a, "0", "1000") +
                       row(2, "AUDIO", a, "0", "1000") + row(3, "VIDEO", dir.file("AUDIO.avi"), "0", "1000") +
                       row(4, "VIDEO", gone, "1000", "1000");
    ASSERT_EQ(import(text), 1) << ui.allMessages();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.stopFrame(0), 50);
    EXPECT_EQ(list.startFrame(1), 50);  // gone.avi cannot be probed: still 50 fps
    EXPECT_EQ(list.stopFrame(1), 100);
    EXPECT_EQ(list.sourceFile(1), gone);
}

TEST_F(EdlImportTest, RefusedRowsNameTheirRowAndColumn) {
    const std::string h = "\"id\";\"track\";\"starttime\";\"length\";\"playrate\";\"locked\";\r\n";
    struct Case {
        std::string text;
        int result;
        int stringId;
        std::string suffix;
    } cases[] = {
        // The messages name the EDL's own columns, not the CSV's.
        {"\"ID\";\"Track\";\"StartTime\"\n", -3, 867, "\nCode: -1"},
        {"\"ID\";\"Track\";\"StartTime\";\"Length\";\"PlayRate\";\"Locked\"_\n", -4, 867, "\nCode: -2"},
        {h + "1;1;0;1;1.0;FALSE;FALSE;0;FALSE;FALSE;VIDEO;\"a.avi\";0;0\n", -5, 866, "\nRow/Column: 2/15)"},
        {h + "\n" + row(1, "AUDIO", a, "0", "1") + row(2, "VIDEO", a, "0", "1", "0.001"), -6, 862, "\nRow: 4"},
        {h + row(1, "VIDEO", a, "0", "1", "100.5"), -6, 463, "\nRow/Column: 2/5"},
        {h + row(1, "VIDEO", std::string(261, 'f'), "0", "1"), -6, 863, "\nRow: 2"},
        {h + row(1, "VIDEO", a, "-1", "1"), -6, 864, "\nRow: 2"},
        {h + row(1, "VIDEO", a, "0", "-1"), -6, 865, "\nRow: 2"},
        {h + row(1, "VIDEO", a, "1e300", "1"), -6, 463, "\nRow/Column: 2/14"},
        {h + row(1, "VIDEO", a, "nan", "1"), -6, 463, "\nRow/Column: 2/14"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedUserInterface one;
        SceneList target;
        path = dir.file("bad.txt");
        test::writeTextFile(path, c.text);
        EXPECT_EQ(importVegasEdl(target, path, probe, search, one), c.result);
        ASSERT_EQ(one.messages().size(), 1u) << one.allMessages();
        EXPECT_EQ(one.messages()[0].text, app::loadString(c.stringId) + c.suffix);
        EXPECT_EQ(target.count(), 0);
    }
    EXPECT_EQ(importVegasEdl(list, dir.file("missing.txt"), probe, search, ui), -2);
}

TEST(EdlFuzzTest, DamagedFilesNeverBreakTheReader) {
    FakeProbe facts;
    facts.succeedForAll = true;
    SceneList scenes;
    for (int k = 0; k < 5; ++k) {
        int i = scenes.AddNewScene();
        scenes.setSourceFile(i, "/v/clip" + std::to_string(k % 2) + ".avi");
        scenes.setStartFrame(i, 100 * k);
        scenes.setStopFrame(i, 100 * k + 50);
    }
    app::SilentUserInterface quiet;
    std::string valid;
    ASSERT_EQ(vegasEdlText(scenes, EdlVariant::Vegas56, facts, quiet, valid), 1);
    std::mt19937 random(7031);
    const std::string alphabet = "0123456789;\"-. eEinfa\r\nAUDIOVIDEO\x80";
    for (int round = 0; round < 400; ++round) {
        std::string text = valid;
        if (round % 3 == 0) {
            text.resize(random() % valid.size());
        } else if (round % 3 == 1) {
            for (int n = 0; n < 10; ++n) text[random() % text.size()] = alphabet[random() % alphabet.size()];
        } else {
            text.resize(kEdlHeaderCheckLength + 1);
            for (int n = 0; n < 800; ++n) text += alphabet[random() % alphabet.size()];
        }
        FakeProbe probe;
        probe.succeedForAll = round % 2 == 0;
        probe.facts("/v/clip0.avi").firstTimecode = Timecode{127, 59, 59, 24};
        SceneList list;
        SourceSearch search;
        TextLineReader lines(text);
        int rc = importVegasEdl(list, lines, "/fuzz.txt", probe, search, quiet);
        ASSERT_TRUE(rc == 1 || (rc <= -3 && rc >= -8)) << "round " << round << " result " << rc;
        ASSERT_LE(list.count(), kMaxScenes);
        for (int i = 0; i < list.count(); ++i) {
            EXPECT_GE(list.startFrame(i), 0);
            EXPECT_LE(list.startFrame(i), list.stopFrame(i));
        }
    }
}

}  // namespace
}  // namespace klemora::scene
