#include "scene/csv_import.h"

#include <gtest/gtest.h>

#include <random>

#include "app/file_io.h"
#include "app/string_table.h"
#include "scene/csv_export.h"
#include "scene/field_checks.h"
#include "scene/time_text.h"
#include "tests/scene/fake_probe.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

using test::FakeProbe;
using test::ScriptedUserInterface;
using test::TempDir;

constexpr const char* kHeader = "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECODE\n";

class CsvImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = dir.file("a.avi");
        test::writeTextFile(source, "x");
        probe.facts(source).framesPerSecond = 29.97f;
    }
    // A data line for the existing source with the given columns 3 to 8.
    std::string row(const std::string& rest) const { return "\"" + source + "\";\"dest\";" + rest + "\n"; }
    int import(const std::string& text) {
        path = dir.file("list.csv");
        test::writeTextFile(path, text);
        return importCsv(list, path, probe, search, ui);
    }
    TempDir dir;
    std::string source, path;
    SceneList list;
    SourceSearch search;
    FakeProbe probe;
    ScriptedUserInterface ui;
};

TEST_F(CsvImportTest, LowerCaseHeaderWithExtraColumnsAndCrLfIsAccepted) {
    std::string text = "srcfile;dstfile;startframe;stopframe;speedfactor;comment;starttime;timecode;EXTRA\r\n" +
                       row("10;20;2.5;\"note\";\"24-12-2006 / 18:05:09\";\"01:02:03:04\";\"ignored\"");
    ASSERT_EQ(import(text), 1) << ui.allMessages();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.sourceFile(0), source);
    EXPECT_EQ(list.destName(0), "dest");
    EXPECT_EQ(list.startFrame(0), 10);
    EXPECT_EQ(list.stopFrame(0), 20);
    EXPECT_EQ(list.definedStart(0), 10);
    EXPECT_EQ(list.definedStop(0), 20);
    EXPECT_FLOAT_EQ(list.speedFactor(0), 2.5f);
    EXPECT_EQ(list.comment(0), "note");
    EXPECT_EQ(recordingTimeText(list.recordingTime(0)), "24-12-2006 / 18:05:09");
    EXPECT_EQ(timecodeText(list.timecode(0)), "01:02:03:04");
    // The probe that ends the import filled the source facts.
    EXPECT_FLOAT_EQ(list.framesPerSecond(0), 29.97f);
    EXPECT_EQ(list.projectPath(), path);
    EXPECT_FALSE(list.modified());
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(CsvImportTest, HeaderOnlyGivesAnEmptyListAndEmptyQuotedColumnsGiveZeroValues) {
    list.setSourceFile(list.AddNewScene(), "/old.avi");
    EXPECT_EQ(import(kHeader), 1);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.projectPath(), path);

    ASSERT_EQ(import(std::string(kHeader) + "\n" + row("5;6;1.0;\"\";\"\";\"\"")), 1) << ui.allMessages();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.destName(0), "dest");
    EXPECT_EQ(list.comment(0), "");
    EXPECT_EQ(list.recordingTime(0), (RecordingTime{0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(recordingTimeText(list.recordingTime(0)), "00-01-1900 / 00:00:00");
    EXPECT_EQ(timecodeText(list.timecode(0)), "00:00:00:00");
}

TEST_F(CsvImportTest, ADateWithoutItsTimeKeepsTheDate) {
    ASSERT_EQ(import(std::string(kHeader) + row("5;6;1.0;\"\";\"24-12-2006\";\"01:02\"")), 1);
    EXPECT_EQ(recordingTimeText(list.recordingTime(0)), "24-12-2006 / 00:00:00");
    EXPECT_EQ(timecodeText(list.timecode(0)), "01:02:00:00");
}

TEST_F(CsvImportTest, ExtremeNumbersInTheTextColumnsStayHarmless) {
    ASSERT_EQ(
        import(std::string(kHeader) + row("0;2147483646;100;\"\";\"29-02-2000 / 23:59:59\";\"99999:-99999:3:4\"")), 1);
    EXPECT_EQ(recordingTimeText(list.recordingTime(0)), "29-02-2000 / 23:59:59");
    EXPECT_EQ(list.stopFrame(0), 2147483646);
    EXPECT_EQ(list.lengthFrames(0), 2147483647);
    EXPECT_FALSE(csvText(list).empty());
}

TEST_F(CsvImportTest, EmptyDatesImportWithoutADateAndOneWarning) {
    std::string text = std::string(kHeader) + row("1;2;1.0;\"\";\"24-12-2006 / 18:05:09\";\"\"") +
                       row("1;2;1.0;\"\";\"\";\"\"") + row("1;2;1.0;\"\";\"00-01-1900 / 00:00:00\";\"\"");
    ASSERT_EQ(import(text), 1) << ui.allMessages();
    ASSERT_EQ(list.count(), 3);
    EXPECT_TRUE(isEmptyRecordingTime(list.recordingTime(1)));
    EXPECT_TRUE(isEmptyRecordingTime(list.recordingTime(2)));  // as an empty column exports
    ASSERT_EQ(ui.messages().size(), 1u) << ui.allMessages();
    EXPECT_EQ(ui.messages()[0].text, app::loadString(861) + "\nRow: 3\nCount: 2");
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Warning);
}

TEST_F(CsvImportTest, SpeedMustBeAboveOneThousandth) {
    EXPECT_EQ(import(std::string(kHeader) + row("1;2;0.0011;\"\";\"\";\"\"") + row("1;2;0.001;\"\";\"\";\"\"")), -6);
    ASSERT_EQ(list.count(), 1);  // the scene read before the refused line stays
    EXPECT_FLOAT_EQ(list.speedFactor(0), 0.0011f);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, app::loadString(149) + "\nRow: 3");
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Stop);
    EXPECT_EQ(list.projectPath(), "");
}

