#pragma once
// Every frame of each file saved as a BMP picture ("<name>_f%05d.bmp") in
// one folder. The dialog keeps the folder in "PicturePath".
#include <string>
#include <vector>

#include "app/ui.h"
#include "media/media_settings.h"

namespace klemora::output {

enum class PictureSequenceResult : int {
    Ok = 1,
    Stopped = -1,         // No to "go on?" after a failed file
    LastFileFailed = -2,
    Cancelled = -3,       // Stop
};

// 1 or a PictureSequenceResult code. Stop ends the current file's export
// and the run.
int SavePictureSequences(const std::vector<std::string>& files, const std::string& folder,
                         const media::MediaSettings& settings, app::UserInterface& ui);

}  // namespace klemora::output
