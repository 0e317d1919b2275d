#include "app/debug_log.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/support/temp_dir.h"

namespace klemora::app {
namespace {

std::time_t fixedClock() {
    std::tm tm{};
    tm.tm_year = 106;
    tm.tm_mon = 6;
    tm.tm_mday = 1;
    tm.tm_hour = 14;
    tm.tm_min = 3;
    tm.tm_sec = 7;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

class DebugLogTest : public ::testing::Test {
protected:
    DebugLog at(int level) const { return DebugLog(level, dir.path(), fixedClock); }
    test::TempDir dir;
};

TEST_F(DebugLogTest, LevelOneWritesTimePrefixUnlessADashLeads) {
    DebugLog log = at(1);
    log.write("---------");
    log.write("CameraIO: Constructor: Start");
    log.write("x-y %d", 5);
    log.write("xy%d", 6);
    EXPECT_EQ(test::readTextFile(dir.file("klemoradbg.log")),
              "---------\n14:03:07: CameraIO: Constructor: Start\nx-y 5\n14:03:07: xy6\n");
}

TEST_F(DebugLogTest, LevelTwoWritesTheTraceWithoutPrefix) {
    at(2).write("INIT %s", "a.avi");
    EXPECT_EQ(test::readTextFile(dir.file("findds.log")), "INIT a.avi\n");
    EXPECT_FALSE(test::readTextFile(dir.file("klemoradbg.log")).size());
}

TEST_F(DebugLogTest, OtherLevelsAndMissingFolderWriteNothing) {
    at(3).write("nothing");
    DebugLog::off().write("nothing at all");
    DebugLog(1, dir.file("missing"), fixedClock).write("nothing either");
    at(2).withLevel(0).write("nor this");
    EXPECT_EQ(test::readTextFile(dir.file("klemoradbg.log")), "");
    EXPECT_EQ(test::readTextFile(dir.file("findds.log")), "");
}

TEST_F(DebugLogTest, TheProcessLogIsOffUntilTheProgramSetsIt) {
    EXPECT_EQ(processDebugLog().level(), 0);
    setProcessDebugLog(at(1));
    processDebugLog().write("FFmpeg: %s", "invalid frame");
    setProcessDebugLog(DebugLog());
    processDebugLog().write("FFmpeg: not written");
    EXPECT_EQ(test::readTextFile(dir.file("klemoradbg.log")), "14:03:07: FFmpeg: invalid frame\n");
}

}  // namespace
}  // namespace klemora::app