struct Refusal {
    const char* name;
    std::string text;
    int result;
    int stringId;
    std::string suffix;
};

class CsvRefusalTest : public CsvImportTest, public ::testing::WithParamInterface<int> {};

std::vector<Refusal> refusals() {
    const std::string h = kHeader;
    const std::string src = "\"/v/a.avi\";\"d\";";
    const std::string tail = ";1.0;\"c\";\"01-01-2000 / 00:00:00\";\"00:00:00:00\"\n";
    return {
        {"ShortHeader", "SRCFILE;DSTFILE\n", -3, 142, "\nCode: -1"},
        {"EmptyFile", "\n\n", -3, 142, "\nCode: -1"},
        {"OtherHeader", "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECOD_\n", -4, 142,
         "\nCode: -2"},
        {"FiveColumns", h + src + "1;2;1.0\n", -5, 143, "\nRow/Column: 2/6)"},
        {"EmptyFieldsDoNotCount", h + src + "1;;;2;1.0;\"c\";\"01-01-2000\"\n", -5, 143, "\nRow/Column: 2/8)"},
        {"RowsCountEmptyLines", h + "\n\n" + src + "1\n", -5, 143, "\nRow/Column: 4/4)"},
        {"LongSource", h + "\"" + std::string(261, 's') + "\";\"d\";1;2" + tail, -6, 145, "\nRow: 2"},
        {"LongDest", h + "\"s\";\"" + std::string(261, 'd') + "\";1;2" + tail, -6, 146, "\nRow: 2"},
        {"NegativeStartBeforeMissingColumns", h + src + "-1\n", -6, 147, "\nRow: 2"},
        {"NegativeStop", h + src + "1;-2" + tail, -6, 148, "\nRow: 2"},
        {"LongComment", h + src + "1;2;1.0;\"" + std::string(1025, 'c') + "\";\"\";\"\"\n", -6, 150, "\nRow: 2"},
        {"LongStartTime", h + src + "1;2;1.0;\"c\";\"" + std::string(31, '1') + "\";\"\"\n", -6, 461, "\nRow: 2"},
        {"LongTimecode", h + src + "1;2;1.0;\"c\";\"\";\"" + std::string(31, '1') + "\"\n", -6, 462, "\nRow: 2"},
        {"HugeStart", h + src + "3000000000;2" + tail, -6, 463, "\nRow/Column: 2/3"},
        {"InfiniteSpeed", h + src + "1;2;1e999;\"c\";\"\";\"\"\n", -6, 463, "\nRow/Column: 2/5"},
        {"SpeedAboveOneHundred", h + src + "1;2;100.01;\"c\";\"\";\"\"\n", -6, 463, "\nRow/Column: 2/5"},
        // Dates that name no day are refused rather than carried into another one.
        {"ImpossibleDate", h + src + "1;2;1.0;\"c\";\"31-02-2006 / 10:00:00\";\"\"\n", -6, 860, "\nRow: 2"},
        {"NoSuchTime", h + src + "1;2;1.0;\"c\";\"99-99-9999 / 99:99:99\";\"\"\n", -6, 860, "\nRow: 2"},
        {"TimeOfDayPastMidnight", h + src + "1;2;1.0;\"c\";\"01-01-2000 / 24:00:00\";\"\"\n", -6, 860, "\nRow: 2"},
        {"GarbageDate", h + src + "1;2;1.0;\"c\";\"garbage\";\"\"\n", -6, 860, "\nRow: 2\nCode: -4"},
        {"DateWithoutYear", h + src + "1;2;1.0;\"c\";\"24-12\";\"\"\n", -6, 860, "\nRow: 2\nCode: -5"},
        {"StopBeforeStart", h + src + "5;4" + tail, -7, 144, "\nRow: 2"},
    };
}

