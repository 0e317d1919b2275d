#include "gui/startup_facts.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

#include "app/paths.h"
#include "media/framework_version.h"

namespace klemora::gui {

app::StartupFacts desktopStartupFacts() {
    app::StartupFacts facts;
    facts.programFolder = app::programFolder();
    facts.framework = media::GetMediaFrameworkVersion().version;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        facts.screenWidth = screen->size().width();
        facts.screenHeight = screen->size().height();
    }
    return facts;
}

void logStart(const app::DebugLog& log, const app::StartupFacts& facts, const QMainWindow& window) {
    log.write("Program folder: %s", facts.programFolder.c_str());
    QStringList menus;
    for (const QAction* menu : window.menuBar()->actions()) menus << menu->text().remove(QLatin1Char('&'));
    log.write("Main window menus: %s", menus.join(QStringLiteral(" | ")).toUtf8().constData());
}

}  // namespace klemora::gui
