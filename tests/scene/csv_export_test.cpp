#include "scene/csv_export.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "scene/field_cutter.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

TEST(CsvExport, WritesTheExactFormat) {
    test::TempDir dir;
    SceneList list;
    int i = list.AddNewScene();
    list.setSourceFile(i, "/v/Ur\"laub.avi");
    list.setDestName(i, "ziel");
    list.setStartFrame(i, 24);
    list.setStopFrame(i, 125);
    list.setSpeedFactor(i, 1.5f);
    list.setComment(i, "Strand; Meer");
    RecordingTime t{9, 5, 18, 24, 11, 106, 0, 0, 0};
    list.setRecordingTime(i, &t);
    list.setTimecode(i, {1, 12, 0, 5});
    list.AddNewScene();  // a default record
    std::string path = dir.file("list.csv");
    EXPECT_EQ(exportCsv(list, path), 1);
    EXPECT_EQ(test::readTextFile(path),
              "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECODE\r\n"
              "\"/v/Ur\"laub.avi\";\"ziel\";24;125;1.500000;\"Strand; Meer\";\"24-12-2006 / 18:05:09\";\"01:12:00:05\"\r\n"
              "\"\";\"\";0;0;1.000000;\"\";\"11-02-1970 / 00:00:00\";\"00:00:00:00\"\r\n");
    EXPECT_EQ(list.projectPath(), path);
    EXPECT_FALSE(list.modified());
}

TEST(CsvExport, SpeedIgnoresTheNumericLocale) {
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
    SceneList list;
    list.AddNewScene();
    list.setSpeedFactor(0, 0.25f);
    std::string line = csvLine(*list.record(0));
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_NE(line.find(";0.250000;"), std::string::npos) << line;
}

TEST(CsvExport, EmptyListAndFailures) {
    test::TempDir dir;
    SceneList list;
    EXPECT_EQ(exportCsv(list, dir.file("empty.csv")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.csv")));

    list.AddNewScene();
    EXPECT_EQ(exportCsv(list, dir.file("missing/folder.csv")), -1);
    EXPECT_TRUE(list.modified());
    EXPECT_EQ(list.projectPath(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(FieldCutter, CutsLikeTheImportersExpect) {
    auto pieces = cutFields(" \"a;b\" ;;\"\"; 12 ;\t\"x\r", ';', 8);
    EXPECT_EQ(pieces, (std::vector<std::string_view>{"a", "b", "", "12", "x"}));
    EXPECT_EQ(cutFields("1;2;3;4", ';', 2), (std::vector<std::string_view>{"1", "2"}));
    EXPECT_TRUE(cutFields(";;;", ';', 8).empty());
    EXPECT_EQ(trimField("\""), "");
    EXPECT_EQ(trimField("  \"only leading"), "only leading");

    SceneList list;
    list.AddNewScene();
    list.setComment(0, "c");
    std::string line = csvLine(*list.record(0));
    auto round = cutFields(line, ';', 8);
    ASSERT_EQ(round.size(), 8u);  // the empty quoted fields survive as pieces
    EXPECT_EQ(round[4], "1.000000");
    EXPECT_EQ(round[5], "c");
    EXPECT_EQ(toCrLf("a\nb\n"), "a\r\nb\r\n");
}

}  // namespace
}  // namespace klemora::scene
