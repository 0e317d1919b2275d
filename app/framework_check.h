#pragma once
// The start-up check of the media framework (FFmpeg's libraries in this
// build): the facts come from the media layer, the verdict and messages here.
#include <cstdint>
#include <string>

#include "app/settings_store.h"
#include "app/ui.h"

namespace klemora::app {

struct FrameworkVersion {
    bool determinable = false;
    uint32_t packed = 0;  // (major * 256 + minor) * 256 + micro; 0 = no usable framework
    std::string text;     // "59.27.100"
};

// Oldest libavformat we accept: 58.0.0 (FFmpeg 4.0), the first with the
// DV demuxer and the seeking behaviour the frame grabber relies on.
inline constexpr uint32_t kMinimumFrameworkVersion = (58u * 256u + 0u) * 256u;

// False when the program must end. Stores "dxTested" = 1 once passed and is
// skipped after that.
bool checkMediaFramework(const FrameworkVersion& version, const SettingsStore& store, UserInterface& ui);

}  // namespace klemora::app