TEST_P(CsvRefusalTest, ShowsItsMessageAndCode) {
    Refusal r = refusals()[GetParam()];
    SCOPED_TRACE(r.name);
    EXPECT_EQ(import(r.text), r.result);
    ASSERT_EQ(ui.messages().size(), 1u) << ui.allMessages();
    EXPECT_EQ(ui.messages()[0].text, app::loadString(r.stringId) + r.suffix);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(probe.calls.empty());  // no source check or probe after a refusal
}

INSTANTIATE_TEST_SUITE_P(Table, CsvRefusalTest, ::testing::Range(0, static_cast<int>(refusals().size())),
                         [](const auto& info) { return std::string(refusals()[info.param].name); });

TEST_F(CsvImportTest, WindowsTextAndAByteOrderMarkAreRead) {
    ASSERT_EQ(import("\xEF\xBB\xBF" + std::string(kHeader) + row("1;2;1.0;\"Gr\xFC\xDF" "e\";\"\";\"\"")), 1);
    EXPECT_EQ(list.comment(0), "Gr\u00fc\u00df" "e");
    // A folder is no list; the scenes stay.
    EXPECT_EQ(importCsv(list, dir.path(), probe, search, ui), -2);
    EXPECT_EQ(list.count(), 1);
}

TEST_F(CsvImportTest, TheScene2001CannotBeAppended) {
    std::string text = kHeader;
    for (int i = 0; i <= kMaxScenes; ++i) text += row("1;2;1.0;\"\";\"\";\"\"");
    EXPECT_EQ(import(text), -8);
    EXPECT_EQ(list.count(), kMaxScenes);
    EXPECT_TRUE(ui.hasMessage(app::loadString(113) + " AddNewScene()!\nCode: -1"));
}

