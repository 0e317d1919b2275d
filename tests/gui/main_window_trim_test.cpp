// The main window's trim commands: the dialog's result comes back into the
// shown list after OK (one scene, or the whole group), Undo takes it away
// again, Cancel changes nothing, and an empty group says so.
#include <QAction>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <fstream>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/main_window.h"
#include "gui/scene_list_view.h"
#include "gui/trim_dialog.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class MainWindowTrimTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;

    void openWindow() {
        m_window.reset();
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n";
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    // What the person does in the dialog once it runs.
    void inTheDialog(std::function<void(TrimDialog&)> steps) {
        m_window->aboutToTrim = [steps](TrimDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, steps] { steps(dialog); });
        };
    }

    void ctrl(Qt::Key code) {
        m_window->sceneList()->setFocus();
        QTest::keyClick(m_window->sceneList(), code, Qt::ControlModifier);
    }

private slots:
    void cleanup() { m_window.reset(); }

    void oneSceneTakesItsTrimmedRangeAfterOkAndUndoRestoresIt() {
        openWindow();
        m_window->addFiles({QString::fromStdString(test::writeFixture(m_dir.file("a.avi"), test::distinctFrames(25)))});
        m_window->sceneList()->selectRows({0});
        inTheDialog([](TrimDialog& dialog) {
            QVERIFY(!dialog.splitButton()->isVisible());
            dialog.slider()->setValue(5);
            dialog.setIn();
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        ctrl(Qt::Key_T);
        QCOMPARE(m_window->shownList().startFrame(0), 5);
        QCOMPARE(m_window->shownList().definedStart(0), 0);  // the outer range is not copied back
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{0});
        QVERIFY(m_window->hasUnsavedChanges());
        m_window->undo();
        QCOMPARE(m_window->shownList().startFrame(0), 0);

        inTheDialog([](TrimDialog& dialog) {
            dialog.slider()->setValue(7);
            dialog.setIn();
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);  // 160: Yes
        });
        test::MessageBoxWatcher yes(QMessageBox::Yes);
        m_window->sceneList()->selectRows({0});
        ctrl(Qt::Key_T);
        QCOMPARE(m_window->shownList().startFrame(0), 0);
        QCOMPARE(yes.count(), 1);
    }

    void theWholeGroupComesBackAfterOkAndTheDialogsSceneIsFocused() {
        openWindow();
        const std::string a = test::writeFixture(m_dir.file("g1.avi"), test::distinctFrames(20));
        const std::string b = test::writeFixture(m_dir.file("g2.avi"), test::distinctFrames(20));
        m_window->addFiles({QString::fromStdString(a), QString::fromStdString(b)});
        m_window->sceneList()->selectRows({0});
        inTheDialog([](TrimDialog& dialog) {
            QCOMPARE(dialog.currentIndex(), 0);
            dialog.slider()->setValue(10);
            dialog.split();
            dialog.nextScene();
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        m_window->actions()->action(Command::TrimAll)->trigger();
        QCOMPARE(m_window->shownList().count(), 3);
        QCOMPARE(m_window->shownList().stopFrame(0), 9);
        QCOMPARE(m_window->shownList().startFrame(1), 10);
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{2});
        m_window->undo();
        QCOMPARE(m_window->shownList().count(), 2);
        QCOMPARE(m_window->shownList().stopFrame(0), 19);

        // Only navigating: nothing to take back, but the focus follows.
        inTheDialog([](TrimDialog& dialog) {
            dialog.nextScene();
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        const int steps = m_window->undoStack().count();
        m_window->actions()->action(Command::TrimAll)->trigger();
        QCOMPARE(m_window->undoStack().count(), steps);
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{1});
    }

    void anEmptyGroupIsNothingToDo() {
        openWindow();
        test::MessageBoxWatcher watcher;
        bool opened = false;
        m_window->aboutToTrim = [&](TrimDialog&) { opened = true; };
        m_window->actions()->action(Command::TrimAll)->trigger();
        QVERIFY(QTest::qWaitFor([&] { return watcher.count() == 1; }));
        QCOMPARE(watcher.seen().front().text, QString::fromStdString(app::loadString(174)));
        QCOMPARE(watcher.seen().front().icon, QMessageBox::Information);
        QVERIFY(!opened);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowTrimTest)
#include "main_window_trim_test.moc"
