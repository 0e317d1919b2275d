#include "app/user_locale.h"

#include <cstdlib>
#include <string>

namespace klemora::app {
namespace {

struct LocaleId {
    std::string_view name;  // language_REGION
    int id;
};

// The German locales first; a bare "de" is Germany's.
constexpr LocaleId kLocaleIds[] = {
    {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079}, {"de_LU", 4103}, {"de_LI", 5127}, {"de", 1031},
    {"en_US", 1033}, {"en_GB", 2057}, {"fr_FR", 1036}, {"hu_HU", 1038}, {"nl_NL", 1043}, {"fr", 1036},
    {"hu", 1038},    {"nl", 1043},
};

constexpr int kUsEnglish = 1033;

}  // namespace

int languageIdOfLocale(std::string_view locale) {
    // "de_CH.UTF-8@euro" → "de_CH"
    size_t end = locale.find_first_of(".@");
    std::string_view name = locale.substr(0, end);
    for (const LocaleId& entry : kLocaleIds)
        if (entry.name == name) return entry.id;
    std::string_view language = name.substr(0, name.find('_'));
    for (const LocaleId& entry : kLocaleIds)
        if (entry.name == language) return entry.id;
    return kUsEnglish;
}

int userDefaultLanguageId() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return languageIdOfLocale(value);
    }
    return kUsEnglish;
}

bool isGermanLanguageId(int id) {
    return id == 1031 || id == 2055 || id == 3079 || id == 4103 || id == 5127;
}

}  // namespace klemora::app
