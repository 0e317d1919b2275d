// The detection trace "findds.log" of debug level 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "app/string_table.h"
#include "detect/dv_scene_detection.h"
#include "tests/detect/dv_detection_support.h"

namespace klemora::test {
namespace {

class TraceLevel {
public:
    explicit TraceLevel(const std::string& folder) {
        app::setLogFolder(folder);
        app::setDebugLevel(2);
    }
    ~TraceLevel() {
        app::setDebugLevel(0);
        app::setLogFolder("");
    }
};

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
    TraceLevel level(dir.path());

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
    runDetection(run, {wholeFile(palPath, 75), wholeFile(ntscPath, 70), wholeFile(cut, 70), {missing, 0, 9}}, ui);
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
    TraceLevel level(dir.path());
    fixtures::DvFixtureOptions options;
    options.type = 1;
    options.sessions = {session(stamp(2006, 7, 1, 10, 0, 0), 450)};
    std::string path = writeRecording(dir, "t.avi", options);
    ScriptedUserInterface ui;
    ui.onPump = [](ScriptedUserInterface& self) {
        if (self.pumps() == 3) self.requestCancel();
    };
    DetectionRun run;
    runDetection(run, {wholeFile(path, 450)}, ui);
    std::vector<std::string> lines = linesOf(readTextFile(dir.file("findds.log")));
    EXPECT_TRUE(hasLine(lines, " 00401  |  ##### Canceled by user"));
    EXPECT_TRUE(hasLine(lines, " 00400  |  00:00:15:24 (1)  |  Sun Jul  1 10:00:15 2006 (1)"));
    EXPECT_TRUE(linesContaining(lines, " 00401  |  00:").empty());
    EXPECT_EQ(spansOf(run.scenes), (std::vector<Span>{{0, 449}}));
}

TEST(DvDetectionTrace, NothingIsWrittenBelowLevelTwo) {
    ScopedTimeZone zone("UTC");
    TempDir dir;
    app::setLogFolder(dir.path());
    app::setDebugLevel(1);
    fixtures::DvFixtureOptions options;
    options.type = 1;
    std::string path = writeRecording(dir, "t.avi", options);
    ScriptedUserInterface ui;
    DetectionRun run;
    runDetection(run, {wholeFile(path, 50)}, ui);
    app::setDebugLevel(0);
    app::setLogFolder("");
    EXPECT_FALSE(app::fileExists(dir.file("findds.log")));
    EXPECT_EQ(readTextFile(dir.file("klemoradbg.log")).find("Frame"), std::string::npos);
}

}  // namespace
}  // namespace klemora::test
