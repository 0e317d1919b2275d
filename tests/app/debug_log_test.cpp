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
    void SetUp() override {
        setLogFolder(dir.path());
        setLogClock(fixedClock);
    }
    void TearDown() override {
        setDebugLevel(0);
        setLogFolder({});
        setLogClock(nullptr);
    }
    test::TempDir dir;
};

TEST_F(DebugLogTest, LevelOneWritesTimePrefixUnlessADashLeads) {
    setDebugLevel(1);
    debugLogLine("---------");
    debugLogLine("CameraIO: Constructor: Start");
    debugLogLine("x-y %d", 5);
    debugLogLine("xy%d", 6);
    EXPECT_EQ(test::readTextFile(dir.file("klemoradbg.log")),
              "---------\n14:03:07: CameraIO: Constructor: Start\nx-y 5\n14:03:07: xy6\n");
}

TEST_F(DebugLogTest, LevelTwoWritesTheTraceWithoutPrefix) {
    setDebugLevel(2);
    debugLogLine("INIT %s", "a.avi");
    EXPECT_EQ(test::readTextFile(dir.file("findds.log")), "INIT a.avi\n");
    EXPECT_FALSE(test::readTextFile(dir.file("klemoradbg.log")).size());
}

TEST_F(DebugLogTest, OtherLevelsAndMissingFolderWriteNothing) {
    setDebugLevel(3);
    debugLogLine("nothing");
    setDebugLevel(1);
    setLogFolder(dir.file("missing"));
    debugLogLine("nothing either");
    setLogFolder(dir.path());
    EXPECT_EQ(test::readTextFile(dir.file("klemoradbg.log")), "");
    EXPECT_EQ(test::readTextFile(dir.file("findds.log")), "");
}

}  // namespace
}  // namespace klemora::app
