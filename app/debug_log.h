#pragma once
// The debug log: level 1 writes "klemoradbg.log" with a time prefix, level 2
// the detection trace "findds.log" without one; both in the documents folder,
// opened and closed per line so a crash loses nothing.
#include <ctime>
#include <string>

namespace klemora::app {

int debugLevel();
void setDebugLevel(int level);

// Overrides the documents folder (tests); empty restores the default lookup.
void setLogFolder(std::string folder);
std::string logFolder();

// The clock of the time prefix; nullptr restores the system clock.
using LogClock = std::time_t (*)();
void setLogClock(LogClock clock);

void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace klemora::app
