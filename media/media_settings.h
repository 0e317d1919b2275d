#pragma once
// The settings the media layer uses, read once when a run starts, so that a
// change in the settings dialog meanwhile cannot alter a run half-way.
#include <string>

#include "app/debug_log.h"
#include "app/settings_store.h"

namespace klemora::media {

// How a saved frame picture looks and is named.
struct PictureStyle {
    int clipPercent = 0;      // "PictureClipping", 0..99
    bool as43 = false;        // "As43": the width follows the height at 4:3 or 16:9
    bool dateSuffix = false;  // "includeDS": DV pictures named after the recording date
};

struct MediaSettings {
    std::string fixRatio;  // "FixRatio" as given to MediaInfo
    PictureStyle picture;
    app::DebugLog log;  // the run's debug log, which the settings file does not hold
};

MediaSettings readMediaSettings(const app::SettingsStore& store);

}  // namespace klemora::media
