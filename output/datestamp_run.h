#pragma once
// A running recording date/time written into every DV frame of several
// files, in name order: each file starts where the one before ended, plus
// the pause. The files are rewritten in place; a Stop ends the run after
// the file in hand, so no file is left half re-dated.
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/ui.h"
#include "scene/scene_record.h"

namespace klemora::output {

inline constexpr int kMinStampPause = 1;
inline constexpr int kMaxStampPause = 9999;

// "DvStampPause" as stored: 0 and below give 1, above 9999 gives 9999.
int storedStampPause(int stored);

enum class DatestampRunResult : int {
    Ok = 1,
    PauseOutOfRange = -1,  // 352
    Stopped = -2,          // No to "go on?" after a failed file
    Cancelled = -3,        // Stop
};

struct StampedFile {
    std::string path;
    int result = 0;  // WriteDvDatestamp's code
    scene::RecordingTime first;
    scene::RecordingTime last;  // when result is 1
};

struct DatestampRunOutcome {
    int result = static_cast<int>(DatestampRunResult::Ok);
    int failures = 0;
    std::vector<StampedFile> files;  // in the order stamped
};

// False, after 352, for a pause outside 1 ... 9999.
bool stampPauseAccepted(int pause, app::UserInterface& ui);

// The start of the file after one that ended at `end`: end + pause + 1 s.
scene::RecordingTime nextStampStart(const scene::RecordingTime& end, int pause);

DatestampRunOutcome StampFiles(std::vector<std::string> files, scene::RecordingTime start, int pause,
                               app::UserInterface& ui, const app::DebugLog& log = app::DebugLog::off());

}  // namespace klemora::output
