#include "output/file_dates.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "tests/support/temp_dir.h"

namespace klemora::output {
namespace {

// Dates that name no moment leave the file's times alone instead of being
// carried into another day (31 February would become 3 March).
TEST(SetCreationDate, DatesThatNameNoMomentKeepTheFileTimes) {
    test::ScopedEnv tz("TZ", "Europe/Berlin");
    ::tzset();
    test::TempDir dir;
    std::string file = dir.file("scene.avi");
    test::writeTextFile(file, "x");
    struct timespec kept[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), kept, 0), 0);
    for (scene::RecordingTime date : {scene::recordingTimeOf(2006, 2, 31, 10, 0, 0),
                                      scene::recordingTimeOf(9999, 99, 99, 99, 99, 99),
                                      scene::recordingTimeOf(2006, 1, 1, 24, 0, 0),
                                      scene::RecordingTime{0, 0, 0, 0, 0, 0, 0, 0, 0}}) {
        EXPECT_EQ(SetCreationDate(date, file), -3);
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status), 0);
        EXPECT_EQ(status.st_mtime, 1000000000);
    }
    // 29 February of a leap year exists.
    EXPECT_EQ(SetCreationDate(scene::recordingTimeOf(2008, 2, 29, 12, 0, 0), file), 1);
}

}  // namespace
}  // namespace klemora::output
