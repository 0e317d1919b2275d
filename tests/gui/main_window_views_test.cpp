// The main window's views: switching between the list, the film strip and
// the storyboard ("LastView" kept, the storyboard never restored), the
// storyboard's marks as the list's one selection, reordering by dragging
// marked stripes as one undo step, the storyboard keys and its text field.
#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QtTest>

#include <fstream>

#include "app/settings_store.h"
#include "gui/film_strip_view.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/scene_properties_dialog.h"
#include "gui/scene_list_view.h"
#include "gui/storyboard_view.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class MainWindowViewsTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::string m_file;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;
    // Closing and a new project ask whether to save first: not here.
    std::unique_ptr<test::MessageBoxWatcher> m_no;

    void openWindow(const std::string& extra = {}) {
        m_window.reset();
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\nLang=DE\n" << extra;
        reopenWindow();
    }

    void reopenWindow() {
        m_window.reset();
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    // Scenes 0-9, 10-19, ... of the fixture, with their number as comment.
    void addScenes(int count) {
        m_window->addFiles({QString::fromStdString(m_file)});
        scene::SceneList& shown = const_cast<scene::SceneList&>(m_window->shownList());
        shown.setStopFrame(0, 9);
        for (int i = 1; i < count; ++i) {
            int row = shown.AddNewScene();
            shown.replaceRecord(row, shown.record(0));
            shown.setStopFrame(row, i * 10 + 9);
            shown.setStartFrame(row, i * 10);
        }
        for (int i = 0; i < count; ++i) shown.setComment(i, std::to_string(i));
        m_window->tree().root().list().copyFrom(shown);
        m_window->sceneList()->tableModel()->listChanged();
    }

    std::vector<std::string> comments() const {
        std::vector<std::string> texts;
        for (int i = 0; i < m_window->shownList().count(); ++i)
            texts.emplace_back(m_window->shownList().comment(i));
        return texts;
    }

    StoryboardView* showStoryboard() {
        m_window->actions()->action(Command::ViewStoryboard)->trigger();
        StoryboardView* board = m_window->storyboard();
        if (!QTest::qWaitFor([&] { return board->isVisible() && board->geometry().stripeWidth == board->viewport()->width(); }))
            return nullptr;
        return board;
    }

    void click(StoryboardView* board, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(board->viewport(), Qt::LeftButton, modifiers, board->stripeRect(row).center());
    }

    static void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, target->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    void key(Qt::Key code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(m_window->storyboard(), code, modifiers);
    }

private slots:
    void initTestCase() { m_file = test::writeFixture(m_dir.file("frames.avi"), test::distinctFrames(60)); }
    void init() { m_no = std::make_unique<test::MessageBoxWatcher>(QMessageBox::No); }
    void cleanup() {
        m_window.reset();
        m_no.reset();
    }

    void theViewsSwitchAndTheListViewIsRestoredButNeverTheStoryboard() {
        openWindow();
        addScenes(2);
        QAction* strip = m_window->actions()->action(Command::ViewFilmStrip);
        QAction* board = m_window->actions()->action(Command::ViewStoryboard);
        QVERIFY(strip->isEnabled() && board->isEnabled());
        QCOMPARE(m_window->view(), MainWindow::ListView);
        m_window->sceneList()->selectRows({1});
        strip->trigger();
        QCOMPARE(m_window->view(), MainWindow::FilmStripView);
        QVERIFY(m_window->filmStrip()->isVisible());
        QCOMPARE(m_window->filmStrip()->frames().size(), size_t{3});  // "FrameCount" default 3
        QCOMPARE(m_window->filmStrip()->frames().front(), 11);         // of the selected scene 10-19

        QVERIFY(showStoryboard());
        QVERIFY(!m_window->sceneList()->isVisible() && !m_window->preview()->isVisible());
        QCOMPARE(m_window->storyboard()->stripeCount(), 2);
        QCOMPARE(m_window->storyboard()->markedRows(), std::vector<int>{1});
        board->trigger();  // the check button again: back to the last list view
        QCOMPARE(m_window->view(), MainWindow::FilmStripView);
        QVERIFY(m_window->sceneList()->isVisible() && !board->isChecked());

        QVERIFY(showStoryboard());
        m_window->close();
        QCOMPARE(m_store->readInt("LastView", 0), 2);
        reopenWindow();
        QCOMPARE(m_window->view(), MainWindow::FilmStripView);
        m_window->actions()->action(Command::ViewList)->trigger();
        m_window->close();
        QCOMPARE(m_store->readInt("LastView", 0), 1);
    }

    void clicksMarkStripesAndTheListSelectionFollows() {
        openWindow();
        addScenes(6);
        StoryboardView* board = showStoryboard();
        QVERIFY(board);
        click(board, 1);
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{1});
        click(board, 3, Qt::ControlModifier);
        QCOMPARE(m_window->sceneList()->selectedRows(), (std::vector<int>{1, 3}));
        click(board, 1, Qt::ControlModifier);
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{3});
        click(board, 5, Qt::ShiftModifier);  // from the nearest mark before it
        QCOMPARE(m_window->sceneList()->selectedRows(), (std::vector<int>{3, 4, 5}));
        click(board, 0);
        click(board, 2, Qt::ShiftModifier);  // none after: from 0
        QCOMPARE(m_window->sceneList()->selectedRows(), (std::vector<int>{0, 1, 2}));
        click(board, 4);
        click(board, 2, Qt::ShiftModifier);  // none before it: the one after
        QCOMPARE(m_window->sceneList()->selectedRows(), (std::vector<int>{2, 3, 4}));
        // A double click opens the scene properties of its scene alone.
        int shownFirstFrame = -1;
        m_window->aboutToEditProperties = [&](ScenePropertiesDialog& dialog) {
            shownFirstFrame = dialog.firstFrameBox()->value();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        };
        QTest::mouseDClick(board->viewport(), Qt::LeftButton, Qt::NoModifier, board->stripeRect(3).center());
        m_window->aboutToEditProperties = nullptr;
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{3});
        QCOMPARE(shownFirstFrame, m_window->shownList().startFrame(3) + 1);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        // The list's selection is the storyboard's marks, and its text shows the focused scene.
        m_window->selectAllScenes();
        QCOMPARE(board->markedRows().size(), size_t{6});
        QVERIFY(m_window->storyboardText()->toPlainText().startsWith(QStringLiteral("Szene:\t\t4   (Status: --)\nDauer:\t\t")));
        QVERIFY(m_window->storyboardText()->toPlainText().contains(QStringLiteral("\nKommentar:\t\t3")));
        QVERIFY(m_window->storyboardText()->toPlainText().contains(QStringLiteral("\nQuelldatei:\t") + QString::fromStdString(m_file)));
    }

    void draggingTwoMarkedScenesOntoTheFirstPutsThemOnTopAsOneUndoStep() {
        openWindow();
        addScenes(5);
        StoryboardView* board = showStoryboard();
        QVERIFY(board);
        click(board, 2);
        click(board, 4, Qt::ControlModifier);
        QWidget* port = board->viewport();
        const QPoint from = board->stripeRect(4).center();
        sendMouse(port, QEvent::MouseButtonPress, from, Qt::LeftButton);
        sendMouse(port, QEvent::MouseMove, from + QPoint(0, -10), Qt::LeftButton);
        QVERIFY(board->dragging());
        const QPoint to = board->stripeRect(0).center();
        sendMouse(port, QEvent::MouseMove, to, Qt::LeftButton);
        sendMouse(port, QEvent::MouseButtonRelease, to, Qt::NoButton);
        QCOMPARE(comments(), (std::vector<std::string>{"2", "4", "0", "1", "3"}));
        QVERIFY(m_window->hasUnsavedChanges());
        QCOMPARE(m_window->sceneList()->selectedRows(), (std::vector<int>{0, 1}));
        QCOMPARE(board->markedRows(), (std::vector<int>{0, 1}));
        QCOMPARE(m_window->storyboard()->stripeCount(), 5);
        m_window->undo();
        QCOMPARE(comments(), (std::vector<std::string>{"0", "1", "2", "3", "4"}));
        m_window->redo();
        QCOMPARE(comments(), (std::vector<std::string>{"2", "4", "0", "1", "3"}));
    }

    void theStoryboardKeysMoveTheMarkAndTheScenes() {
        openWindow();
        addScenes(5);
        StoryboardView* board = showStoryboard();
        QVERIFY(board);
        m_window->storyboardText()->parentWidget()->findChild<QSpinBox*>(QStringLiteral("storyboardSceneWidth"))->setValue(3);
        QTRY_COMPARE(board->geometry().stripeWidth, 300);  // hundreds of pixels
        const int perRow = board->geometry().stripesPerRow;
        QVERIFY(perRow >= 2 && perRow < 5);
        click(board, 0);
        key(Qt::Key_Right);
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{1});
        key(Qt::Key_Right, Qt::ShiftModifier);
        key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(m_window->sceneList()->selectedRows(), (std::vector<int>{1, 2, 3}));
        key(Qt::Key_Home);
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{0});
        key(Qt::Key_Down);
        QCOMPARE(board->focusedRow(), perRow);
        key(Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(m_window->sceneList()->selectedRows().size(), size_t(5 - perRow));

        key(Qt::Key_Home);
        key(Qt::Key_Right, Qt::ControlModifier);  // scene 0 one down
        QCOMPARE(comments(), (std::vector<std::string>{"1", "0", "2", "3", "4"}));
        key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(comments(), (std::vector<std::string>{"1", "2", "3", "4", "0"}));
        QCOMPARE(board->markedRows(), std::vector<int>{4});
        key(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(comments(), (std::vector<std::string>{"1", "2", "3", "0", "4"}));
        // The width setting is kept for the next start.
        m_window->close();
        QCOMPARE(m_store->readInt("SBSceneWidth", 0), 3);
    }

    void everyListChangeRebuildsTheStripes() {
        openWindow();
        addScenes(3);
        StoryboardView* board = showStoryboard();
        QVERIFY(board);
        click(board, 1);
        key(Qt::Key_Delete);
        QCOMPARE(board->stripeCount(), 2);
        m_window->undo();
        QCOMPARE(board->stripeCount(), 3);
        m_window->newProject();
        QCOMPARE(board->stripeCount(), 0);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowViewsTest)
#include "main_window_views_test.moc"
