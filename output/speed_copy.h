#pragma once
// Time-lapse and slow-motion copies of whole files: each file written again
// at another speed, keeping its frame rate (a factor of 2 gives half the
// frames), named after the source with "_f%.3f.avi".
#include <string>
#include <vector>

#include "output/write_context.h"

namespace klemora::output {

// Folder + source name without folder and extension + "_f" + "%.3f" + ".avi";
// without a folder the source's own folder.
std::string speedCopyPath(const std::string& sourcePath, const std::string& folder, float speedFactor);

enum class SpeedCopyResult : int {
    Ok = 1,
    FactorOutOfRange = -1,  // below 0.001 (187)
    Cancelled = -2,         // Cancel to an existing destination, or Stop
    Stopped = -3,           // No to "go on?" after a failed file
    LastFileFailed = -4,
};

// False, after 187, for a factor below 0.001 (above 100 the copies use 100).
bool speedFactorAccepted(float speedFactor, app::UserInterface& ui);

// 1 when every file was handled (written or skipped by the user), else a
// SpeedCopyResult code. Stop ends the current file's write and the run.
int SpeedCopies(const std::vector<std::string>& files, float speedFactor, const std::string& folder,
                WriteContext& context);

}  // namespace klemora::output
