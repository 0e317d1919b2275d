// The detection trace "findds.log" of debug level 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "app/string_table.h"
#include "detect/dv_scene_detection.h"
#include "tests/detect/dv_detection_support.h"

namespace klemora::test {
namespace {

// The run's own trace-level log; the process level stays 0 throughout.
app::DebugLog traceLog(const TempDir& dir) { return app::DebugLog(2, dir.path()); }

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

std::vector<std::string> linesContaining(const std::vector<std::string>& lines, const std::string& part) {
    std::vector<std::string> found;
    for (const auto& line : lines)
        if (line.find(part) != std::string::npos) found.push_back(line);
    return found;
}

TEST(DvDetectionTrace, WritesEveryLineOfTheRun) {
    ScopedTimeZone zone("UTC");
    TempDir dir;

    fixtures::DvFixtureOptions pal;
    pal.type = 2;
    pal.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 50), session(stamp(2006, 7, 1, 10, 0, 5), 25)};
    pal.sessions[1].timecodeStart = scene::Timecode{1, 0, 0, 0};
    std::string palPath = writeRecording(dir, "pal.avi", pal);
    fixtures::DvFixtureOptions ntsc;
    ntsc.type = 1;
    ntsc.ntsc = true;
    ntsc.sessions = {session(stamp(2006, 7, 1, 12, 0, 0), 70)};
    std::string ntscPath = writeRecording(dir, "ntsc.avi", ntsc);
    fixtures::DvFixtureOptions cutOptions = ntsc;
    cutOptions.truncateInsideFrame = 10;
    std::string cut = writeRecording(dir, "cut.avi", cutOptions);
    std::string missing = dir.file("missing.avi");

    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(palPath, 75), wholeFile(ntscPath, 70), wholeFile(cut, 70), {missing, 0, 9}}, ui, 1, 0,
                 traceLog(dir));
    EXPECT_EQ(app::processDebugLog().level(), 0);
    ASSERT_EQ(run.scenes.count(), 4);

    std::string text = readTextFile(dir.file("findds.log"));
    std::vector<std::string> lines = linesOf(text);
    EXPECT_NE(text.find("\n\n#################### New file: " + palPath + " ######################\n\n"),
              std::string::npos);
    EXPECT_TRUE(hasLine(lines, " Frame  |  Timecode         |  Datestamp"));
    // The packs carry no weekday, so asctime names Sunday.
    EXPECT_TRUE(hasLine(lines, " 00001  |  00:00:00:00 (1)  |  Sun Jul  1 10:00:00 2006 (1)"));
    EXPECT_TRUE(hasLine(lines, " 00001  |  INIT 00:00:00:00  /  Sun Jul  1 10:00:00 2006"));
    EXPECT_TRUE(hasLine(lines, " 00050  |  00:00:01:24 (1)  |  Sun Jul  1 10:00:01 2006 (1)"));
    EXPECT_TRUE(hasLine(lines, " 00051  |  1. Frame der neuen Szene Nr. 2"));
    EXPECT_TRUE(hasLine(lines, " 00051  |  01:00:00:00 (1)  |  Sun Jul  1 10:00:05 2006 (1)"));
    // Timecode gaps: the restart in the PAL file, and the next file's start
    // against the last count of the file before. NTSC counts 30 frames a second.
    EXPECT_EQ(linesContaining(lines, "Timecode-Luecke"),
              (std::vector<std::string>{" 00051  |  #### Timecode-Luecke: 89951 fehlende Frames",
                                        " 00001  |  #### Timecode-Luecke: 90024 fehlende Frames",
                                        " 00001  |  #### Timecode-Luecke: 69 fehlende Frames"}));
    EXPECT_TRUE(hasLine(lines, "----------------------------------------------"));
    EXPECT_EQ(linesContaining(lines, "TAGs").size(), 4u);
    EXPECT_FALSE(linesContaining(lines, " 00dc : ").empty());
    EXPECT_FALSE(linesContaining(lines, " 01wb : ").empty());
    EXPECT_FALSE(linesContaining(lines, " 00__ : ").empty());
    // The cut file ends at its last whole frame, without a read error.
    EXPECT_TRUE(linesContaining(lines, "Lesefehler").empty());
    EXPECT_TRUE(hasLine(lines, " 00001  |  ##### Fehler in FindPerDvDatestamp() / -51 / -2"));
}

