#pragma once
// Qt's own texts (the standard buttons "Cancel", "Yes", "No" of dialogs and
// message boxes) in the program's language: German unless "Lang" asks for
// English, from the Qt translations installed on the system.
#include <QString>

namespace klemora::gui {

// Loads "qtbase_de" for `lang` "DE" or empty (the first start speaks German);
// true when a translation is now in use. Missing translation files leave
// Qt's English texts, which is all that is lost.
bool installQtTranslations(const QString& lang);

}  // namespace klemora::gui
