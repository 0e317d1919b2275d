#include "scene/project_file.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/file_io.h"
#include "app/string_table.h"
#include "scene/field_checks.h"
#include "scene/time_text.h"
#include "tests/scene/project_bytes.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

using test::ProjectBytes;
using test::TempDir;

constexpr const char* kV10 = "Quillobrant Scene File v1.0 / scene lists, Quillobrant 2001";
constexpr const char* kV20 = "Quillobrant File v2.0 / scene lists, Quillobrant 2001-2003 ";
constexpr const char* kV21 = "Quillobrant File v2.1 / scene lists, Quillobrant 2001-2004 ";
constexpr const char* kV22a = "Quillobrant File v2.2 / scene lists, Quillobrant 2001-2005 ";
constexpr const char* kV22b = "Klemora File v2.2 / scene project file, Klemora 2001-2007  ";
constexpr const char* kV23 = "Klemora File v2.3 / scene project file, Klemora 2001-2007  ";

// One record with every field up to `version`, start 10 + k, stop 20 + k.
void appendRecord(ProjectBytes& b, int version, int k) {
    b.text("/v/clip" + std::to_string(k) + ".avi", 261).text("dest", 261).i32(10 + k).i32(20 + k);
    if (version >= 20) b.f64(2.5);
    if (version >= 21) b.text("note", 1025);
    if (version >= 22) b.tm(9, 5, 18, 24, 11, 106, 0, 357, 0).i32(5 + k).i32(30 + k);
    if (version >= 23) b.timecode(1, 2, 3, 4);
}

std::string flatFile(const char* signature, int version, int scenes) {
    ProjectBytes b;
    b.signature(signature).i32(scenes);
    for (int k = 0; k < scenes; ++k) appendRecord(b, version, k);
    return b.bytes();
}

class FlatProjectTest : public ::testing::Test {
protected:
    int load(const std::string& bytes) {
        test::writeTextFile(dir.file("p.scn"), bytes);
        return readFlatFile(dir.file("p.scn"), list);
    }
    TempDir dir;
    SceneList list;
};

TEST_F(FlatProjectTest, EveryFlatVersionLoadsWithItsDefaults) {
    struct Case {
        const char* signature;
        int version;
        size_t recordBytes;
    };
    for (Case c : {Case{kV10, 10, 530}, Case{kV20, 20, 538}, Case{kV21, 21, 1563}, Case{kV22a, 22, 1607},
                   Case{kV22b, 22, 1607}, Case{kV23, 23, 1611}}) {
        SCOPED_TRACE(c.signature);
        std::string bytes = flatFile(c.signature, c.version, 2);
        ASSERT_EQ(bytes.size(), 64 + 2 * c.recordBytes);
        ASSERT_EQ(load(bytes), 1);
        ASSERT_EQ(list.count(), 2);
        EXPECT_EQ(list.sourceFile(1), "/v/clip1.avi");
        EXPECT_EQ(list.destName(1), "dest");
        EXPECT_EQ(list.startFrame(1), 11);
        EXPECT_EQ(list.stopFrame(1), 21);
        EXPECT_FLOAT_EQ(list.speedFactor(1), c.version >= 20 ? 2.5f : 1.0f);
        EXPECT_EQ(list.comment(1), c.version >= 21 ? "note" : "");
        EXPECT_EQ(recordingTimeText(list.recordingTime(1)),
                  c.version >= 22 ? "24-12-2006 / 18:05:09" : "11-02-1970 / 00:00:00");
        EXPECT_EQ(list.recordingTime(1).daylightSaving, c.version >= 22 ? 0 : -1);
        EXPECT_EQ(list.definedStart(1), c.version >= 22 ? 6 : 11);
        EXPECT_EQ(list.definedStop(1), c.version >= 22 ? 31 : 21);
        EXPECT_EQ(timecodeText(list.timecode(1)), c.version >= 23 ? "01:02:03:04" : "00:00:00:00");
        EXPECT_EQ(list.okStatus(1), 0);
        EXPECT_EQ(list.projectPath(), dir.file("p.scn"));
        EXPECT_FALSE(list.modified());
    }
}

TEST_F(FlatProjectTest, SignatureCaseDoesNotMatterButItsTextDoes) {
    std::string upper = "QUILLOBRANT FILE V2.0 / SCENE LISTS, QUILLOBRANT 2001-2003 ";
    EXPECT_EQ(load(flatFile(upper.c_str(), 20, 1)), 1);
    EXPECT_EQ(load(flatFile("Quillobrant File v2.0 / scene lists, Quillobrant 2001-2002 ", 20, 1)), -2);
    EXPECT_EQ(load(flatFile("Klemora File v3.1 / scene project file, Klemora 2001-2009  ", 23, 1)), -2);
    EXPECT_EQ(load("short"), -2);
    EXPECT_EQ(readFlatFile(dir.file("missing.scn"), list), -1);
}

