#include "output/file_dates.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <ctime>

#include "app/debug_log.h"
#include "output/write_result.h"
#include "scene/field_checks.h"
#include "scene/time_text.h"

namespace klemora::output {

int SetCreationDate(const scene::RecordingTime& recordingTime, const std::string& path, const app::DebugLog& log) {
    if (path.empty()) return static_cast<int>(FileDateResult::EmptyPath);
    // Files of unknown date keep the time they were written instead of 1970.
    if (recordingTime == scene::kNoRecordingTime) return static_cast<int>(FileDateResult::NoDate);
    // A date that names no moment (31 February, 99:99:99, the all-zero date of
    // an empty column) would be carried into some other day: no date either.
    if (!scene::isCalendarTime(recordingTime)) {
        log.write("SetCreationDate: %s: the recording date names no moment; file times kept", path.c_str());
        return static_cast<int>(FileDateResult::NoDate);
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return static_cast<int>(FileDateResult::StatusFailed);

    // The zone decides on daylight saving for that day, whatever the record says.
    std::tm local = scene::toTm(recordingTime);
    local.tm_isdst = -1;
    std::time_t when = std::mktime(&local);
    if (when == static_cast<std::time_t>(-1)) return static_cast<int>(FileDateResult::StatusFailed);

    struct timespec times[2] = {{when, 0}, {when, 0}};  // access, modification
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        log.write("SetCreationDate: %s: utimensat failed (errno %d)", path.c_str(), errno);
        return static_cast<int>(FileDateResult::StatusFailed);
    }
    return 1;
}

}  // namespace klemora::output
