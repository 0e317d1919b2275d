// Qt's standard buttons speak the program's language: English stays with
// "US", German comes from the installed Qt translations otherwise.
#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

#include "gui/qt_translations.h"

namespace klemora::gui {

class QtTranslationsTest : public QObject {
    Q_OBJECT

    static QString cancelText() {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    }

private slots:
    void englishKeepsQtsOwnTexts() {
        QVERIFY(!installQtTranslations(QStringLiteral("US")));
        QCOMPARE(cancelText(), QStringLiteral("Cancel"));
    }

    void germanTranslatesTheStandardButtons() {
        QVERIFY(installQtTranslations(QStringLiteral("de")));
        QCOMPARE(cancelText(), QStringLiteral("Abbrechen"));
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
        QCOMPARE(box.button(QDialogButtonBox::No)->text(), QStringLiteral("&Nein"));
        QVERIFY(installQtTranslations(QString()));  // loaded once, stays in use
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::QtTranslationsTest)
#include "qt_translations_test.moc"
