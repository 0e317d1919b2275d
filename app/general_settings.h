#pragma once
// The general preferences of the settings dialog, as read when it opens and
// written when the user confirms: language, slider jump width, autobackup
// and the options of exported pictures. The rules live here, the dialog
// only shows them.
#include <string>
#include <string_view>

#include "app/settings_store.h"

namespace klemora::app {

enum class UiLanguage { German, English };

inline constexpr int kMinSliderJump = 1;
inline constexpr int kMaxSliderJump = 1000;
inline constexpr int kMinBackupInterval = 1;
inline constexpr int kMaxBackupInterval = 15;
inline constexpr int kMinPictureClipping = 0;
inline constexpr int kMaxPictureClipping = 99;

struct GeneralSettings {
    UiLanguage language = UiLanguage::English;
    // False when "Lang" was empty and the choice only follows the locale:
    // confirming then always counts as a change.
    bool languageChosen = false;
    int sliderJump = 25;
    bool backup = true;
    int backupInterval = 1;  // minutes
    int pictureClipping = 0;
    bool respectAspect = true;    // "As43"
    bool appendDatestamp = false; // "includeDS"
};

// "DE" → German; "US", "FR", "HU", "NL" → English; empty → German for the
// German locales, else English (not chosen). Stored numbers outside their
// ranges are brought into them, as the dialog's controls would show them.
GeneralSettings readGeneralSettings(const SettingsStore& store, int userLanguageId);

// "DE" or "US".
std::string languageCode(UiLanguage language);

// Whether the program speaks German for the setting "Lang" `code`: "DE" in
// any case, or nothing set yet (the first start asks in German).
bool speaksGerman(std::string_view code);

// Writes every key. True when the restart notice (311 and 391) is due:
// the language, jump width, backup flag or interval changed.
bool writeGeneralSettings(const SettingsStore& store, const GeneralSettings& now, const GeneralSettings& atOpening);

// The restart notice: 311, an empty line, 391.
std::string restartNoticeText();

}  // namespace klemora::app
