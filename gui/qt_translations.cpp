#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace klemora::gui {

bool installQtTranslations(const QString& lang) {
    const QString code = lang.trimmed().toUpper();
    if (!code.isEmpty() && code != QStringLiteral("DE")) return false;
    // Lives as long as the application: Qt keeps only a pointer to it.
    static QTranslator translator;
    if (!translator.isEmpty()) return true;
    if (!translator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

}  // namespace klemora::gui
