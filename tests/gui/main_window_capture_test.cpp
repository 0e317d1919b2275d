// "DV-Capturing..." in the main window: a capture from the simulated camera
// comes back as one new scene of the captured file's length, as one undo
// step; closing the dialog without a capture adds nothing.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "avi/avi_reader.h"
#include "gui/camera_dialog.h"
#include "gui/main_window.h"
#include "tests/gui/camera_fixture.h"
#include "tests/gui/message_box_watcher.h"

namespace klemora::gui {

class MainWindowCaptureTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::CameraSetup> m_setup;
    std::unique_ptr<MainWindow> m_window;

    void openWindow() {
        m_window = std::make_unique<MainWindow>(m_setup->settings("VideoDevice=Simulated\n"), app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    QAction* captureAction() const { return m_window->actions()->action(Command::DvCapture); }

private slots:
    void init() { m_setup = std::make_unique<test::CameraSetup>(); }
    void cleanup() {
        m_window.reset();
        m_setup.reset();
    }

    void aCaptureBecomesOneSceneOfTheFilesLength() {
        openWindow();
        QVERIFY(captureAction()->isEnabled());
        const std::string path = m_setup->dir.file("holiday.avi");
        bool commandsLocked = false;
        m_window->aboutToCapture = [&](CameraDialog& dialog) {
            commandsLocked = !m_window->actions()->action(Command::AddAvi)->isEnabled();
            QTimer::singleShot(0, &dialog, [&dialog, path] {
                QTRY_VERIFY(dialog.cameraActive());
                dialog.fileNameBox()->setText(QString::fromStdString(path));
                test::once(&dialog, [&dialog] { return dialog.statusLine()->text().startsWith(QLatin1String("Saved: 2")); },
                           [&dialog] { QTest::mouseClick(dialog.captureButton(), Qt::LeftButton); });
                QTest::mouseClick(dialog.captureButton(), Qt::LeftButton);
                QCOMPARE(dialog.capturedScenes().count(), 1);
                QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
            });
        };
        test::MessageBoxWatcher ok;  // 384
        captureAction()->trigger();
        QVERIFY(commandsLocked);
        QVERIFY(m_window->actions()->action(Command::AddAvi)->isEnabled());

        avi::AviReader reader;
        QCOMPARE(reader.Open(path, "r"), 1);
        QVERIFY(reader.GetFrameCount() >= 20);
        QCOMPARE(m_window->shownList().count(), 1);
        QCOMPARE(std::string(m_window->shownList().sourceFile(0)), path);
        QCOMPARE(m_window->shownList().startFrame(0), 0);
        QCOMPARE(m_window->shownList().stopFrame(0), reader.GetFrameCount() - 1);
        QVERIFY(m_window->hasUnsavedChanges());
        m_window->undo();
        QCOMPARE(m_window->shownList().count(), 0);
    }

    void closingWithoutACaptureAddsNothing() {
        openWindow();
        m_window->aboutToCapture = [](CameraDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        };
        captureAction()->trigger();
        QCOMPARE(m_window->shownList().count(), 0);
        QVERIFY(!m_window->hasUnsavedChanges());
        QVERIFY(captureAction()->isEnabled());
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowCaptureTest)
#include "main_window_capture_test.moc"
