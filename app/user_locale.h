#pragma once
// The user's default language as the numeric language identifier that the
// settings dialog's rules are written in (1031 German, 2055 Swiss German,
// 1033 US English, ...), taken from the locale environment: LC_ALL, then
// LC_MESSAGES, then LANG ("de_CH.UTF-8" gives 2055).
#include <string_view>

namespace klemora::app {

// 1033 (US English) when the locale names no language we know.
int languageIdOfLocale(std::string_view locale);
int userDefaultLanguageId();
// 1031, 2055, 3079, 4103 and 5127: the German locales.
bool isGermanLanguageId(int id);

}  // namespace klemora::app
