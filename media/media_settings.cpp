#include "media/media_settings.h"

#include <algorithm>

#include "app/general_settings.h"
#include "media/probe_rules.h"

namespace klemora::media {

MediaSettings readMediaSettings(const app::SettingsStore& store) {
    MediaSettings s;
    s.fixRatio = normalizeFixRatio(store.readText("FixRatio", ""));
    s.picture.clipPercent =
        std::clamp(store.readInt("PictureClipping", 0), app::kMinPictureClipping, app::kMaxPictureClipping);
    s.picture.as43 = store.readInt("As43", 0) == 1;
    s.picture.dateSuffix = store.readInt("includeDS", 0) == 1;
    return s;
}

}  // namespace klemora::media
