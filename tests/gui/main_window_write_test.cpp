// The main window's "AVI speichern...": the dialog writes what the shown
// list holds (also before it went back into its group), no main-window
// command is live while a run goes, and what the run changed comes back:
// the template, deleted sources, and no save question before a shutdown.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "avi/avi_reader.h"
#include "gui/main_window.h"
#include "gui/write_scenes_dialog.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/recording_power.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class MainWindowWriteTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;
    std::string m_out;

    void openWindow(const std::string& ini) {
        m_window.reset();
        m_dir = std::make_unique<test::TempDir>();
        m_out = m_dir->file("out") + "/";
        std::filesystem::create_directories(m_out);
        std::ofstream(m_dir->file("Klemora.ini"))
            << "[Data]\nEnableBackup=0\nDestinationpath=" << m_out << "\nFormatString=%Q_%N1\n" << ini;
        m_store = std::make_unique<app::SettingsStore>(m_dir->file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    std::string addSource(const std::string& name, int frames) {
        const std::string path = test::writeFixture(m_dir->file(name), test::distinctFrames(frames));
        m_window->addFiles({QString::fromStdString(path)});
        return path;
    }

    // What the person does in the dialog once it is open; it is closed afterwards.
    void inTheDialog(std::function<void(WriteScenesDialog&)> steps) {
        m_window->aboutToWrite = [steps](WriteScenesDialog& dialog) {
            dialog.writerOptions.syncOnFinish = false;
            QTimer::singleShot(0, &dialog, [&dialog, steps] {
                steps(dialog);
                QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
            });
        };
    }

    QAction* action(Command command) const { return m_window->actions()->action(command); }

    static int framesOf(const std::string& path) {
        avi::AviReader reader;
        return reader.Open(path, "r") == 1 ? reader.GetFrameCount() : -1;
    }

private slots:
    void cleanup() { m_window.reset(); }

    void theShownScenesAreWrittenAndTheWindowRestsMeanwhile() {
        openWindow("");
        addSource("a.avi", 12);
        addSource("b.avi", 7);
        QVERIFY(action(Command::WriteAvi)->isEnabled());
        bool commandsLiveDuringRun = true;
        inTheDialog([&](WriteScenesDialog& dialog) {
            auto mainWindowSide = dialog.runningChanged;
            dialog.runningChanged = [&, mainWindowSide](bool running) {
                mainWindowSide(running);
                if (running)
                    commandsLiveDuringRun = action(Command::AddAvi)->isEnabled() || action(Command::WriteAvi)->isEnabled();
            };
            QTest::mouseClick(dialog.perSceneButton(), Qt::LeftButton);
        });
        action(Command::WriteAvi)->trigger();

        QVERIFY(!commandsLiveDuringRun);
        QVERIFY(action(Command::WriteAvi)->isEnabled());
        QVERIFY(action(Command::AddAvi)->isEnabled());
        QCOMPARE(framesOf(m_out + "a_1.avi"), 12);
        QCOMPARE(framesOf(m_out + "b_2.avi"), 7);
        QCOMPARE(std::string(m_window->shownList().nameTemplate()), std::string("%Q_%N1"));
        QCOMPARE(m_window->shownList().count(), 2);
    }

    void sourcesGoAfterTheQuestionAndTheScenesStayListed() {
        openWindow("DeleteSrcFiles=1\n");
        const std::string source = addSource("a.avi", 10);
        test::MessageBoxWatcher ok(QMessageBox::Ok);
        inTheDialog([](WriteScenesDialog& dialog) { QTest::mouseClick(dialog.perSceneButton(), Qt::LeftButton); });
        action(Command::WriteAvi)->trigger();

        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.seen().first().text, QString::fromStdString(app::loadString(441)));
        QVERIFY(!std::filesystem::exists(source));
        QCOMPARE(framesOf(m_out + "a_1.avi"), 10);
        QCOMPARE(m_window->shownList().count(), 1);
    }

    void aShutdownAfterTheOneFileRunAsksNoSaveQuestion() {
        openWindow("WriteShutdown=1\n");
        addSource("a.avi", 6);
        QVERIFY(m_window->hasUnsavedChanges());
        test::RecordingPower power;
        inTheDialog([&power](WriteScenesDialog& dialog) {
            dialog.setPowerControl(&power);
            QTest::mouseClick(dialog.oneFileButton(), Qt::LeftButton);
        });
        action(Command::WriteAvi)->trigger();

        QCOMPARE(power.requests, 1);
        QCOMPARE(framesOf(m_out + "Start.avi"), 6);
        QVERIFY(!m_window->hasUnsavedChanges());
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowWriteTest)
#include "main_window_write_test.moc"
