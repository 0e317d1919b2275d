// The main window's manual split: the marks set in the dialog split the
// scene after OK (one undo step), OK without a mark and Cancel change
// nothing, and several selected scenes are refused with 168.
#include <QAction>
#include <QPushButton>
#include <QtTest>

#include <fstream>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/frame_slider.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/manual_cut_dialog.h"
#include "gui/scene_list_view.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class MainWindowCutTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;

    void openWindowWith(int files) {
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n";
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QStringList paths;
        for (int i = 0; i < files; ++i) {
            std::string name = m_dir.file("s" + std::to_string(i) + ".avi");
            paths << QString::fromStdString(test::writeFixture(name, test::distinctFrames(40)));
        }
        m_window->addFiles(paths);
        QCOMPARE(m_window->shownList().count(), files);
    }

    void inTheDialog(std::function<void(ManualCutDialog&)> steps) {
        m_window->aboutToCut = [steps](ManualCutDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, steps] { steps(dialog); });
        };
    }

    void split() { m_window->actions()->action(Command::ManualSplit)->trigger(); }

    static void markAt(ManualCutDialog& dialog, int frame) {
        dialog.slider()->setValue(frame);
        QTest::keyClick(&dialog, Qt::Key_S);
    }

private slots:
    void cleanup() { m_window.reset(); }

    void marksSplitTheSceneAfterOkAndUndoJoinsItAgain() {
        openWindowWith(1);
        m_window->sceneList()->selectRows({0});
        inTheDialog([](ManualCutDialog& dialog) {
            markAt(dialog, 10);
            markAt(dialog, 20);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        split();
        const scene::SceneList& list = m_window->shownList();
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.startFrame(0), 0);
        QCOMPARE(list.stopFrame(0), 9);
        QCOMPARE(list.startFrame(1), 10);
        QCOMPARE(list.stopFrame(1), 19);
        QCOMPARE(list.startFrame(2), 20);
        QCOMPARE(list.stopFrame(2), 39);
        QCOMPARE(m_window->trash().count(), 1);  // the whole scene, to restore from
        m_window->undo();
        QCOMPARE(m_window->shownList().count(), 1);
        QCOMPARE(m_window->shownList().stopFrame(0), 39);
        QCOMPARE(m_window->trash().count(), 0);
    }

    void okWithoutAMarkAndCancelLeaveTheListAsItWas() {
        openWindowWith(1);
        m_window->sceneList()->selectRows({0});
        const int steps = m_window->undoStack().count();
        inTheDialog([](ManualCutDialog& dialog) { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); });
        split();
        QCOMPARE(m_window->shownList().count(), 1);
        QCOMPARE(m_window->undoStack().count(), steps);

        test::MessageBoxWatcher yes(QMessageBox::Yes);  // 160: discard the mark
        inTheDialog([](ManualCutDialog& dialog) {
            markAt(dialog, 12);
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        });
        split();
        QCOMPARE(yes.count(), 1);
        QCOMPARE(m_window->shownList().count(), 1);
    }

    void severalSelectedScenesAreRefusedWith168() {
        openWindowWith(2);
        m_window->sceneList()->selectRows({0, 1});
        bool opened = false;
        m_window->aboutToCut = [&opened](ManualCutDialog&) { opened = true; };
        test::MessageBoxWatcher ok;
        split();
        QVERIFY(!opened);
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.seen().front().text, QString::fromStdString(app::loadString(168)));
        QCOMPARE(m_window->shownList().count(), 2);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowCutTest)
#include "main_window_cut_test.moc"
