// The settings dialog, the information dialog and the about box as a person
// uses them: typing, ticking, clicking OK, and what the store holds then.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <fstream>

#include "app/paths.h"
#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/about_dialog.h"
#include "gui/info_dialog.h"
#include "gui/settings_dialog.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class PreferencesDialogsTest : public QObject {
    Q_OBJECT

private:
    static void clickOk(QDialog& dialog) {
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
    static void typeInto(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

private slots:
    void initTestCase() { app::useGermanStrings(); }

    void aFreshStoreOnSwissGermanShowsDeutschAndOkStoresItWithOneNotice() {
        test::TempDir dir;
        app::SettingsStore store(dir.file("Klemora.ini"));
        SettingsDialog dialog(store, 2055, nullptr);
        dialog.show();
        QCOMPARE(dialog.languageBox()->currentText(), QStringLiteral("Deutsch"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Klemora Einstellungen"));
        QVERIFY(dialog.qualityEdit()->isHidden() && !dialog.qualityEdit()->isEnabled());
        test::MessageBoxWatcher boxes;
        clickOk(dialog);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("Klemora muss neu gestartet werden")));
        QVERIFY(boxes.seen()[0].text.contains(QStringLiteral("\n\nYou have to restart Klemora")));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(store.readText("Lang", "?"), std::string("DE"));
    }

    void jumpWidthsOutsideOneToAThousandAreRefused() {
        test::TempDir dir;
        app::SettingsStore store(dir.file("Klemora.ini"));
        store.writeText("Lang", "DE");
        for (const char* refused : {"0", "1001"}) {
            SettingsDialog dialog(store, 1031, nullptr);
            dialog.show();
            typeInto(dialog.sliderJumpEdit(), QString::fromLatin1(refused));
            test::MessageBoxWatcher boxes;
            clickOk(dialog);
            QCOMPARE(boxes.count(), 1);
            QVERIFY(boxes.seen()[0].text.contains(QStringLiteral("zwischen 1 und 1000")));
            QVERIFY(dialog.isVisible());  // still open
            QCOMPARE(store.readInt("SliderJump", -1), -1);  // nothing written
        }
        for (int accepted : {1, 1000}) {
            SettingsDialog dialog(store, 1031, nullptr);
            dialog.show();
            typeInto(dialog.sliderJumpEdit(), QString::number(accepted));
            test::MessageBoxWatcher boxes;  // the restart notice: the width changed
            clickOk(dialog);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(store.readInt("SliderJump", -1), accepted);
        }
    }

    void clearingBackupDisablesTheIntervalAtOnceAndItIsStillWritten() {
        test::TempDir dir;
        app::SettingsStore store(dir.file("Klemora.ini"));
        store.writeText("Lang", "US");
        store.writeInt("BackupIntervall", 4);
        SettingsDialog dialog(store, 1033, nullptr);
        dialog.show();
        QVERIFY(dialog.intervalBox()->isEnabled());
        QTest::mouseClick(dialog.backupBox(), Qt::LeftButton, {}, QPoint(5, dialog.backupBox()->height() / 2));
        QVERIFY(!dialog.backupBox()->isChecked());
        QVERIFY(!dialog.intervalBox()->isEnabled());
        test::MessageBoxWatcher boxes;
        clickOk(dialog);
        QCOMPARE(store.readInt("EnableBackup", -1), 0);
        QCOMPARE(store.readInt("BackupIntervall", -1), 4);
    }

    void aStoredNlShowsEnglishAndOkStoresUsWithoutANotice() {
        test::TempDir dir;
        app::SettingsStore store(dir.file("Klemora.ini"));
        store.writeText("Lang", "NL");
        SettingsDialog dialog(store, 1031, nullptr);
        dialog.show();
        QCOMPARE(dialog.languageBox()->currentText(), QStringLiteral("English"));
        test::MessageBoxWatcher boxes;
        clickOk(dialog);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(store.readText("Lang", "?"), std::string("US"));
    }

    void cancelWritesNothing() {
        test::TempDir dir;
        app::SettingsStore store(dir.file("Klemora.ini"));
        SettingsDialog dialog(store, 1031, nullptr);
        dialog.show();
        typeInto(dialog.clippingEdit(), QStringLiteral("12"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(store.readText("Lang", "?"), std::string("?"));
        QCOMPARE(store.readInt("PictureClipping", -1), -1);
    }

    void theInfoDialogShowsTheFileOfTheLanguageCutIntoPieces() {
        test::TempDir dir;
        {
            std::ofstream readme(dir.file("us_readme.txt"));
            readme << std::string(600, 'x') << "\nEnde\n";
        }
        { std::ofstream(dir.file("us_license.txt")); }
        InfoDialog english("", dir.path(), nullptr);
        english.show();
        QCOMPARE(english.windowTitle(), QStringLiteral("Klemora Info"));
        QStringList lines = english.textField()->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].size(), 254);
        QCOMPARE(lines[1].size(), 254);
        QCOMPARE(lines[2].size(), 92);
        QCOMPARE(lines[3], QStringLiteral("Ende"));
        QVERIFY(english.readmeButton()->isChecked());
        QTest::mouseClick(english.licenseButton(), Qt::LeftButton);
        QCOMPARE(english.textField()->toPlainText(), QString());  // an empty file: an empty field
        QVERIFY(english.licenseButton()->isChecked() && !english.readmeButton()->isChecked());
        QVERIFY(english.textField()->isReadOnly());

        InfoDialog dutch("NL", dir.path(), nullptr);
        QCOMPARE(dutch.textField()->toPlainText(), QStringLiteral("File 'nl_leesmij.txt' not found in program directory!"));
    }

    void theShippedReadmeAndLicenceTextsLieBesideTheProgram() {
        for (const char* language : {"DE", "US"}) {
            InfoDialog info(language, app::programFolder(), nullptr);
            QVERIFY2(info.textField()->toPlainText().startsWith(QStringLiteral("Klemora - ")), language);
            QTest::mouseClick(info.licenseButton(), Qt::LeftButton);
            QVERIFY2(info.textField()->toPlainText().contains(QStringLiteral("GNU General Public License")), language);
        }
    }

    void theAboutBoxShowsThePackedFrameworkVersion() {
        AboutDialog about(QStringLiteral("Deutsch"), (9u << 16) | 3u, nullptr);
        QVERIFY(about.frameworkLabel()->text().endsWith(QStringLiteral("0x00090003")));
        AboutDialog unknown(QStringLiteral("Deutsch"), 0, nullptr);
        QVERIFY(unknown.frameworkLabel()->text().endsWith(QStringLiteral("0x00000000")));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::PreferencesDialogsTest)
#include "preferences_dialogs_test.moc"
