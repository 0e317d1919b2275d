#pragma once
// F1 and the help entries: a page of the HTML documentation beside the
// program ("HtmlDoku/<page>") opened in the desktop's browser; message 103
// with the page when that fails.
#include <QString>

class QKeyEvent;
class QWidget;

namespace klemora::gui {

QString helpPagePath(const QString& page);  // program folder + "/HtmlDoku/" + page
// False when the page could not be opened (the message was shown over `parent`).
bool openHelpPage(QWidget* parent, const QString& page);
// F1 in a dialog: opens `page` and returns true; false for any other key.
bool openHelpOnF1(QWidget* dialog, const QKeyEvent* event, const QString& page);
// An address in the desktop's handler (browser, mail program); message 103 on failure.
bool openAddress(QWidget* parent, const QString& address);

}  // namespace klemora::gui