TEST_F(CsvImportTest, AFileThatCannotBeOpenedLeavesTheListAlone) {
    list.setSourceFile(list.AddNewScene(), "/old.avi");
    EXPECT_EQ(importCsv(list, dir.file("missing.csv"), probe, search, ui), -2);
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(CsvImportTest, ALineLongerThanAPieceIsKeptWhole) {
    // An extra column beyond the first 2048 characters must not become a row.
    std::string longRow = "\"" + source + "\";\"d\";1;2;1.0;\"c\";\"\";\"\";\"" + std::string(3000, 'x') + ";7;8\"\n";
    ASSERT_GT(longRow.size(), kLinePieceLength);
    EXPECT_EQ(import(std::string(kHeader) + longRow + row("3;4")), -5);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(ui.messages().back().text, app::loadString(143) + "\nRow/Column: 3/5)");
}

TEST_F(CsvImportTest, TheImportEndsWithTheSourceCheck) {
    ui.expectQuestion(app::loadString(330) + "\nGroup: \nFile: /gone/b.avi", app::Answer::No);
    ASSERT_EQ(import(std::string(kHeader) + "\"/gone/b.avi\";\"\";1;2;1.0;\"\";\"\";\"\"\n"), 1);
    // The probe of the missing file fails at the last scene.
    EXPECT_EQ(ui.messages().back().text, app::loadString(107) + "\nFile: /gone/b.avi\nCode: -5");
}

TEST_F(CsvImportTest, ExportOfAnEmptyListWritesNothing) {
    SceneList empty;
    EXPECT_EQ(exportCsv(empty, dir.file("none.csv")), 1);
    EXPECT_FALSE(app::fileExists(dir.file("none.csv")));
}

TEST_F(CsvImportTest, ExportAndImportKeepEveryColumn) {
    SceneList out;
    for (int k = 0; k < 2; ++k) {
        int i = out.AddNewScene();
        out.setSourceFile(i, source);
        out.setDestName(i, "dest " + std::to_string(k));
        out.setStartFrame(i, 100 * k);
        out.setStopFrame(i, 100 * k + 99);
        out.setSpeedFactor(i, 1.2345678f + static_cast<float>(k));
        out.setComment(i, "a comment");
        RecordingTime t{9, 5, 18, 24, 11, 106, 0, 0, 0};
        out.setRecordingTime(i, &t);
        out.setTimecode(i, Timecode{1, 2, 3, static_cast<int8_t>(4 + k)});
    }
    path = dir.file("round.csv");
    ASSERT_EQ(exportCsv(out, path), 1);
    EXPECT_NE(test::readTextFile(path).find("\r\n"), std::string::npos);
    ASSERT_EQ(importCsv(list, path, probe, search, ui), 1) << ui.allMessages();
    ASSERT_EQ(list.count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(list.sourceFile(i), out.sourceFile(i));
        EXPECT_EQ(list.destName(i), out.destName(i));
        EXPECT_EQ(list.startFrame(i), out.startFrame(i));
        EXPECT_EQ(list.stopFrame(i), out.stopFrame(i));
        EXPECT_NEAR(list.speedFactor(i), out.speedFactor(i), 1e-6);
        EXPECT_EQ(list.comment(i), out.comment(i));
        EXPECT_EQ(list.recordingTime(i), out.recordingTime(i));
        EXPECT_EQ(list.timecode(i), out.timecode(i));
    }
    EXPECT_EQ(csvText(list), csvText(out));
}

// Every scene a reader accepted is one the rest of the program can use.
void expectSaneList(const SceneList& list) {
    ASSERT_LE(list.count(), kMaxScenes);
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_GE(list.startFrame(i), 0);
        EXPECT_LE(list.startFrame(i), list.stopFrame(i));
        EXPECT_GE(list.speedFactor(i), 0.001f);
    }
}

TEST(CsvImportFuzzTest, DamagedFilesNeverBreakTheReader) {
    std::string valid = kHeader;
    for (int k = 0; k < 6; ++k)
        valid += "\"/v/clip" + std::to_string(k) + ".avi\";\"d\";" + std::to_string(k * 10) + ";" +
                 std::to_string(k * 10 + 9) + ";1.500000;\"c;x\";\"24-12-2006 / 18:05:09\";\"01:02:03:04\"\r\n";
    std::mt19937 random(20240611);
    const std::string alphabet = "0123456789;\"-:/ .eE+\r\nAVIabc\x01\xff";
    for (int round = 0; round < 400; ++round) {
        std::string text = valid;
        switch (round % 4) {
        case 0: text.resize(random() % valid.size()); break;
        case 1:
            for (int n = 0; n < 8; ++n) text[random() % text.size()] = alphabet[random() % alphabet.size()];
            break;
        case 2:
            text.resize(kCsvHeader.size() + 1);
            for (int n = 0; n < 600; ++n) text += alphabet[random() % alphabet.size()];
            break;
        default:
            text.clear();
            for (int n = 0; n < 300; ++n) text += static_cast<char>(random() & 0xFF);
        }
        SceneList list;
        SourceSearch search;
        FakeProbe probe;
        probe.succeedForAll = round % 2 == 0;
        app::SilentUserInterface ui;
        TextLineReader lines(text);
        int rc = importCsv(list, lines, "/fuzz.csv", probe, search, ui);
        ASSERT_TRUE(rc == 1 || (rc <= -3 && rc >= -8)) << "round " << round << " result " << rc;
        expectSaneList(list);
        csvText(list);  // what was read can be written again
    }
}

}  // namespace
}  // namespace klemora::scene
