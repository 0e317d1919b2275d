#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/general_settings.h"

namespace klemora::gui {

bool installQtTranslations(const QString& lang) {
    if (!app::speaksGerman(lang.trimmed().toStdString())) return false;
    // Lives as long as the application: Qt keeps only a pointer to it.
    static QTranslator translator;
    if (!translator.isEmpty()) return true;
    if (!translator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

}  // namespace klemora::gui
