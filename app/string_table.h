#pragma once
// The numbered user-interface texts. The German table is built in; a language
// file beside the program ("english.lang") replaces it. Call sites name the
// number literally (loadString(140)) so a test can check every number used.
#include <map>
#include <string>
#include <string_view>

namespace klemora::app {

using StringMap = std::map<int, std::string>;

// Parses "NUMBER<TAB>text" lines with C escapes; '#' lines are comments.
// "VERSION<TAB>a.b.c.d" sets *version when given. False on a malformed line.
bool parseStringTable(std::string_view content, StringMap& table, std::string* version = nullptr);

const StringMap& germanStrings();

// The text of number id in the active language; "[[string N missing]]" when
// the table lacks it, so a gap can never pass unnoticed. Safe from any thread:
// the reference stays valid for the life of the process, also across a later
// loadLanguageFile or useGermanStrings (they publish a new table).
const std::string& loadString(int id);

bool loadLanguageFile(const std::string& path);  // true: its table is now active
void useGermanStrings();
bool usingGerman();

}  // namespace klemora::app
