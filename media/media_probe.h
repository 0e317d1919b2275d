#pragma once
// Probing a source file into a MediaInfo, the AVI container facts on top, and
// the duration fallback from the AVI headers. Every failure has shown its
// message through `ui` before the code comes back.
#include <string>

#include "app/ui.h"
#include "media/media_info.h"

namespace klemora::media {

// 1 = probed (at once when `path` is the probed file already); ProbeResult
// codes otherwise. Information boxes (streams ignored, fallback duration) do
// not stop the probe.
int ProbeMedia(const std::string& path, MediaInfo& info, app::UserInterface& ui);

// The AVI reader's facts of the probed file, read once per probe; with
// `report` the OpenDML and key-frame warnings are shown. ExtraDataResult codes.
int GetExtraData(MediaInfo& info, bool report, app::UserInterface& ui);

// Seconds from the total-frame fields of 'avih' and 'dmlh' (the OpenDML one
// when set) at the probed frame rate; 0 when the file cannot be read.
double DetectVideoDuration(const MediaInfo& info, app::UserInterface& ui);

}  // namespace klemora::media
