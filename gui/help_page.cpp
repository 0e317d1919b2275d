#include "gui/help_page.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <utility>

#include "app/general_settings.h"
#include "app/paths.h"
#include "gui/text_of.h"

namespace klemora::gui {
namespace {

HelpOpener& testOpener() {
    static HelpOpener opener;
    return opener;
}

// The command as the message shows it: the browser named by the environment
// and its argument, else what the desktop was asked to open.
struct Launch {
    bool started = false;
    QString command;
};

Launch launch(const QUrl& url, const QString& shown) {
    if (testOpener()) return {testOpener()(url), shown};
    const QString browser = qEnvironmentVariable("KLEMORA_BROWSER");
    if (!browser.isEmpty()) {
        const QString argument = url.toString();
        return {QProcess::startDetached(browser, {argument}), browser + QLatin1Char(' ') + argument};
    }
    return {QDesktopServices::openUrl(url), shown};
}

bool openUrl(QWidget* parent, const QUrl& url, const QString& shown) {
    const Launch result = launch(url, shown);
    if (result.started) return true;
    QMessageBox::critical(parent, QStringLiteral("Klemora"), textOf(103) + QStringLiteral(":\n") + result.command);
    return false;
}

std::string languageOf(const app::SettingsStore& settings) { return settings.readText("Lang", ""); }

}  // namespace

ScopedHelpOpener::ScopedHelpOpener(HelpOpener opener) : m_previous(std::exchange(testOpener(), std::move(opener))) {}

ScopedHelpOpener::~ScopedHelpOpener() { testOpener() = std::move(m_previous); }

QString helpPagePath(const QString& page, std::string_view languageCode) {
    const QString folder = QString::fromStdString(app::programFolder()) + QStringLiteral("/HtmlDoku/");
    const QString englishPage = folder + QStringLiteral("en/") + page;
    if (!app::speaksGerman(languageCode) && QFileInfo::exists(englishPage)) return englishPage;
    return folder + page;
}

bool openHelpPage(QWidget* parent, const QString& page, std::string_view languageCode) {
    const QString path = helpPagePath(page, languageCode);
    return openUrl(parent, QUrl::fromLocalFile(path), path);
}

bool openHelpPage(QWidget* parent, const QString& page, const app::SettingsStore& settings) {
    return openHelpPage(parent, page, languageOf(settings));
}

bool openHelpOnF1(QWidget* dialog, const QKeyEvent* event, const QString& page, std::string_view languageCode) {
    if (event->key() != Qt::Key_F1) return false;
    openHelpPage(dialog, page, languageCode);
    return true;
}

bool openHelpOnF1(QWidget* dialog, const QKeyEvent* event, const QString& page, const app::SettingsStore& settings) {
    return openHelpOnF1(dialog, event, page, languageOf(settings));
}

bool openAddress(QWidget* parent, const QString& address) { return openUrl(parent, QUrl(address), address); }

}  // namespace klemora::gui
