// The main window's trash and sort commands: scenes deleted in the window
// come back at the end of the list from the trash dialog, entries deleted
// there for good stay gone, and the dialog's whole result is one undo step;
// an empty trash says 178. The sort dialog's key and direction sort the
// list as one undo step; Cancel sorts nothing; an empty group says 174.
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/scene_list_view.h"
#include "gui/sort_dialog.h"
#include "gui/trash_dialog.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class MainWindowTrashTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;

    // Files s0, s1, ... with the given frame counts, added as one scene each.
    void openWindowWith(std::vector<int> frames, const std::string& ini = {}) {
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n" << ini;
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QStringList paths;
        for (size_t i = 0; i < frames.size(); ++i) {
            std::string name = m_dir.file("s" + std::to_string(i) + ".avi");
            test::writeFixture(name, test::distinctFrames(frames[i]));
            paths << QString::fromStdString(name);
        }
        m_window->addFiles(paths);
        QCOMPARE(m_window->shownList().count(), int(frames.size()));
    }

    // The shown list (or trash) as its file names, in order.
    static QStringList namesOf(const scene::SceneList& list) {
        QStringList names;
        for (int i = 0; i < list.count(); ++i)
            names << QString::fromStdString(std::filesystem::path(std::string(list.sourceFile(i))).stem());
        return names;
    }

    void deleteRows(const std::vector<int>& rows) {
        m_window->sceneList()->selectRows(rows);
        m_window->actions()->action(Command::DeleteScenes)->trigger();
    }

    void inTheTrash(std::function<void(TrashDialog&)> steps) {
        m_window->aboutToShowTrash = [steps](TrashDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, steps] {
                steps(dialog);
                QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
            });
        };
    }

    void inTheSort(std::function<void(SortDialog&)> steps) {
        m_window->aboutToSort = [steps](SortDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, steps] { steps(dialog); });
        };
    }

    void restore() { m_window->actions()->action(Command::RestoreFromTrash)->trigger(); }
    void sort() { m_window->actions()->action(Command::SortScenes)->trigger(); }

private slots:
    void cleanup() { m_window.reset(); }

    void restoredScenesComeBackAtTheEndAsOneUndoStep() {
        openWindowWith({40, 40, 40, 40});
        deleteRows({1, 2});
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s0", "s3"}));
        QCOMPARE(namesOf(m_window->trash()), (QStringList{"s1", "s2"}));
        const int steps = m_window->undoStack().count();

        QVERIFY(m_window->actions()->action(Command::RestoreFromTrash)->isEnabled());
        inTheTrash([](TrashDialog& dialog) {
            dialog.selectRows({0, 1});
            QTest::mouseClick(dialog.restoreButton(), Qt::LeftButton);
        });
        restore();
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s0", "s3", "s1", "s2"}));
        QCOMPARE(m_window->sceneList()->tableModel()->rowCount(), 4);
        QCOMPARE(m_window->sceneList()->tableModel()->cellText(3, SceneTableModel::Source),
                 QString::fromStdString(m_dir.file("s2.avi")));
        QCOMPARE(m_window->trash().count(), 0);
        QCOMPARE(m_window->undoStack().count(), steps + 1);
        QVERIFY(m_window->hasUnsavedChanges());

        m_window->undo();
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s0", "s3"}));
        QCOMPARE(namesOf(m_window->trash()), (QStringList{"s1", "s2"}));
        QCOMPARE(m_window->sceneList()->tableModel()->rowCount(), 2);
    }

    void entriesDeletedForGoodAfterYesAndUndoBringsThemBack() {
        openWindowWith({40, 40, 40});
        deleteRows({0, 2});
        const int steps = m_window->undoStack().count();
        {
            test::MessageBoxWatcher no(QMessageBox::No);
            inTheTrash([](TrashDialog& dialog) {
                dialog.selectRows({1});
                QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
            });
            restore();
            QCOMPARE(no.count(), 1);
            QCOMPARE(no.seen().front().text, QString::fromStdString(app::loadString(191)));
            QCOMPARE(no.seen().front().icon, QMessageBox::Question);
        }
        QCOMPARE(namesOf(m_window->trash()), (QStringList{"s0", "s2"}));
        QCOMPARE(m_window->undoStack().count(), steps);  // nothing changed: no step

        test::MessageBoxWatcher yes(QMessageBox::Yes);
        restore();
        QCOMPARE(namesOf(m_window->trash()), (QStringList{"s0"}));
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s1"}));
        QCOMPARE(m_window->undoStack().count(), steps + 1);
        m_window->undo();
        QCOMPARE(namesOf(m_window->trash()), (QStringList{"s0", "s2"}));
    }

    void anEmptyTrashSays178WithoutTheDialog() {
        openWindowWith({40});
        bool opened = false;
        m_window->aboutToShowTrash = [&opened](TrashDialog&) { opened = true; };
        test::MessageBoxWatcher ok;
        QVERIFY(m_window->actions()->action(Command::RestoreFromTrash)->isEnabled());
        restore();
        QVERIFY(!opened);
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.seen().front().text, QString::fromStdString(app::loadString(178)));
    }

    void sortsByTheStoredKeyAndTheChosenOneAsOneUndoStepEach() {
        // A stored key beyond the list opens on the source file; descending.
        openWindowWith({40, 10, 25}, "sort1KeyNo=12\nsort1Up=1\n");
        const int steps = m_window->undoStack().count();
        int openedOn = -1;
        inTheSort([&openedOn](SortDialog& dialog) {
            openedOn = dialog.keyList()->currentRow();
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        sort();
        QCOMPARE(openedOn, 0);
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s2", "s1", "s0"}));
        QCOMPARE(m_window->sceneList()->tableModel()->cellText(0, SceneTableModel::Source),
                 QString::fromStdString(m_dir.file("s2.avi")));
        QCOMPARE(m_window->undoStack().count(), steps + 1);

        inTheSort([](SortDialog& dialog) {
            dialog.keyList()->setCurrentRow(4);  // "Dauer"
            QTest::mouseClick(dialog.ascendingButton(), Qt::LeftButton);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        sort();
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s1", "s2", "s0"}));
        QCOMPARE(m_store->readInt("sort1KeyNo", -1), 4);
        QCOMPARE(m_store->readInt("sort1Up", -1), 0);

        m_window->undo();
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s2", "s1", "s0"}));
        m_window->undo();
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s0", "s1", "s2"}));
    }

    void cancelSortsNothingAndAnEmptyGroupSays174() {
        openWindowWith({40, 10});
        const int steps = m_window->undoStack().count();
        inTheSort([](SortDialog& dialog) {
            dialog.keyList()->setCurrentRow(4);
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        });
        sort();
        QCOMPARE(namesOf(m_window->shownList()), (QStringList{"s0", "s1"}));
        QCOMPARE(m_window->undoStack().count(), steps);
        QCOMPARE(m_store->readInt("sort1KeyNo", -1), 4);  // stored by Cancel too

        m_window.reset();
        openWindowWith({});
        test::MessageBoxWatcher ok;
        inTheSort([](SortDialog& dialog) { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); });
        sort();
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.seen().front().text, QString::fromStdString(app::loadString(174)));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowTrashTest)
#include "main_window_trash_test.moc"
