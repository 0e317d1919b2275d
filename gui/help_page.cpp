#include "gui/help_page.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QUrl>

#include "app/paths.h"
#include "gui/text_of.h"

namespace klemora::gui {
namespace {

bool openUrl(QWidget* parent, const QUrl& url, const QString& shown) {
    if (QDesktopServices::openUrl(url)) return true;
    QString text = textOf(103) + ":\n" + shown;
    QMessageBox::critical(parent, QStringLiteral("Klemora"), text);
    return false;
}

}  // namespace

QString helpPagePath(const QString& page) {
    return QString::fromStdString(app::programFolder()) + QStringLiteral("/HtmlDoku/") + page;
}

bool openHelpPage(QWidget* parent, const QString& page) {
    QString path = helpPagePath(page);
    return openUrl(parent, QUrl::fromLocalFile(path), path);
}

bool openHelpOnF1(QWidget* dialog, const QKeyEvent* event, const QString& page) {
    if (event->key() != Qt::Key_F1) return false;
    openHelpPage(dialog, page);
    return true;
}

bool openAddress(QWidget* parent, const QString& address) { return openUrl(parent, QUrl(address), address); }

}  // namespace klemora::gui
