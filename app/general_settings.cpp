#include "app/general_settings.h"

#include <algorithm>

#include "app/string_table.h"
#include "app/text_format.h"
#include "app/user_locale.h"

namespace klemora::app {

GeneralSettings readGeneralSettings(const SettingsStore& store, int userLanguageId) {
    GeneralSettings s;
    std::string code = asciiUpper(store.readText("Lang", ""));
    if (code.empty()) {
        s.language = isGermanLanguageId(userLanguageId) ? UiLanguage::German : UiLanguage::English;
        s.languageChosen = false;
    } else {
        s.language = code == "DE" ? UiLanguage::German : UiLanguage::English;
        s.languageChosen = true;
    }
    s.sliderJump = std::clamp(store.readInt("SliderJump", 25), kMinSliderJump, kMaxSliderJump);
    s.backup = store.readInt("EnableBackup", 1) != 0;
    s.backupInterval = std::clamp(store.readInt("BackupIntervall", 1), kMinBackupInterval, kMaxBackupInterval);
    s.pictureClipping = std::clamp(store.readInt("PictureClipping", 0), kMinPictureClipping, kMaxPictureClipping);
    s.respectAspect = store.readInt("As43", 1) != 0;
    s.appendDatestamp = store.readInt("includeDS", 0) != 0;
    return s;
}

std::string languageCode(UiLanguage language) { return language == UiLanguage::German ? "DE" : "US"; }

bool speaksGerman(std::string_view code) {
    const std::string upper = asciiUpper(code);
    return upper.empty() || upper == "DE";
}

bool writeGeneralSettings(const SettingsStore& store, const GeneralSettings& now, const GeneralSettings& atOpening) {
    store.writeText("Lang", languageCode(now.language));
    store.writeInt("SliderJump", now.sliderJump);
    store.writeInt("EnableBackup", now.backup ? 1 : 0);
    store.writeInt("BackupIntervall", now.backupInterval);
    store.writeInt("PictureClipping", now.pictureClipping);
    store.writeInt("As43", now.respectAspect ? 1 : 0);
    store.writeInt("includeDS", now.appendDatestamp ? 1 : 0);
    return !atOpening.languageChosen || now.language != atOpening.language ||
           now.sliderJump != atOpening.sliderJump || now.backup != atOpening.backup ||
           now.backupInterval != atOpening.backupInterval;
}

std::string restartNoticeText() { return loadString(311) + "\n\n" + loadString(391); }

}  // namespace klemora::app
