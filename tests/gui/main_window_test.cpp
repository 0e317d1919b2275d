// The main window as a person uses it: files dropped in, the list's texts
// and widths, the status line, the keys of the keyboard table, the close
// question, dragging scenes onto a group, undo and redo, and bad input
// (a damaged file, a file that is no project, a save that cannot be written)
// that says so and changes nothing.
#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QLineEdit>
#include <QMimeData>
#include <QSlider>
#include <QUrl>
#include <QtTest>

#include <fstream>

#include "app/settings_store.h"
#include "gui/group_tree_view.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/scene_drag.h"
#include "gui/scene_list_view.h"
#include "gui/scene_properties_dialog.h"
#include "scene/edit_change.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

// Takes the data, as a finished drag does.
void drop(QWidget* target, QPoint at, QMimeData* taken) {
    std::unique_ptr<QMimeData> owned(taken);
    QMimeData* data = owned.get();
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    QCoreApplication::processEvents();
}

QMimeData* filesMime(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

QTreeWidgetItem* itemNamed(QTreeWidget* tree, const QString& name) {
    const QList<QTreeWidgetItem*> found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;

    QString fixture(const std::string& name, int frames, int64_t truncateTo = -1) {
        fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(frames);
        options.truncateToBytes = truncateTo;
        std::string path = m_dir.file(name);
        std::string error;
        if (fixtures::writeDvAvi(path, options, nullptr, &error) != 1) qWarning("%s", error.c_str());
        return QString::fromStdString(path);
    }

    void openWindow(const std::string& ini = {}) {
        m_window.reset();
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n" << ini;
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    QString cell(int row, int column) const { return m_window->sceneList()->tableModel()->cellText(row, column); }
    SceneListView* list() const { return m_window->sceneList(); }
    void key(int code, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        list()->setFocus();
        QTest::keyClick(list(), static_cast<Qt::Key>(code), mods);
    }

private slots:
    void cleanup() { m_window.reset(); }

    void aSceneShowsItsFramesOneBasedWithItsLengthAndTheStatusLine() {
        openWindow();
        m_window->addFiles({fixture("one.avi", 25)});
        QCOMPARE(m_window->shownList().count(), 1);
        QCOMPARE(cell(0, SceneTableModel::Start), QStringLiteral("1"));
        QCOMPARE(cell(0, SceneTableModel::Stop), QStringLiteral("25"));
        QCOMPARE(cell(0, SceneTableModel::Length), QStringLiteral("00:00:01:00"));
        QCOMPARE(m_window->statusText(), QStringLiteral("Markiert in Gruppe: 1 (00:00:01:00)          Gesamt in Gruppe: "
                                                        "1 (00:00:01:00)          Projekt: 1 (00:00:01:00)"));
        QVERIFY(m_window->hasUnsavedChanges());
        QVERIFY(m_window->actions()->action(Command::SaveProject)->isEnabled());
    }

    void droppedFilesComeInCaseInsensitiveOrderAndUndoTakesThemAway() {
        openWindow();
        QStringList files{fixture("B.avi", 5), fixture("a.avi", 5), fixture("C.avi", 5)};
        drop(list()->viewport(), list()->viewport()->rect().center(), filesMime(files));
        QCOMPARE(m_window->shownList().count(), 3);
        QCOMPARE(QString::fromUtf8(m_window->shownList().sourceFile(0).data()), files[1]);
        QCOMPARE(QString::fromUtf8(m_window->shownList().sourceFile(1).data()), files[0]);
        QCOMPARE(QString::fromUtf8(m_window->shownList().sourceFile(2).data()), files[2]);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_window->shownList().count(), 0);
        QVERIFY(!m_window->hasUnsavedChanges());
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_window->shownList().count(), 3);
    }

    void aDamagedFileDroppedInSaysSoAndAddsNothing() {
        openWindow();
        test::MessageBoxWatcher boxes;
        QString damaged = fixture("damaged.avi", 10, 300);
        drop(list()->viewport(), list()->viewport()->rect().center(), filesMime({damaged}));
        QCOMPARE(m_window->shownList().count(), 0);
        QVERIFY(!m_window->hasUnsavedChanges());
        QVERIFY(boxes.count() >= 1);
        QVERIFY(boxes.seen().last().text.contains(QStringLiteral("Fehler beim Öffnen der Datei!")));
        QVERIFY(boxes.seen().last().text.contains(damaged));
    }

    void ctrlSWithoutAProjectPathOpensTheSaveAsDialog() {
        openWindow();
        int asked = 0;
        m_window->chooseProjectToSave = [&](const QString&) {
            ++asked;
            return MainWindow::FileAnswer{};
        };
        key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(asked, 1);
    }

    void escKeepsTheWindowOpenAndClosingAsksOnlyWithUnsavedChanges() {
        openWindow();
        key(Qt::Key_Escape);
        QVERIFY(m_window->isVisible());
        {
            test::MessageBoxWatcher boxes(QMessageBox::No);
            QVERIFY(m_window->close());
            QCOMPARE(boxes.count(), 0);
        }
        openWindow();
        m_window->addFiles({fixture("one.avi", 25)});
        test::MessageBoxWatcher boxes(QMessageBox::No);
        QVERIFY(m_window->close());
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("Soll der aktuelle Inhalt")));
        // The placement and widths are stored on the way out.
        QVERIFY(m_store->readInt("MainX2", -1) > m_store->readInt("MainX1", -1));
        QCOMPARE(m_store->readInt("Col0", -1), list()->columnWidth(SceneTableModel::Number));
    }

    void aStoredColumnWidthOfZeroShowsAsThree() {
        openWindow("Col3=0\nCol5=70\n");
        QCOMPARE(list()->columnWidth(SceneTableModel::Stop), 3);
        QCOMPARE(list()->columnWidth(SceneTableModel::Status), 70);
    }

    void theKeysOfTheTableRunTheirCommands() {
        openWindow("SliderJump=10\n");
        QString file = fixture("long.avi", 60);
        m_window->addFiles({file, file});
        list()->selectRows({1});
        QSlider* slider = m_window->preview()->slider();
        QCOMPARE(slider->value(), 0);
        key(Qt::Key_Right);
        QCOMPARE(slider->value(), 10);
        key(Qt::Key_Left);
        QCOMPARE(slider->value(), 0);
        key(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(cell(1, SceneTableModel::Status), QStringLiteral("Ok"));
        key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(cell(0, SceneTableModel::Status), QStringLiteral("Ok"));
        int propertiesOpened = 0;
        m_window->aboutToEditProperties = [&](ScenePropertiesDialog& dialog) {
            ++propertiesOpened;
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.reject(); });
        };
        key(Qt::Key_Return);  // scene properties
        QCOMPARE(propertiesOpened, 1);
        QCOMPARE(m_window->shownList().count(), 2);
        key(Qt::Key_Delete);
        QCOMPARE(m_window->shownList().count(), 1);
        QCOMPARE(m_window->trash().count(), 1);
        key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list()->selectedRows().size(), size_t{1});
    }

    void undoAfterMergeRestoresBothScenesExactly() {
        openWindow();
        QString file = fixture("merge.avi", 30);
        m_window->addFiles({file, file});
        scene::SceneList before;
        before.copyFrom(m_window->shownList());
        m_window->undoStack().setClean();
        list()->selectRows({0, 1});
        key(Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(m_window->shownList().count(), 1);
        QVERIFY(m_window->hasUnsavedChanges());
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_window->shownList().count(), 2);
        QVERIFY(scene::sameRecord(*m_window->shownList().record(0), *before.record(0)));
        QVERIFY(scene::sameRecord(*m_window->shownList().record(1), *before.record(1)));
        QVERIFY(!m_window->hasUnsavedChanges());
        QCOMPARE(m_window->trash().count(), 0);
        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(m_window->shownList().count(), 1);
    }

    void draggingTwoScenesOntoAnotherGroupMovesThem() {
        openWindow();
        QString file = fixture("three.avi", 30);
        m_window->addFiles({file, file, file});
        m_window->groupTree()->setFocus();
        QTest::keyClick(m_window->groupTree(), Qt::Key_Insert);
        QVERIFY(m_window->groupTree()->isEditingName());
        GroupTreeView* tree = m_window->groupTree();
        auto* editor = qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Escape);  // keep the proposed name
        QCoreApplication::processEvents();
        QTreeWidgetItem* start = itemNamed(m_window->groupTree(), QStringLiteral("Start"));
        QTreeWidgetItem* added = itemNamed(m_window->groupTree(), QStringLiteral("Neue Gruppe"));
        QVERIFY(start && added);
        m_window->groupTree()->setCurrentItem(start);
        QCOMPARE(m_window->shownList().count(), 3);

        list()->selectRows({0, 2});
        QRect target = m_window->groupTree()->visualItemRect(added);
        drop(m_window->groupTree()->viewport(), target.center(), sceneRowsMimeData({0, 2}));
        QCOMPARE(m_window->shownList().count(), 1);
        QCOMPARE(m_window->tree().root().child(0)->list().count(), 2);
        QVERIFY(m_window->statusText().endsWith(QStringLiteral("Projekt: 3 (00:00:03:15)")));

        // The other group shows them; back in "Start" the one left is there.
        m_window->groupTree()->setCurrentItem(itemNamed(m_window->groupTree(), QStringLiteral("Neue Gruppe")));
        QCOMPARE(m_window->shownList().count(), 2);
        key(Qt::Key_Z, Qt::ControlModifier);  // undo the move, though another group is shown
        QCOMPARE(m_window->shownGroup(), &m_window->tree().root());
        QCOMPARE(m_window->shownList().count(), 3);
        QCOMPARE(m_window->tree().root().child(0)->list().count(), 0);
    }

    void aGroupRenamedInTheTreeKeepsItsNameAndTheRootRefuses() {
        openWindow();
        GroupTreeView* tree = m_window->groupTree();
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Insert);
        auto* editor = qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Ferien");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(itemNamed(tree, QStringLiteral("Ferien")));
        QCOMPARE(QString::fromStdString(m_window->tree().root().child(0)->name()), QStringLiteral("Ferien"));

        tree->setCurrentItem(itemNamed(tree, QStringLiteral("Start")));
        test::MessageBoxWatcher boxes;
        QTest::keyClick(tree, Qt::Key_F2);
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("Diese Gruppe kann nicht")));
        key(Qt::Key_Z, Qt::ControlModifier);  // the rename, then the new group
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_window->tree().root().childCount(), 0);
    }

    void theProjectOfTheCommandLineOpensAndItsBackupGoesOnExit() {
        openWindow();
        m_window->addFiles({fixture("kept.avi", 25), fixture("kept2.avi", 25)});
        const std::string project = m_dir.file("start.scn");
        m_window->chooseProjectToSave = [&](const QString&) {
            return MainWindow::FileAnswer{QString::fromStdString(project), 1};
        };
        QVERIFY(m_window->saveProjectAs());
        m_window.reset();
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n";
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart(QString::fromStdString(project));
        QCOMPARE(m_window->shownList().count(), 2);
        QCOMPARE(m_window->projectPath(), project);
        QVERIFY(!m_window->hasUnsavedChanges());
        QCOMPARE(list()->selectedRows(), std::vector<int>{0});
        std::ofstream(scene::autobackupPath(*m_store)) << "left by a tick";
        QVERIFY(m_window->close());
        QVERIFY(!QFile::exists(QString::fromStdString(scene::autobackupPath(*m_store))));
    }

    void theMenuAndTheMouseRunTheirCommands() {
        openWindow();
        int dialogs = 0;
        QStringList chosen;
        m_window->chooseAviFiles = [&](const QString&) {
            ++dialogs;
            return chosen;
        };
        // A double click on the empty list adds files.
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, list()->viewport()->rect().center());
        QCOMPARE(dialogs, 1);
        chosen = {fixture("menu.avi", 25), fixture("menu2.avi", 50)};
        QMenu* edit = nullptr;
        for (QAction* entry : m_window->menuBar()->actions())
            if (entry->text() == QStringLiteral("Datei")) edit = entry->menu();
        QVERIFY(edit);
        for (QAction* entry : edit->actions())
            if (entry->text() == QStringLiteral("AVI laden...")) entry->trigger();
        QCOMPARE(dialogs, 2);
        QCOMPARE(m_window->shownList().count(), 2);

        // A click on a row shows that scene in the preview.
        QRect second = list()->visualRect(list()->model()->index(1, SceneTableModel::Source));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(list()->selectedRows(), std::vector<int>{1});
        QCOMPARE(m_window->preview()->slider()->maximum(), 49);
        QVERIFY(m_window->preview()->infoText().contains(QStringLiteral("Bilder: 50")));

        // "Szenen löschen" from the list's context menu's twin in the menu bar.
        QAction* remove = m_window->actions()->action(Command::DeleteScenes);
        QVERIFY(remove->isEnabled());
        remove->trigger();
        QCOMPARE(m_window->shownList().count(), 1);
        QVERIFY(m_window->actions()->action(Command::Undo)->isEnabled());
        QCOMPARE(m_window->actions()->action(Command::SceneProperties)->isEnabled(), !list()->selectedRows().empty());
    }

    void aFileThatIsNoProjectChangesNothing() {
        openWindow();
        m_window->addFiles({fixture("kept.avi", 25)});
        std::ofstream(m_dir.file("notes.scn")) << "just some notes, not scenes\n";
        m_window->chooseProjectToLoad = [&](const QString&) {
            return MainWindow::FileAnswer{QString::fromStdString(m_dir.file("notes.scn")), 1};
        };
        test::MessageBoxWatcher boxes(QMessageBox::No);  // 177: no saving first
        m_window->loadProject();
        QCOMPARE(m_window->shownList().count(), 1);
        QVERIFY(m_window->hasUnsavedChanges());
        QVERIFY(!boxes.seen().isEmpty());
        QVERIFY(boxes.seen().last().text.contains(QStringLiteral("Fehler beim Öffnen der Datei!")));
    }

    void aLoadCancelledAtItsQuestionKeepsTheUndoSteps() {
        openWindow();
        m_window->addFiles({fixture("kept.avi", 25)});
        m_window->chooseProjectToLoad = [&](const QString&) {
            return MainWindow::FileAnswer{QString::fromStdString(m_dir.file("other.scn")), 1};
        };
        test::MessageBoxWatcher boxes(QMessageBox::Cancel);  // 177: Cancel
        m_window->loadProject();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(m_window->shownList().count(), 1);
        QVERIFY(m_window->undoStack().canUndo());
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_window->shownList().count(), 0);
    }

    void aSaveThatCannotBeWrittenSaysSoAndKeepsTheChanges() {
        openWindow();
        m_window->addFiles({fixture("kept.avi", 25)});
        std::ofstream(m_dir.file("plain")) << "a file, not a folder";
        const std::string target = m_dir.file("plain") + "/project.scn";
        m_window->chooseProjectToSave = [&](const QString&) {
            return MainWindow::FileAnswer{QString::fromStdString(target), 1};
        };
        test::MessageBoxWatcher boxes;
        QVERIFY(!m_window->saveProjectAs());
        QVERIFY(m_window->hasUnsavedChanges());
        QVERIFY(m_window->projectPath().empty());
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.seen()[0].text.contains(QString::fromStdString(target)));

        const std::string good = m_dir.file("project.scn");
        m_window->chooseProjectToSave = [&](const QString&) {
            return MainWindow::FileAnswer{QString::fromStdString(good), 1};
        };
        QVERIFY(m_window->saveProjectAs());
        QVERIFY(!m_window->hasUnsavedChanges());
        QCOMPARE(m_window->actions()->action(Command::SaveProject)->text(),
                 QStringLiteral("Projekt 'project' speichern\tStrg+S"));
        QVERIFY(!m_window->actions()->action(Command::SaveProject)->isEnabled());
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowTest)
#include "main_window_test.moc"