TEST_F(FlatProjectTest, FieldsGoThroughTheSetterRules) {
    ProjectBytes b;
    b.signature(kV20).i32(1).raw(std::string(261, 'x')).text("d", 261).i32(5).i32(7).f64(0.0011);
    ASSERT_EQ(load(b.bytes()), 1);
    EXPECT_EQ(list.sourceFile(0), "");  // no NUL within the field: too long, not stored
    EXPECT_EQ(list.startFrame(0), 5);
    EXPECT_EQ(list.stopFrame(0), 7);
    EXPECT_FLOAT_EQ(list.speedFactor(0), 0.0011f);
}

// A v2.3 scene whose values a test damages; the second of two scenes.
struct DamagedScene {
    int32_t start = 10, stop = 20, definedStart = 5, definedStop = 30;
    double speed = 1;
};

std::string twoScenes(const DamagedScene& d) {
    ProjectBytes b;
    b.signature(kV23).i32(2);
    appendRecord(b, 23, 0);
    b.text("/v/b.avi", 261).text("", 261).i32(d.start).i32(d.stop).f64(d.speed).text("", 1025);
    b.tm(0, 0, 10, 1, 0, 106, 0, 0, -1).i32(d.definedStart).i32(d.definedStop).timecode(0, 0, 0, 0);
    return b.bytes();
}

// Values that would make a write run endless or nonsensical refuse the
// scene and so the load, with the message the CSV import gives for them.
TEST_F(FlatProjectTest, DamagedValuesRefuseTheLoad) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        DamagedScene scene;
        int textId;
    } cases[] = {
        {"SpeedZero", {.speed = 0}, 149},
        {"SpeedNegative", {.speed = -1}, 149},
        {"SpeedTiny", {.speed = 1e-9}, 149},
        {"SpeedOneThousandth", {.speed = 0.001}, 149},
        {"SpeedNaN", {.speed = nan}, 149},
        {"SpeedMinusInfinity", {.speed = -inf}, 149},
        {"SpeedInfinity", {.speed = inf}, 463},
        {"SpeedAboveOneHundred", {.speed = 100.5}, 463},
        {"StartNegative", {.start = -5}, 147},
        {"StopNegative", {.stop = -1}, 148},
        {"DefinedStartNegative", {.definedStart = -1}, 147},
        {"DefinedStopNegative", {.definedStop = -2}, 148},
        {"StopAtTheLimit", {.stop = INT32_MAX, .definedStop = INT32_MAX}, 463},
        {"StopBeforeStart", {.start = 21, .stop = 20}, 144},
        {"OuterRangeInverted", {.definedStart = 31, .definedStop = 30}, 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeTextFile(dir.file("p.scn"), twoScenes(c.scene));
        LoadReport report;
        EXPECT_EQ(readFlatFile(dir.file("p.scn"), list, &report), -4);
        EXPECT_EQ(list.count(), 0);
        EXPECT_EQ(report.refusal, app::loadString(c.textId));
        EXPECT_EQ(report.refused.scene, 2);
    }
    DamagedScene edges;
    edges.speed = 100;
    edges.start = edges.stop = edges.definedStart = 0;
    test::writeTextFile(dir.file("p.scn"), twoScenes(edges));
    EXPECT_EQ(readFlatFile(dir.file("p.scn"), list), 1);
    EXPECT_FLOAT_EQ(list.speedFactor(1), 100.0f);
}

TEST_F(FlatProjectTest, DatesThatNameNoMomentLoadAsUnknown) {
    ProjectBytes b;
    b.signature(kV22b).i32(4);
    auto scene = [&](int sec, int min, int hour, int day, int mon, int year) {
        b.text("/v/a.avi", 261).text("", 261).i32(0).i32(9).f64(1).text("", 1025);
        b.tm(sec, min, hour, day, mon, year, 0, 0, 0).i32(0).i32(9);
    };
    scene(9, 5, 18, 24, 11, 106);    // 24-12-2006 / 18:05:09
    scene(0, 0, 10, 31, 1, 106);     // 31 February
    scene(0, 0, 0, 0, 0, 0);         // the all-zero date of an empty CSV column
    scene(99, 99, 99, 99, 98, 8099);  // 99-99-9999 / 99:99:99
    LoadReport report;
    test::writeTextFile(dir.file("p.scn"), b.bytes());
    ASSERT_EQ(readFlatFile(dir.file("p.scn"), list, &report), 1);
    EXPECT_EQ(recordingTimeText(list.recordingTime(0)), "24-12-2006 / 18:05:09");
    EXPECT_EQ(list.recordingTime(1), kNoRecordingTime);
    EXPECT_TRUE(isEmptyRecordingTime(list.recordingTime(2)));
    EXPECT_EQ(list.recordingTime(3), kNoRecordingTime);
    EXPECT_EQ(report.undatedCount, 2);
    EXPECT_EQ(report.firstUndated.scene, 2);
    EXPECT_TRUE(report.refusal.empty());
}

