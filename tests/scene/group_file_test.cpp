#include "scene/group_file.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "app/file_io.h"
#include "scene/project_file.h"
#include "scene/time_text.h"
#include "tests/scene/project_bytes.h"
#include "tests/support/temp_dir.h"

namespace klemora::scene {
namespace {

using test::ProjectBytes;
using test::TempDir;

constexpr const char* kV30 = "Klemora File v3.0 / scene project file, Klemora 2001-2008  ";
constexpr const char* kV31 = "Klemora File v3.1 / scene project file, Klemora 2001-2009  ";

void record(ProjectBytes& b, const std::string& source, int start, int stop, bool okStatus, int status = 0) {
    b.text(source, 261).text("", 261).i32(start).i32(stop).f64(1.0).text("c", 1025);
    b.tm(0, 0, 10, 1, 6, 106, 0, 0, -1).i32(start).i32(stop).timecode(0, 0, 1, 0);
    if (okStatus) b.i32(status);
}

ProjectBytes& groupIn(ProjectBytes& b, const std::string& name) { return b.raw("GRP_IN##").text(name, 257); }

// Root "Start" with one scene; child "2006" with one scene and a grandchild
// "Urlaub" with two; a second child "Leer" without scenes.
std::string nestedFile(bool v31) {
    ProjectBytes b;
    b.signature(v31 ? kV31 : kV30);
    groupIn(b, "Start").i32(1);
    record(b, "/v/a.avi", 0, 9, v31, 1);
    groupIn(b, "2006").i32(1);
    record(b, "/v/b.avi", 10, 19, v31);
    groupIn(b, "Urlaub").i32(2);
    record(b, "/v/c.avi", 20, 29, v31, 7);
    record(b, "/v/c.avi", 30, 39, v31);
    b.raw("GRP_OUT#").raw("GRP_OUT#");
    groupIn(b, "Leer").i32(0).raw("GRP_OUT#");
    b.raw("GRP_OUT#");
    return b.bytes();
}

class GroupFileTest : public ::testing::Test {
protected:
    int load(const std::string& bytes) {
        test::writeTextFile(dir.file("p.scn"), bytes);
        return readGroupFile(dir.file("p.scn"), tree);
    }
    TempDir dir;
    GroupTree tree;
};

TEST_F(GroupFileTest, NestedGroupsComeBackAtTheirDepth) {
    ASSERT_EQ(load(nestedFile(true)), 1);
    ASSERT_EQ(tree.root().childCount(), 2);
    Group* year = tree.root().child(0);
    EXPECT_EQ(year->name(), "2006");
    ASSERT_EQ(year->childCount(), 1);
    Group* holiday = year->child(0);
    EXPECT_EQ(holiday->name(), "Urlaub");
    EXPECT_EQ(holiday->depth(), 2);
    EXPECT_EQ(holiday->list().count(), 2);
    EXPECT_EQ(holiday->list().okStatus(0), 7);
    EXPECT_EQ(tree.root().child(1)->name(), "Leer");
    EXPECT_EQ(tree.root().list().okStatus(0), 1);
    EXPECT_EQ(tree.totalScenes(), 4);
}

TEST_F(GroupFileTest, Version30HasNoStatusAndSavesAs31) {
    ASSERT_EQ(load(nestedFile(false)), 1);
    EXPECT_EQ(tree.root().list().okStatus(0), 0);
    EXPECT_EQ(tree.root().child(0)->child(0)->list().count(), 2);
    ASSERT_EQ(writeGroupFile(dir.file("again.scn"), tree), 1);
    std::string again = test::readTextFile(dir.file("again.scn"));
    EXPECT_EQ(again.substr(0, 60), std::string(kV31) + '\0');
    // header + 4 groups of (in-tag, name, count, out-tag) + 4 records of 1615 bytes
    EXPECT_EQ(again.size(), 60u + 4 * (8 + 257 + 4 + 8) + 4 * 1615);
}

TEST_F(GroupFileTest, RoundTripKeepsEveryStoredField) {
    ASSERT_EQ(load(nestedFile(true)), 1);
    SceneList& list = tree.root().child(0)->list();
    list.setComment(0, "Grüße");
    list.setDestName(0, "Ziel");
    list.setSpeedFactor(0, 0.25f);
    list.setTimecode(0, {1, 2, 3, 4});
    ASSERT_EQ(writeGroupFile(dir.file("round.scn"), tree), 1);
    GroupTree back;
    ASSERT_EQ(readGroupFile(dir.file("round.scn"), back), 1);
    EXPECT_EQ(groupFileBytes(back), groupFileBytes(tree));
    EXPECT_EQ(back.root().child(0)->list().comment(0), "Grüße");
}

TEST_F(GroupFileTest, UnknownTagsAreSkippedInStepsOfEight) {
    ProjectBytes b;
    b.signature(kV31);
    groupIn(b, "Start").i32(0);
    b.raw("JUNKJUNK").raw("12345678");
    groupIn(b, "Kind").i32(0).raw("GRP_OUT#");
    b.raw("GRP_OUT#");
    ASSERT_EQ(load(b.bytes()), 1);
    EXPECT_EQ(tree.root().child(0)->name(), "Kind");
}

TEST_F(GroupFileTest, DamagedFilesFailCleanly) {
    std::string good = nestedFile(true);
    EXPECT_EQ(load(good.substr(0, good.size() - 8)), -8);  // no closing tag
    ProjectBytes noTag;
    noTag.signature(kV31).raw("GRP_XX##");
    EXPECT_EQ(load(noTag.bytes()), -2);
    EXPECT_EQ(load(std::string("Klemora File v3.1 / scene project file, Klemora 2001-2010  ") + '\0'), -2);
    EXPECT_EQ(readGroupFile(dir.file("none.scn"), tree), -1);
    ProjectBytes deep;
    deep.signature(kV31);
    for (int i = 0; i < 300; ++i) groupIn(deep, "g").i32(0);
    EXPECT_EQ(load(deep.bytes()), -7);
}

TEST_F(GroupFileTest, RandomDamageNeverCrashes) {
    std::string good = nestedFile(true);
    std::mt19937 random(1234);
    for (int round = 0; round < 400; ++round) {
        std::string bad = good.substr(0, random() % (good.size() + 1));
        for (int flips = random() % 8; flips > 0 && !bad.empty(); --flips)
            bad[random() % bad.size()] = static_cast<char>(random());
        GroupTree t;
        test::writeTextFile(dir.file("bad.scn"), bad);
        readGroupFile(dir.file("bad.scn"), t);
        SceneList flat;
        readFlatFile(dir.file("bad.scn"), flat);
    }
}

TEST_F(GroupFileTest, FailedSaveKeepsTheOldProjectByteForByte) {
    ASSERT_EQ(load(nestedFile(true)), 1);
    if (::geteuid() != 0) GTEST_SKIP() << "needs root for a small tmpfs";
    std::string mountPoint = dir.file("small");
    ::mkdir(mountPoint.c_str(), 0755);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "no tmpfs mount here";
    std::string target = mountPoint + "/p.scn";
    ASSERT_EQ(writeGroupFile(target, tree), 1);
    std::string before = test::readTextFile(target);
    for (int i = 0; i < 60; ++i) tree.root().list().setSourceFile(tree.root().list().AddNewScene(), "/v/x.avi");
    EXPECT_EQ(writeGroupFile(target, tree), -3);  // 60 more records do not fit
    EXPECT_EQ(test::readTextFile(target), before);
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(mountPoint)) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1);  // no temporary file left behind
    ::umount(mountPoint.c_str());
}

}  // namespace
}  // namespace klemora::scene
