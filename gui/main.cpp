// klemora: the desktop program. Start-up (settings file, language, media
// framework, screen size; the first start only asks for the language), then
// the main window with the project named on the command line, if any.
#include <QApplication>

#include "app/debug_log.h"
#include "app/paths.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "app/user_locale.h"
#include "gui/main_window.h"
#include "gui/qt_translations.h"
#include "gui/qt_user_interface.h"
#include "gui/settings_dialog.h"
#include "gui/startup_facts.h"

using namespace klemora;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Klemora"));
    const QStringList arguments = QApplication::arguments();
    const QString project = arguments.size() > 1 ? arguments.at(1) : QString();

    app::SettingsStore& store = app::settings();
    store.setPath(app::settingsFilePath());
    gui::QtUserInterface startUi(nullptr);
    // A settings file that is not one is never written: stop before anything is lost.
    if (!store.isUsable()) {
        startUi.showMessage(app::stringPrintf("%s\nFile: %s", app::loadString(820).c_str(), store.path().c_str()),
                            app::Icon::Stop);
        return 2;
    }
    gui::installQtTranslations(QString::fromStdString(store.readText("Lang", "")));
    const app::StartupFacts facts = gui::desktopStartupFacts();
    app::StartupResult started = app::startUp(store, facts, startUi, [&store] {
        gui::SettingsDialog first(store, app::userDefaultLanguageId(), nullptr);
        first.exec();
    });
    if (!started.runMainWindow) return 0;
    app::setProcessDebugLog(started.log);

    gui::MainWindow window(store, started.log, facts.framework.packed);
    window.show();
    gui::logStart(started.log, facts, window);
    window.openAtStart(project);
    return QApplication::exec();
}