TEST_F(FlatProjectTest, ASourceNameInAnotherEncodingIsKeptWhenItExists) {
    // Latin-1 bytes of a Linux file name: not UTF-8, but the file is there.
    std::string existing = dir.file("\xDC" "bung.avi");
    test::writeTextFile(existing, "x");
    ProjectBytes b;
    b.signature(kV21).i32(2);
    b.text(existing, 261).text("", 261).i32(0).i32(1).f64(1).text("", 1025);
    b.text(dir.file("\xC4rger.avi"), 261).text("", 261).i32(0).i32(1).f64(1).text("", 1025);
    ASSERT_EQ(load(b.bytes()), 1);
    EXPECT_EQ(list.sourceFile(0), existing);
    EXPECT_EQ(list.sourceFile(1), dir.file("\u00c4rger.avi"));  // no such file: taken as Windows-1252
}

TEST_F(FlatProjectTest, WindowsTextIsConvertedToUtf8) {
    ProjectBytes b;
    b.signature(kV21).i32(1).text("C:\\Videos\\\xDC" "bung.avi", 261).text("", 261).i32(0).i32(1).f64(1);
    b.text("Gr\xFC\xDF" "e \x80", 1025);
    ASSERT_EQ(load(b.bytes()), 1);
    EXPECT_EQ(list.sourceFile(0), "C:\\Videos\\Übung.avi");
    EXPECT_EQ(list.comment(0), "Grüße €");
}

TEST_F(FlatProjectTest, TruncatedFileFailsAndEmptiesTheList) {
    std::string bytes = flatFile(kV23, 23, 3);
    EXPECT_EQ(load(bytes.substr(0, bytes.size() - 100)), -3);
    EXPECT_EQ(list.count(), 0);
    ProjectBytes negative;
    negative.signature(kV23).i32(-1);
    EXPECT_EQ(load(negative.bytes()), -3);
}

TEST_F(FlatProjectTest, MoreThan2000ScenesStopAtTheLimit) {
    EXPECT_EQ(load(flatFile(kV10, 10, 2001)), -3);
    EXPECT_EQ(list.count(), 0);
}

TEST_F(FlatProjectTest, FlatWriterRoundTripsVersion23) {
    ASSERT_EQ(load(flatFile(kV22b, 22, 3)), 1);
    list.setTimecode(2, {4, 3, 2, 1});
    ASSERT_EQ(writeFlatFile(dir.file("out.scn"), list), 1);
    std::string written = test::readTextFile(dir.file("out.scn"));
    EXPECT_EQ(written.size(), 64u + 3 * 1611);
    EXPECT_EQ(written.substr(0, 60), std::string(kV23) + '\0');
    EXPECT_EQ(list.projectPath(), dir.file("out.scn"));

    SceneList back;
    ASSERT_EQ(readFlatFile(dir.file("out.scn"), back), 1);
    for (int i = 0; i < 3; ++i) {
        const SceneRecord &a = *list.record(i), &b = *back.record(i);
        EXPECT_EQ(fieldText(a.sourceFile), fieldText(b.sourceFile));
        EXPECT_EQ(a.startFrame, b.startFrame);
        EXPECT_EQ(a.definedStop, b.definedStop);
        EXPECT_EQ(a.speedFactor, b.speedFactor);
        EXPECT_EQ(a.recordingTime, b.recordingTime);
        EXPECT_EQ(a.timecode, b.timecode);
        EXPECT_EQ(fieldText(a.comment), fieldText(b.comment));
    }
}

TEST_F(FlatProjectTest, FlatWriterSkipsEmptyListsAndKeepsAutobackupOutOfThePath) {
    EXPECT_EQ(writeFlatFile(dir.file("empty.scn"), list), 1);
    EXPECT_FALSE(app::fileExists(dir.file("empty.scn")));
    ASSERT_EQ(load(flatFile(kV23, 23, 1)), 1);
    ASSERT_EQ(writeFlatFile(dir.file("autobackup.scn"), list), 1);
    EXPECT_EQ(list.projectPath(), dir.file("p.scn"));
    EXPECT_EQ(writeFlatFile(dir.file("no-folder/x.scn"), list), -1);
}

}  // namespace
}  // namespace klemora::scene
