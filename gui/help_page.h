#pragma once
// F1 and the help entries: a page of the HTML documentation in the program
// folder opened in the desktop's browser, the English page ("HtmlDoku/en/")
// when the program runs in English and that page exists, else the German one
// ("HtmlDoku/"); message 103 with the command when that fails.
//
// The browser is the desktop's handler, or the program named by
// $KLEMORA_BROWSER (started with the file's URL), or, in tests, the opener
// a ScopedHelpOpener put in place.
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "app/settings_store.h"

class QKeyEvent;
class QUrl;
class QWidget;

namespace klemora::gui {

using HelpOpener = std::function<bool(const QUrl&)>;

// Opens every page and address through `opener` while it lives.
class ScopedHelpOpener {
public:
    explicit ScopedHelpOpener(HelpOpener opener);
    ~ScopedHelpOpener();
    ScopedHelpOpener(const ScopedHelpOpener&) = delete;
    ScopedHelpOpener& operator=(const ScopedHelpOpener&) = delete;

private:
    HelpOpener m_previous;
};

// `languageCode`: the setting "Lang"; any set language but "DE" is English.
QString helpPagePath(const QString& page, std::string_view languageCode);
// False when the page could not be opened (the message was shown over `parent`).
bool openHelpPage(QWidget* parent, const QString& page, std::string_view languageCode);
bool openHelpPage(QWidget* parent, const QString& page, const app::SettingsStore& settings);
// F1 in a dialog: opens `page` and returns true; false for any other key.
bool openHelpOnF1(QWidget* dialog, const QKeyEvent* event, const QString& page, std::string_view languageCode);
bool openHelpOnF1(QWidget* dialog, const QKeyEvent* event, const QString& page, const app::SettingsStore& settings);
// An address in the desktop's handler (browser, mail program); message 103 on failure.
bool openAddress(QWidget* parent, const QString& address);

}  // namespace klemora::gui
