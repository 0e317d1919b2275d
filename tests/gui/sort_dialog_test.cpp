// The sort dialog as a person uses it: the nine keys in their order, the
// stored choice at opening (an index beyond the list falls back to the
// first key), and the choice stored again by OK and by Cancel.
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <filesystem>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/sort_dialog.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class SortDialogTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    app::SettingsStore m_settings;

    // Runs the dialog; `steps` act in it once it is shown.
    int runDialog(SortDialog& dialog, const std::function<void(SortDialog&)>& steps) {
        QTimer::singleShot(0, &dialog, [&dialog, steps] {
            if (!QTest::qWaitForWindowExposed(&dialog)) qWarning("dialog not exposed");
            steps(dialog);
        });
        return dialog.exec();
    }

private slots:
    void initTestCase() { app::useGermanStrings(); }

    void init() {
        std::filesystem::remove(m_dir.file("settings.ini"));
        m_settings = app::SettingsStore(m_dir.file("settings.ini"));
    }

    void opensWithTheKeysInOrderAndAStoredIndexBeyondThemOnTheFirst() {
        m_settings.writeInt("sort1KeyNo", 12);
        m_settings.writeInt("sort1Up", 7);  // any non-zero value is descending
        SortDialog dialog(m_settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Sortieren"));
        QStringList keys;
        for (int i = 0; i < dialog.keyList()->count(); ++i) keys << dialog.keyList()->item(i)->text();
        QCOMPARE(keys, (QStringList{"Quelldatei", "Zieldatei", "Start", "Stop", "Dauer", "Faktor", "Datestamp",
                                    "Timecode", "Status"}));
        QCOMPARE(dialog.keyList()->currentRow(), 0);
        QCOMPARE(dialog.key(), scene::SortKey::SourceFile);
        QVERIFY(dialog.descendingButton()->isChecked());
        QCOMPARE(dialog.direction(), scene::SortDirection::Descending);
        QCOMPARE(dialog.ascendingButton()->text(), QStringLiteral("Aufsteigend"));

        m_settings.writeInt("sort1KeyNo", -3);
        m_settings.writeInt("sort1Up", 0);
        SortDialog again(m_settings);
        QCOMPARE(again.keyList()->currentRow(), 0);
        QVERIFY(again.ascendingButton()->isChecked());
        QCOMPARE(again.direction(), scene::SortDirection::Ascending);
    }

    void okReturnsAndStoresTheChosenKeyAndDirection() {
        m_settings.writeInt("sort1KeyNo", 2);
        SortDialog dialog(m_settings);
        QCOMPARE(dialog.keyList()->currentRow(), 2);
        int result = runDialog(dialog, [](SortDialog& shown) {
            QListWidget* keys = shown.keyList();
            QTest::mouseClick(keys->viewport(), Qt::LeftButton, {}, keys->visualItemRect(keys->item(7)).center());
            QTest::mouseClick(shown.descendingButton(), Qt::LeftButton);
            QTest::mouseClick(shown.okButton(), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(dialog.key(), scene::SortKey::Timecode);
        QCOMPARE(dialog.direction(), scene::SortDirection::Descending);
        QCOMPARE(m_settings.readInt("sort1KeyNo", -1), 7);
        QCOMPARE(m_settings.readInt("sort1Up", -1), 1);
    }

    void cancelStoresTheChoiceToo() {
        SortDialog dialog(m_settings);
        int result = runDialog(dialog, [](SortDialog& shown) {
            shown.keyList()->setFocus();
            QTest::keyClick(shown.keyList(), Qt::Key_End);  // the last key, "Status"
            QTest::keyClick(&shown, Qt::Key_Escape);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(m_settings.readInt("sort1KeyNo", -1), 8);
        QCOMPARE(m_settings.readInt("sort1Up", -1), 0);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::SortDialogTest)
#include "sort_dialog_test.moc"
