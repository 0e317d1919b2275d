// The trash dialog as a person uses it: the deleted scenes listed with
// frames counted from 1, the picture of the selected entry following the
// slider, restore and final delete of a multi-selection with the entry now
// in their place selected, question 191, 116 without a selection, and one
// message for an entry whose file is gone.
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <filesystem>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/frame_display.h"
#include "gui/frame_slider.h"
#include "gui/scene_table_model.h"
#include "gui/trash_dialog.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

void addScene(scene::SceneList& list, const std::string& path, int32_t start, int32_t stop) {
    int i = list.AddNewScene();
    list.setSourceFile(i, path);
    list.setStartFrame(i, start);
    list.setStopFrame(i, stop);
    list.setDefinedStart(i, start);
    list.setDefinedStop(i, stop);
}

}  // namespace

class TrashDialogTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::string m_a, m_b;
    app::SettingsStore m_settings;
    scene::SceneList m_trash, m_shown;

    std::unique_ptr<TrashDialog> openDialog(app::UserInterface& ui) {
        auto dialog = std::make_unique<TrashDialog>(ui, m_settings, media::MediaSettings{}, m_trash, m_shown);
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) qWarning("dialog not exposed");
        return dialog;
    }

    static bool paints(TrashDialog& dialog, const std::string& path, int frame) {
        QSignalSpy painted(dialog.display(), &FrameDisplay::framePainted);
        bool seen = dialog.display()->frameShown() == frame ||
                    QTest::qWaitFor([&] { return painted.contains(QVariantList{frame}); });
        QRect box = dialog.display()->letterboxRect();
        return seen && dialog.display()->frameShown() == frame && dialog.display()->openPath() == path &&
               dialog.display()->picture() == test::grabbedFrame(path, frame, box.size());
    }

    static void clickRow(TrashDialog& dialog, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTableView* view = dialog.entryList();
        QRect cell = view->visualRect(dialog.entryModel()->index(row, SceneTableModel::Source));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    // The trash rows as "source start stop" (0-based), to compare at a glance.
    static QStringList rowsOf(const scene::SceneList& list) {
        QStringList rows;
        for (int i = 0; i < list.count(); ++i)
            rows << QStringLiteral("%1 %2 %3")
                        .arg(QString::fromStdString(std::filesystem::path(std::string(list.sourceFile(i))).stem()))
                        .arg(list.startFrame(i))
                        .arg(list.stopFrame(i));
        return rows;
    }

private slots:
    void initTestCase() {
        app::useGermanStrings();
        m_a = test::writeFixture(m_dir.file("a.avi"), test::distinctFrames(30));
        m_b = test::writeFixture(m_dir.file("b.avi"), test::distinctFrames(30, true));
    }

    void init() {
        std::filesystem::remove(m_dir.file("settings.ini"));
        m_settings = app::SettingsStore(m_dir.file("settings.ini"));
        m_trash = scene::SceneList();
        m_shown = scene::SceneList();
        addScene(m_trash, m_a, 0, 9);
        addScene(m_trash, m_a, 10, 19);
        addScene(m_trash, m_b, 5, 24);
        addScene(m_trash, m_b, 25, 29);
        addScene(m_shown, m_a, 0, 29);
    }

    void listsTheEntriesAndShowsTheFrameOfTheSlider() {
        m_settings.writeInt("SliderJump", 7);
        test::ScriptedUserInterface ui;
        auto dialog = openDialog(ui);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Gelöschte Szenendefinitionen"));
        QStringList headers;
        for (int column = 0; column < dialog->entryModel()->columnCount(); ++column)
            if (!dialog->entryList()->isColumnHidden(column))
                headers << dialog->entryModel()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Nr.", "Quelldatei", "Start", "Stop"}));
        QCOMPARE(dialog->entryModel()->cellText(2, SceneTableModel::Number), QStringLiteral("3"));
        QCOMPARE(dialog->entryModel()->cellText(2, SceneTableModel::Start), QStringLiteral("6"));
        QCOMPARE(dialog->entryModel()->cellText(2, SceneTableModel::Stop), QStringLiteral("25"));
        QCOMPARE(dialog->restoreButton()->toolTip(), QString::fromStdString(app::loadString(261)));
        QCOMPARE(dialog->deleteButton()->toolTip(), QString::fromStdString(app::loadString(259)));

        // The first entry is selected at opening, the slider runs over its range.
        QCOMPARE(dialog->selectedRows(), (std::vector<int>{0}));
        QCOMPARE(dialog->slider()->minimum(), 0);
        QCOMPARE(dialog->slider()->maximum(), 9);
        QCOMPARE(dialog->slider()->ticks(), (std::vector<int>{0, 9}));
        QCOMPARE(dialog->slider()->pageStep(), 7);
        QVERIFY(paints(*dialog, m_a, 0));
        dialog->slider()->setFocus();
        QTest::keyClick(dialog->slider(), Qt::Key_PageDown);
        QVERIFY(paints(*dialog, m_a, 7));

        // Another entry of another (16:9) file.
        clickRow(*dialog, 2);
        QCOMPARE(dialog->slider()->minimum(), 5);
        QCOMPARE(dialog->slider()->maximum(), 24);
        QCOMPARE(dialog->slider()->ticks(), (std::vector<int>{5, 24}));
        QVERIFY(paints(*dialog, m_b, 5));
        const QRect box = dialog->display()->letterboxRect();
        QVERIFY(qAbs(double(box.width()) / box.height() - 16.0 / 9.0) < 0.02);
        dialog->slider()->setValue(20);
        QVERIFY(paints(*dialog, m_b, 20));
        QVERIFY(ui.messages().empty());
    }

    void restoreAppendsTheSelectedEntriesAndSelectsTheEntryInTheirPlace() {
        test::ScriptedUserInterface ui;
        auto dialog = openDialog(ui);
        clickRow(*dialog, 1);
        clickRow(*dialog, 2, Qt::ControlModifier);
        QCOMPARE(dialog->selectedRows(), (std::vector<int>{1, 2}));
        QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
        QCOMPARE(rowsOf(dialog->shownList()), (QStringList{"a 0 29", "a 10 19", "b 5 24"}));
        QCOMPARE(rowsOf(dialog->trashList()), (QStringList{"a 0 9", "b 25 29"}));
        QCOMPARE(dialog->entryModel()->rowCount(), 2);
        QCOMPARE(dialog->selectedRows(), (std::vector<int>{1}));
        QCOMPARE(dialog->slider()->minimum(), 25);
        QVERIFY(paints(*dialog, m_b, 25));

        // The last entry restored: the one now last is selected.
        QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
        QCOMPARE(rowsOf(dialog->trashList()), (QStringList{"a 0 9"}));
        QCOMPARE(dialog->shownList().count(), 4);
        QCOMPARE(dialog->selectedRows(), (std::vector<int>{0}));
        QVERIFY(ui.messages().empty());
    }

    void deleteAsksFirstAndNoChangesNothing() {
        test::ScriptedUserInterface ui;
        auto dialog = openDialog(ui);
        clickRow(*dialog, 0);
        clickRow(*dialog, 3, Qt::ControlModifier);
        ui.expectQuestion(app::loadString(191), app::Answer::No);
        QTest::mouseClick(dialog->deleteButton(), Qt::LeftButton);
        QCOMPARE(dialog->trashList().count(), 4);
        QCOMPARE(dialog->selectedRows(), (std::vector<int>{0, 3}));

        ui.expectQuestion(app::loadString(191), app::Answer::Yes);
        QTest::mouseClick(dialog->deleteButton(), Qt::LeftButton);
        QCOMPARE(rowsOf(dialog->trashList()), (QStringList{"a 10 19", "b 5 24"}));
        QCOMPARE(dialog->selectedRows(), (std::vector<int>{0}));
        QCOMPARE(rowsOf(dialog->shownList()), (QStringList{"a 0 29"}));
        QVERIFY(!ui.unansweredQuestionsLeft());
        QCOMPARE(ui.questions()[0].buttons, app::Buttons::YesNo);

        // Deleting everything leaves an empty picture and a disabled slider.
        dialog->selectRows({0, 1});
        ui.expectQuestion(app::loadString(191), app::Answer::Yes);
        dialog->deleteSelected();
        QCOMPARE(dialog->trashList().count(), 0);
        QVERIFY(!dialog->slider()->isEnabled());
        QCOMPARE(dialog->display()->frameShown(), -1);
    }

    void withoutASelectionBothButtonsSay116() {
        test::ScriptedUserInterface ui;
        auto dialog = openDialog(ui);
        dialog->entryList()->clearSelection();
        QVERIFY(!dialog->slider()->isEnabled());
        QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
        QTest::mouseClick(dialog->deleteButton(), Qt::LeftButton);
        QCOMPARE(ui.messages().size(), size_t{2});
        for (const auto& message : ui.messages()) QCOMPARE(message.text, app::loadString(116));
        QVERIFY(ui.questions().empty());
        QCOMPARE(dialog->trashList().count(), 4);
        QCOMPARE(dialog->shownList().count(), 1);
    }

    void anEntryWhoseFileIsGoneShowsOneMessage() {
        addScene(m_trash, m_dir.file("gone.avi"), 0, 40);
        test::ScriptedUserInterface ui;
        auto dialog = openDialog(ui);
        clickRow(*dialog, 4);
        QCOMPARE(ui.messages().size(), size_t{1});
        QVERIFY(ui.hasMessage("DrawVideoScrubbingFrame()!\nFile: " + m_dir.file("gone.avi")));
        QVERIFY(dialog->display()->picture().isNull());
        dialog->slider()->setValue(30);
        clickRow(*dialog, 0);
        clickRow(*dialog, 4);
        QCOMPARE(ui.messages().size(), size_t{1});
        // Restoring it still works: the entry is only data.
        QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
        QCOMPARE(dialog->shownList().count(), 2);
        QCOMPARE(dialog->selectedRows(), (std::vector<int>{3}));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::TrashDialogTest)
#include "trash_dialog_test.moc"
