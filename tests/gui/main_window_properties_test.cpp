// The main window's scene properties command: Enter, Ctrl+E and double
// click open the dialog on the selected scenes; what OK hands back is one
// undo step in the list a person sees; the trim button goes through the
// trim dialog and back, the save button writes the scene as a file.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <fstream>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/main_window.h"
#include "gui/progress_window.h"
#include "gui/scene_list_view.h"
#include "gui/scene_properties_dialog.h"
#include "gui/scene_table_model.h"
#include "gui/trim_dialog.h"
#include "scene/time_text.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class MainWindowPropertiesTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;

    void openWindow(int files) {
        m_window.reset();
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n";
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QStringList paths;
        for (int i = 0; i < files; ++i) {
            const std::string name = m_dir.file("f" + std::to_string(i) + ".avi");
            paths << QString::fromStdString(test::writeFixture(name, test::distinctFrames(25)));
        }
        m_window->addFiles(paths);
    }

    // What the person does in the dialog once it runs.
    void inTheDialog(std::function<void(ScenePropertiesDialog&)> steps) {
        m_window->aboutToEditProperties = [steps](ScenePropertiesDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, steps] { steps(dialog); });
        };
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        m_window->sceneList()->setFocus();
        QTest::keyClick(m_window->sceneList(), key, modifiers);
    }

    QString cell(int row, int column) const {
        return m_window->sceneList()->model()->index(row, column).data().toString();
    }

    static void typeComment(ScenePropertiesDialog& dialog, const QString& text) {
        dialog.commentField()->setText(text);
    }

    // One scene's comment typed and taken with OK.
    void comment(int row, const QString& text) {
        m_window->sceneList()->selectRows({row});
        inTheDialog([text](ScenePropertiesDialog& dialog) {
            typeComment(dialog, text);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        press(Qt::Key_E, Qt::ControlModifier);
    }

private slots:
    void cleanup() { m_window.reset(); }

    void oneScenesValuesComeBackAsOneUndoStep() {
        openWindow(1);
        m_window->sceneList()->selectRows({});
        QAction* properties = m_window->actions()->action(Command::SceneProperties);
        QVERIFY(!properties->isEnabled());
        m_window->sceneList()->selectRows({0});
        QVERIFY(properties->isEnabled());

        inTheDialog([](ScenePropertiesDialog& dialog) {
            QVERIFY(!dialog.multiSelection());
            QCOMPARE(dialog.lastFrameBox()->value(), 25);
            dialog.firstFrameBox()->setValue(6);
            typeComment(dialog, QStringLiteral("Strand"));
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        const int steps = m_window->undoStack().count();
        press(Qt::Key_Return);
        QCOMPARE(m_window->undoStack().count(), steps + 1);
        QCOMPARE(m_window->shownList().startFrame(0), 5);
        QCOMPARE(m_window->shownList().comment(0), std::string_view("Strand"));
        QCOMPARE(cell(0, SceneTableModel::Start), QStringLiteral("6"));
        QCOMPARE(m_window->sceneList()->selectedRows(), std::vector<int>{0});
        QVERIFY(m_window->hasUnsavedChanges());

        m_window->undo();
        QCOMPARE(m_window->shownList().startFrame(0), 0);
        QCOMPARE(m_window->shownList().comment(0), std::string_view(""));
        QCOMPARE(cell(0, SceneTableModel::Start), QStringLiteral("1"));

        // A double click on the row opens it too; Cancel takes nothing.
        bool opened = false;
        inTheDialog([&opened](ScenePropertiesDialog& dialog) {
            opened = true;
            dialog.firstFrameBox()->setValue(9);
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        });
        SceneListView* view = m_window->sceneList();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 2)).center());
        QVERIFY(opened);
        QCOMPARE(m_window->shownList().startFrame(0), 0);
        QCOMPARE(m_window->undoStack().index(), steps);
        QVERIFY(m_window->undoStack().canRedo());  // nothing new was pushed over the undone step
    }

    void severalScenesTakeTheSharedFieldsWithPercentAsTheirOwnText() {
        openWindow(3);
        comment(0, QStringLiteral("Strand"));
        comment(1, QStringLiteral("Berg"));
        press(Qt::Key_A, Qt::ControlModifier);
        inTheDialog([](ScenePropertiesDialog& dialog) {
            QVERIFY(dialog.multiSelection());
            QVERIFY(!dialog.firstFrameBox()->isEnabled());
            QCOMPARE(dialog.speedField()->text(), QStringLiteral("1"));  // all three share it
            typeComment(dialog, QStringLiteral("Urlaub: %"));
            dialog.speedField()->setText(QStringLiteral("2"));
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        const int steps = m_window->undoStack().count();
        press(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(m_window->undoStack().count(), steps + 1);
        const scene::SceneList& list = m_window->shownList();
        QCOMPARE(list.comment(0), std::string_view("Urlaub: Strand"));
        QCOMPARE(list.comment(1), std::string_view("Urlaub: Berg"));
        QCOMPARE(list.comment(2), std::string_view("Urlaub: "));
        for (int i = 0; i < 3; ++i) QCOMPARE(list.speedFactor(i), 2.0f);
        QCOMPARE(m_window->sceneList()->selectedRows(), (std::vector<int>{0, 1, 2}));

        m_window->undo();  // the three scenes in one step
        QCOMPARE(list.comment(0), std::string_view("Strand"));
        QCOMPARE(list.comment(2), std::string_view(""));
        QCOMPARE(list.speedFactor(1), 1.0f);
    }

    void theTrimButtonTakesTheTrimmedRangeBack() {
        openWindow(1);
        m_window->sceneList()->selectRows({0});
        m_window->aboutToTrim = [](TrimDialog& trim) {
            QTimer::singleShot(0, &trim, [&trim] {
                QVERIFY(!trim.splitButton()->isVisible());  // one scene
                trim.slider()->setValue(4);
                trim.setIn();
                trim.slider()->setValue(14);
                trim.setOut();
                QTest::mouseClick(trim.okButton(), Qt::LeftButton);
            });
        };
        QString timecodeAfterTrim;
        inTheDialog([&](ScenePropertiesDialog& dialog) {
            dialog.nameField()->setText(QStringLiteral("strand"));
            QTest::mouseClick(dialog.trimButton(), Qt::LeftButton);
            QCOMPARE(dialog.firstFrameBox()->value(), 5);
            QCOMPARE(dialog.lastFrameBox()->value(), 15);
            QCOMPARE(dialog.nameField()->text(), QStringLiteral("strand"));  // typed before, kept
            timecodeAfterTrim = dialog.startTimecodeField()->text();
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        const scene::Timecode before = m_window->shownList().timecode(0);
        press(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(m_window->shownList().startFrame(0), 4);
        QCOMPARE(m_window->shownList().stopFrame(0), 14);
        QCOMPARE(m_window->shownList().destName(0), std::string_view("strand"));
        const scene::Timecode moved = scene::addFramesToTimecode(before, 4, 25.0f);
        QCOMPARE(m_window->shownList().timecode(0), moved);
        QCOMPARE(timecodeAfterTrim, QString::fromStdString(scene::timecodeText(moved)));
    }

    void theSaveButtonWritesTheSceneAsAFile() {
        openWindow(1);
        m_window->sceneList()->selectRows({0});
        const std::string written = m_dir.file("szene.avi");
        QString askedIn;
        test::MessageBoxWatcher watcher;
        inTheDialog([&](ScenePropertiesDialog& dialog) {
            dialog.chooseAviFile = [&](const QString& folder) {
                askedIn = folder;
                return QString::fromStdString(written);
            };
            dialog.firstFrameBox()->setValue(3);
            dialog.lastFrameBox()->setValue(12);
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QVERIFY(dialog.isVisible() && dialog.isEnabled());
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        });
        press(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(watcher.count(), 0);
        QCOMPARE(askedIn, QString::fromStdString(m_store->readText("AviPath", "/")));
        app::SilentUserInterface quiet;
        media::MediaInfo info;
        QCOMPARE(media::ProbeMedia(written, info, quiet), 1);
        QCOMPARE(info.frameCount, 10);
        QCOMPARE(m_window->shownList().startFrame(0), 0);  // Cancel: the scene itself stays
    }

    void theSavesProgressWindowStopsItOverTheOpenDialog() {
        openWindow(0);
        const std::string long_ = m_dir.file("lang.avi");
        test::writeFixture(long_, fixtures::singleSessionOptions(750));
        m_window->addFiles({QString::fromStdString(long_)});
        m_window->sceneList()->selectRows({0});
        const std::string written = m_dir.file("gestoppt.avi");
        ProgressWindow* seen = nullptr;
        bool overTheDialog = false, usable = false, dialogStayed = false;
        inTheDialog([&](ScenePropertiesDialog& dialog) {
            dialog.chooseAviFile = [&](const QString&) { return QString::fromStdString(written); };
            QTimer poll;
            connect(&poll, &QTimer::timeout, &dialog, [&] {
                auto* progress = dialog.findChild<ProgressWindow*>();
                if (!progress || seen) return;
                seen = progress;
                overTheDialog = progress->parentWidget() == &dialog;
                usable = progress->isEnabled() && !dialog.okButton()->isEnabled();
                progress->close();  // its Stop
            });
            poll.start(0);
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            dialogStayed = dialog.isVisible();
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        });
        press(Qt::Key_E, Qt::ControlModifier);
        QVERIFY(seen);
        QVERIFY(overTheDialog);  // not blocked behind the modal dialog
        QVERIFY(usable);
        QVERIFY(dialogStayed);
        app::SilentUserInterface quiet;
        media::MediaInfo info;
        QCOMPARE(media::ProbeMedia(written, info, quiet), 1);  // the part written so far, as a whole file
        QVERIFY2(info.frameCount >= 1 && info.frameCount < 750, std::to_string(info.frameCount).c_str());
    }

    void savingOverTheSourceIsRefusedAndTheSourceStays() {
        openWindow(1);
        m_window->sceneList()->selectRows({0});
        const std::string source(m_window->shownList().sourceFile(0));
        test::MessageBoxWatcher watcher;
        inTheDialog([&](ScenePropertiesDialog& dialog) {
            dialog.chooseAviFile = [&](const QString&) { return QString::fromStdString(source); };
            dialog.lastFrameBox()->setValue(5);
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        });
        press(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(watcher.count(), 2);  // the writer's own reason, then the failed step
        QCOMPARE(watcher.seen().at(1).text,
                 QString::fromStdString(app::loadString(113) + " WriteScene()!\nFile: " + source + "\nCode: -66"));
        QCOMPARE(watcher.seen().at(1).icon, QMessageBox::Critical);
        app::SilentUserInterface quiet;
        media::MediaInfo info;
        QCOMPARE(media::ProbeMedia(source, info, quiet), 1);
        QCOMPARE(info.frameCount, 25);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowPropertiesTest)
#include "main_window_properties_test.moc"
