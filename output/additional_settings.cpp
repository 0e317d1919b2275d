#include "output/additional_settings.h"

#include <algorithm>
#include <charconv>

#include "app/text_format.h"

namespace klemora::output {

bool parseSpeedFactor(std::string_view text, float& factor) {
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    if (first == std::string_view::npos) return false;
    text = text.substr(first, last - first + 1);
    if (text.find(',') != std::string_view::npos) return false;
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    factor = static_cast<float>(value);
    return true;
}

AdditionalSettings readAdditionalSettings(const app::SettingsStore& store) {
    AdditionalSettings s;
    s.splitCount = std::max(0, store.readInt("SplitCount", 0));
    s.splitTime = std::max(0, store.readInt("SplitTime", 0));
    if (s.splitCount > 0 && s.splitTime > 0) s.splitCount = s.splitTime = 0;
    float factor = 1.0f;
    if (!parseSpeedFactor(store.readText("SpeedFactor", "1.0"), factor)) factor = 1.0f;
    s.speedFactor = std::clamp(factor, kMinSpeedFactor, kMaxSpeedFactor);
    s.picturePath = store.readText("PicturePath", "");
    s.formatString = store.readText("FormatString", "%Q_%N3");
    s.nameFromSource = store.readInt("SpecialSwitch1", 0) != 0;
    return s;
}

void writeAdditionalSettings(const app::SettingsStore& store, const AdditionalSettings& s) {
    store.writeInt("SplitCount", s.splitCount);
    store.writeInt("SplitTime", s.splitTime);
    store.writeText("SpeedFactor", app::stringPrintf("%.3f", static_cast<double>(s.speedFactor)));
    store.writeText("PicturePath", s.picturePath);
    store.writeText("FormatString", s.formatString);
    store.writeInt("SpecialSwitch1", s.nameFromSource ? 1 : 0);
}

}  // namespace klemora::output