TEST(DvDetectionTrace, CancelIsTraced) {
    ScopedTimeZone zone("UTC");
    TempDir dir;
    fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 450)};
    std::string path = writeRecording(dir, "t.avi", options);
    ScriptedUserInterface ui;
    ui.onPump = [](ScriptedUserInterface& self) {
        if (self.pumps() == 3) self.requestCancel();
    };
    DetectionRun run;
    runDetection(run, {wholeFile(path, 450)}, ui, 1, 0, traceLog(dir));
    std::vector<std::string> lines = linesOf(readTextFile(dir.file("findds.log")));
    EXPECT_TRUE(hasLine(lines, " 00401  |  ##### Canceled by user"));
    EXPECT_TRUE(hasLine(lines, " 00400  |  00:00:15:24 (1)  |  Sun Jul  1 10:00:15 2006 (1)"));
    EXPECT_TRUE(linesContaining(lines, " 00401  |  00:").empty());
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 449}}));
}

TEST(DvDetectionTrace, NothingIsWrittenBelowLevelTwo) {
    ScopedTimeZone zone("UTC");
    TempDir dir;
    fixtures::DvFixtureOptions options;
    options.type = 1;
    std::string path = writeRecording(dir, "t.avi", options);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 50)}, ui, 1, 0, app::DebugLog(1, dir.path()));
    EXPECT_FALSE(app::fileExists(dir.file("findds.log")));
    EXPECT_EQ(readTextFile(dir.file("klemoradbg.log")).find("Frame"), std::string::npos);
}

// Two runs at once, as the desktop program's worker threads would start them:
// each trace goes to its own log's folder, and nothing else is written.
TEST(DvDetectionTrace, RunsOnTwoThreadsWriteOnlyToTheirOwnLogs) {
    ScopedTimeZone zone("UTC");
    TempDir dir, firstLogs, secondLogs;
    fixtures::DvFixtureOptions a;
    a.type = 2;
    a.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 40), session(stamp(2006, 7, 1, 11, 0, 0), 20)};
    fixtures::DvFixtureOptions b;
    b.type = 1;
    b.sessions = {session(stamp(2007, 3, 4, 9, 0, 0), 30)};
    std::string first = writeRecording(dir, "first.avi", a);
    std::string second = writeRecording(dir, "second.avi", b);
    ScriptedUserInterface firstUi, secondUi;
    DetectionRun firstRun, secondRun;
    std::thread one([&] { runDetection(firstRun, {wholeFile(first, 60)}, firstUi, 1, 0, traceLog(firstLogs)); });
    std::thread two([&] { runDetection(secondRun, {wholeFile(second, 30)}, secondUi, 1, 0, traceLog(secondLogs)); });
    one.join();
    two.join();
    EXPECT_EQ(spansOf(firstRun.scenes), (std::vector<Span>{{0, 39}, {40, 59}}));
    EXPECT_EQ(spansOf(secondRun.scenes), (std::vector<Span>{{0, 29}}));

    std::string firstTrace = readTextFile(firstLogs.file("findds.log"));
    std::string secondTrace = readTextFile(secondLogs.file("findds.log"));
    EXPECT_NE(firstTrace.find("New file: " + first), std::string::npos);
    EXPECT_EQ(firstTrace.find("second.avi"), std::string::npos);
    EXPECT_EQ(firstTrace.find("2007"), std::string::npos);
    EXPECT_NE(secondTrace.find("New file: " + second), std::string::npos);
    EXPECT_EQ(secondTrace.find("first.avi"), std::string::npos);
    EXPECT_EQ(secondTrace.find("2006"), std::string::npos);
    EXPECT_EQ(linesContaining(linesOf(firstTrace), "|  Sun Jul  1").size(), 60u);
    EXPECT_EQ(linesContaining(linesOf(secondTrace), "|  Sun Mar  4").size(), 30u);
    EXPECT_FALSE(app::fileExists(dir.file("findds.log")));
}

}  // namespace
}  // namespace klemora::test
