#pragma once
// The settings of the additional functions (split, speed copies, picture
// sequences), read when their dialog opens and written back when it closes.
#include <string>

#include "app/settings_store.h"

namespace klemora::output {

inline constexpr float kMinSpeedFactor = 0.001f;
inline constexpr float kMaxSpeedFactor = 100.0f;

struct AdditionalSettings {
    int splitCount = 0;       // "SplitCount": frames per part
    int splitTime = 0;        // "SplitTime": seconds per part
    float speedFactor = 1.0f; // "SpeedFactor", text with "." as the decimal separator
    std::string picturePath;  // "PicturePath"
    std::string formatString = "%Q_%N3";  // "FormatString", this dialog's default
    bool nameFromSource = false;          // "SpecialSwitch1"
};

// Negative counts become 0, and both when both are positive; the factor is
// held to 0.001 ... 100.
AdditionalSettings readAdditionalSettings(const app::SettingsStore& store);
void writeAdditionalSettings(const app::SettingsStore& store, const AdditionalSettings& settings);

// A decimal number with "." (never ","), as the speed field takes it; false
// for anything else.
bool parseSpeedFactor(std::string_view text, float& factor);

}  // namespace klemora::output
