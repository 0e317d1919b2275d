// The main window's "Szenenerkennung...": the scenes the dialog found replace
// the selected scenes in the list after OK, by DV date/time and by picture
// differences, as one undo step; Cancel changes nothing; no command of the
// main window runs while the detection does.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <fstream>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/auto_cut_dialog.h"
#include "gui/main_window.h"
#include "gui/scene_list_view.h"
#include "tests/fixtures/scene_clip.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/recording_power.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

// Two recordings of 20 and 30 frames, an hour apart.
fixtures::DvFixtureOptions twoRecordings() {
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(20);
    fixtures::DvSession next = options.sessions.back();
    next.start.hours += 1;
    next.frames = 30;
    options.sessions.push_back(next);
    return options;
}

}  // namespace

class MainWindowDetectTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;
    std::string m_a, m_b;

    // Scenes a.avi (0-49) and b.avi (0-49) in the list.
    void openWindowWithTwoFiles(const std::string& keys) {
        m_window.reset();
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\nMinFrameCount=75\n" << keys;
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->detectionPower = std::make_unique<test::RecordingPower>();
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_a = test::writeFixture(m_dir.file("a.avi"), twoRecordings());
        m_b = test::writeFixture(m_dir.file("b.avi"), twoRecordings());
        m_window->addFiles({QString::fromStdString(m_a), QString::fromStdString(m_b)});
        QCOMPARE(m_window->shownList().count(), 2);
    }

    // What the person does in the dialog once it runs.
    void inTheDialog(std::function<void(AutoCutDialog&)> steps) {
        m_window->aboutToDetect = [steps](AutoCutDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, steps] { steps(dialog); });
        };
    }

    void detect() { m_window->actions()->action(Command::SceneDetection)->trigger(); }

private slots:
    void cleanup() { m_window.reset(); }

    void datestampScenesReplaceTheSelectedSceneAsOneUndoStep() {
        openWindowWithTwoFiles("DetectionType=1\nTrimCount=0\n");
        m_window->sceneList()->selectRows({1});
        bool commandsLocked = false;
        inTheDialog([&](AutoCutDialog& dialog) {
            QCOMPARE(dialog.sources().size(), size_t{1});
            dialog.runFinished = [&] {
                commandsLocked = !m_window->actions()->action(Command::AddAvi)->isEnabled() &&
                                 !m_window->actions()->action(Command::SceneDetection)->isEnabled();
            };
            QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        detect();
        QVERIFY(commandsLocked);
        const scene::SceneList& shown = m_window->shownList();
        QCOMPARE(shown.count(), 3);
        QCOMPARE(std::string(shown.sourceFile(0)), m_a);
        QCOMPARE(std::string(shown.sourceFile(1)), m_b);
        QCOMPARE(shown.stopFrame(1), 19);
        QCOMPARE(shown.startFrame(2), 20);
        QCOMPARE(shown.stopFrame(2), 49);
        QVERIFY(m_window->actions()->action(Command::AddAvi)->isEnabled());
        QVERIFY(m_window->hasUnsavedChanges());
        m_window->undo();
        QCOMPARE(m_window->shownList().count(), 2);
        QCOMPARE(m_window->shownList().stopFrame(1), 49);
    }

    void pictureScenesReplaceTheSelectedScene() {
        openWindowWithTwoFiles("DetectionType=0\nTrimCount=0\nAlg1=1\n");
        const std::string clip = m_dir.file("clip.avi");
        std::vector<int32_t> cuts;
        QCOMPARE(fixtures::writeSceneClip(clip,
                                          {{{fixtures::ClipSceneKind::ColourField, 60, 3},
                                            {fixtures::ClipSceneKind::MovingPattern, 60, 4}},
                                           fixtures::ClipCodec::Dv},
                                          &cuts),
                 1);
        m_window->addFiles({QString::fromStdString(clip)});
        m_window->sceneList()->selectRows({2});
        inTheDialog([](AutoCutDialog& dialog) {
            dialog.minFrameBox()->setValue(10);
            QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        detect();
        const scene::SceneList& shown = m_window->shownList();
        QCOMPARE(shown.count(), 4);
        QCOMPARE(std::string(shown.sourceFile(2)), clip);
        QCOMPARE(shown.startFrame(3), cuts[0]);
        QCOMPARE(shown.stopFrame(3), 119);
    }

    void cancelAndNothingSelectedChangeNothing() {
        openWindowWithTwoFiles("DetectionType=1\n");
        m_window->sceneList()->selectRows({0, 1});
        inTheDialog([](AutoCutDialog& dialog) {
            QCOMPARE(dialog.sources().size(), size_t{2});
            QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
            test::MessageBoxWatcher no(QMessageBox::No);  // 105: do not take them over
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
            QTRY_COMPARE(no.count(), 1);
        });
        const int steps = m_window->undoStack().count();
        detect();
        QCOMPARE(m_window->shownList().count(), 2);
        QCOMPARE(m_window->shownList().stopFrame(0), 49);
        QCOMPARE(m_window->undoStack().count(), steps);

        m_window->sceneList()->selectRows({});
        bool opened = false;
        m_window->aboutToDetect = [&](AutoCutDialog&) { opened = true; };
        test::MessageBoxWatcher ok;
        detect();
        QTRY_COMPARE(ok.count(), 1);
        QCOMPARE(ok.seen()[0].text, QString::fromStdString(app::loadString(116)));
        QVERIFY(!opened);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowDetectTest)
#include "main_window_detect_test.moc"
