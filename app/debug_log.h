#pragma once
// The debug log: level 1 writes "klemoradbg.log" with a time prefix, level 2
// the detection trace "findds.log" without one; both in the documents folder,
// opened and closed per line so a crash loses nothing.
//
// The program makes one DebugLog at start-up from "WriteLogfile" and hands it
// to every run; a run that wants another level (the command line's trace of
// one detection) is given its own object, so nothing switches a level that
// another run is using. A DebugLog never changes after construction and may
// be written from several threads at once (each line is one append).
#include <ctime>
#include <string>

namespace klemora::app {

// The clock of the time prefix; nullptr: the system clock.
using LogClock = std::time_t (*)();

class DebugLog {
public:
    DebugLog() = default;  // level 0: writes nothing
    // An empty folder means the documents folder.
    explicit DebugLog(int level, std::string folder = {}, LogClock clock = nullptr);

    int level() const { return m_level; }
    bool tracing() const { return m_level == 2; }  // the detection trace
    const std::string& folder() const { return m_folder; }
    // The same folder and clock at another level.
    DebugLog withLevel(int level) const { return DebugLog(level, m_folder, m_clock); }

    void write(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    // A log that writes nothing, for callers that were given none.
    static const DebugLog& off();

private:
    int m_level = 0;
    std::string m_folder;
    LogClock m_clock = nullptr;
};

// FFmpeg's log callback serves the whole process and its decoder threads,
// so no run can hand it a log: its lines go to the log the program set once
// at start-up, before any run (off until then).
void setProcessDebugLog(DebugLog log);
const DebugLog& processDebugLog();

}  // namespace klemora::app
