#include "gui/startup_facts.h"

#include <QGuiApplication>
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

}  // namespace klemora::gui
