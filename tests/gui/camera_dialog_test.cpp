// The camera dialog with the simulated camera: the settings it opens with
// and stores, the device list, the transport buttons and their pressed look,
// the status line, the live preview, and captures of DV type 1 and 2 to a
// chosen file, ended by the capture button or Esc.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <cstdlib>

#include "app/string_table.h"
#include "avi/avi_reader.h"
#include "camera/capture_status.h"
#include "gui/camera_dialog.h"
#include "gui/camera_preview_view.h"
#include "tests/gui/camera_fixture.h"
#include "tests/gui/message_box_watcher.h"

namespace klemora::gui {

using Bar = CameraTransportBar;

class CameraDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::CameraSetup> m_setup;
    std::unique_ptr<CameraDialog> m_dialog;

    CameraDialog& openDialog(const std::string& data = std::string("VideoDevice=simulated dv camera\n")) {
        m_dialog = std::make_unique<CameraDialog>(m_setup->settings(data), app::DebugLog{});
        m_dialog->show();
        if (!QTest::qWaitForWindowExposed(m_dialog.get())) qWarning("dialog not exposed");
        QTest::qWait(50);  // device selection runs once the dialog is up
        return *m_dialog;
    }

    std::string file(const std::string& name) const { return m_setup->dir.file(name); }
    int readInt(const char* key) const { return m_setup->store->readInt(key, -99); }

    // Captures into `name` until the status line has counted `frames` saved
    // frames, then presses the capture button (or Esc) again.
    void capture(const QString& name, int frames, bool byEscape = false) {
        CameraDialog& dialog = *m_dialog;
        dialog.fileNameBox()->setText(name);
        test::once(&dialog, [&dialog, frames] { return savedFrames(dialog) >= frames; },
                   [&dialog, byEscape] {
                       QVERIFY(dialog.capturing());
                       if (byEscape) QTest::keyClick(&dialog, Qt::Key_Escape);
                       else QTest::mouseClick(dialog.captureButton(), Qt::LeftButton);
                   });
        QTest::mouseClick(dialog.captureButton(), Qt::LeftButton);  // returns when the capture has ended
    }

    static int savedFrames(const CameraDialog& dialog) {
        const QString line = dialog.statusLine()->text();
        if (!line.startsWith(QLatin1String("Saved: ")) || line.startsWith(QLatin1String("Saved: ---"))) return 0;
        return line.mid(7, line.indexOf(QLatin1Char(' '), 7) - 7).toInt();
    }

private slots:
    void init() { m_setup = std::make_unique<test::CameraSetup>(); }
    void cleanup() {
        m_dialog.reset();
        m_setup.reset();
    }

    void opensWithItsSettingsAndStoresThemOnClose() {
        CameraDialog& dialog = openDialog(
            "VideoDevice=Simulated DV\nCameraCtrl=0\nEnableVideoOverlay=0\nUseDvType=2\n"
            "DevIoMax=0\nDevIoX1=30\nDevIoY1=40\nDevIoX2=730\nDevIoY2=640\n");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("DV Kamera I/O"));
        QVERIFY(!dialog.cameraControlBox()->isChecked());
        QVERIFY(dialog.cameraControlBox()->isEnabled());  // the camera has a transport
        QVERIFY(!dialog.previewBox()->isChecked());
        QCOMPARE(dialog.dvTypeList()->currentText(), QStringLiteral("DV Type 2"));
        QCOMPARE(dialog.size(), QSize(700, 600));
        QCOMPARE(dialog.deviceList()->count(), 1);
        QCOMPARE(dialog.deviceList()->currentText(), QString::fromLatin1(test::kSimulatedEntry));
        QVERIFY(dialog.cameraActive());
        QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: Stop"));
        QCOMPARE(dialog.statusLine()->text(),
                 QStringLiteral("Saved: --- / Dropped: --- / Length: --- / Timecode: 00:10:00:00 / Format: PAL"));
        QVERIFY(dialog.watchdog().isActive());
        QCOMPARE(dialog.watchdog().interval(), 10000);

        dialog.cameraControlBox()->setChecked(true);
        dialog.previewBox()->setChecked(true);
        dialog.dvTypeList()->setCurrentIndex(0);
        dialog.resize(720, 620);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.watchdog().isActive());
        QCOMPARE(readInt("CameraCtrl"), 1);
        QCOMPARE(readInt("EnableVideoOverlay"), 1);
        QCOMPARE(readInt("UseDvType"), 1);
        QCOMPARE(m_setup->store->readText("VideoDevice", ""), std::string(test::kSimulatedEntry));
        QCOMPARE(readInt("DevIoX2") - readInt("DevIoX1"), 720);
        QCOMPARE(readInt("DevIoY2") - readInt("DevIoY1"), 620);
        QCOMPARE(readInt("DevIoMax"), 0);
    }

    void withoutARememberedDeviceAsksForOneAndStartsThePickedEntry() {
        test::MessageBoxWatcher ok;
        CameraDialog& dialog = openDialog("");
        QTRY_COMPARE(ok.count(), 1);
        QCOMPARE(ok.seen()[0].text, QString::fromStdString(app::loadString(383)));
        QVERIFY(!dialog.cameraActive());
        QVERIFY(dialog.deviceList()->isEnabled());
        QVERIFY(!dialog.captureButton()->isEnabled());
        QVERIFY(!dialog.transport()->isEnabled());
        QCOMPARE(dialog.statusLine()->text(), QString::fromLatin1(camera::kIdleStatusLine));

        dialog.deviceList()->setFocus();
        QTest::keyClick(dialog.deviceList(), Qt::Key_Down);  // a person picks the entry
        QTRY_VERIFY(dialog.cameraActive());
        QVERIFY(dialog.captureButton()->isEnabled());
        QVERIFY(dialog.transport()->isEnabled());
        QVERIFY(dialog.fileNameBox()->isEnabled());
        QCOMPARE(m_setup->store->readText("VideoDevice", ""), std::string(test::kSimulatedEntry));
    }

    void aMachineWithoutCameraKeepsEverythingDisabled() {
        test::ScopedEnv none(camera::kSimulatedCameraVariable, nullptr);
        test::MessageBoxWatcher ok;
        CameraDialog& dialog = openDialog();
        QCOMPARE(dialog.deviceList()->count(), 0);
        QVERIFY(!dialog.deviceList()->isEnabled());
        QVERIFY(!dialog.captureButton()->isEnabled());
        QVERIFY(!dialog.cameraActive());
        QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: State unknown"));
        QCOMPARE(ok.count(), 0);
    }

    void transportButtonsShowTheModeAndLookPressed() {
        CameraDialog& dialog = openDialog();
        Bar* bar = dialog.transport();
        QTest::mouseClick(bar->button(Bar::PlayPause), Qt::LeftButton);
        QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: Play"));
        QVERIFY(bar->button(Bar::PlayPause)->isChecked());
        QVERIFY(!bar->button(Bar::Stop)->isChecked());
        QVERIFY(dialog.statusTimer().isActive());
        QCOMPARE(dialog.statusTimer().interval(), 200);
        // The status timer shows the tape running on.
        QTRY_VERIFY(!dialog.statusLine()->text().contains(QLatin1String("Timecode: 00:10:00:00")));
        QVERIFY(dialog.statusLine()->text().startsWith(QLatin1String("Saved: --- / Dropped: --- / Length: --- / Timecode: 00:10:0")));

        QTest::mouseClick(bar->button(Bar::PlayPause), Qt::LeftButton);
        QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: Pause"));
        QVERIFY(!bar->button(Bar::PlayPause)->isChecked());
        QVERIFY(!dialog.statusTimer().isActive());

        const std::pair<Bar::Button, const char*> presses[] = {
            {Bar::WindForward, "Camera: Forward"},
            {Bar::WindBackward, "Camera: Backward"},
            {Bar::SearchForward, "Camera: PlayFastForward"},
            {Bar::SearchBackward, "Camera: PlayFastBackward"},
        };
        for (const auto& [button, text] : presses) {
            QTest::mouseClick(bar->button(button), Qt::LeftButton);
            QCOMPARE(dialog.stateLine()->text(), QString::fromLatin1(text));
            for (int other = 0; other < Bar::kButtons; ++other)
                QCOMPARE(bar->button(static_cast<Bar::Button>(other))->isChecked(), other == button);
            QVERIFY(dialog.statusTimer().isActive());
        }
        QTest::mouseClick(bar->button(Bar::Stop), Qt::LeftButton);
        QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: Stop"));
        QVERIFY(bar->button(Bar::Stop)->isChecked());
        QVERIFY(!dialog.statusTimer().isActive());
    }

    void thePreviewPaintsTheCameraPictureInTheVideoArea() {
        CameraDialog& dialog = openDialog();
        CameraPreviewView* video = dialog.videoArea();
        const QColor grey = video->palette().window().color();
        QTest::mouseClick(dialog.transport()->button(Bar::PlayPause), Qt::LeftButton);
        QTRY_VERIFY(video->framesShown() > 5);
        const camera::PreviewRect placed = video->videoRect();
        QVERIFY(placed.width() > 0);
        QCOMPARE(placed, camera::previewRectangle(video->width(), video->height()));
        QTest::qWait(50);
        const QImage shot = video->grab().toImage();
        int notGrey = 0;
        for (int y = placed.top; y < placed.bottom; y += 7)
            for (int x = placed.left; x < placed.right; x += 7)
                if (shot.pixelColor(x, y) != grey) ++notGrey;
        QVERIFY2(notGrey > 100, qPrintable(QString::number(notGrey)));
    }

    void capturesTypeOneAndTypeTwoToTheChosenFile() {
        test::MessageBoxWatcher ok;  // 384: OK starts the capture
        CameraDialog& dialog = openDialog();
        QString startFolder;
        dialog.chooseFile = [this, &startFolder](const QString& folder) {
            startFolder = folder;
            return QString::fromStdString(file("First.AVI"));
        };
        QTest::mouseClick(dialog.fileChooser(), Qt::LeftButton);
        QCOMPARE(startFolder, QStringLiteral("/"));  // "AviPath" not set
        QCOMPARE(dialog.fileNameBox()->text(), QString::fromStdString(file("First.AVI")));

        // While it runs: only the capture button, which now says stop; closing is refused.
        test::once(&dialog, [&dialog] { return savedFrames(dialog) > 0; }, [&dialog, &ok] {
            QVERIFY(!dialog.okButton()->isEnabled());
            QVERIFY(!dialog.deviceList()->isEnabled());
            QVERIFY(!dialog.transport()->isEnabled());
            QVERIFY(!dialog.fileNameBox()->isEnabled());
            QVERIFY(dialog.captureButton()->isEnabled());
            QCOMPARE(dialog.captureButton()->text(), QString::fromStdString(app::loadString(991)));
            QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: Play"));
            dialog.close();
            QVERIFY(dialog.isVisible());
        });
        dialog.dvTypeList()->setCurrentIndex(0);
        capture(dialog.fileNameBox()->text(), 30);
        QVERIFY(!dialog.capturing());
        QVERIFY(ok.count() >= 2);
        QCOMPARE(ok.seen()[0].text, QString::fromStdString(app::loadString(384)));
        QCOMPARE(ok.seen()[1].text, QString::fromStdString(app::loadString(386)));
        QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: Stop"));
        QVERIFY2(dialog.statusLine()->text().contains(QLatin1String(" / Dropped: 0 / Length: 00:00:01:")), qPrintable(dialog.statusLine()->text()));
        QCOMPARE(dialog.captureButton()->text(), QString::fromStdString(app::loadString(990)));
        QVERIFY(dialog.okButton()->isEnabled());
        QVERIFY(dialog.watchdog().isActive());

        dialog.dvTypeList()->setCurrentIndex(1);
        capture(QString::fromStdString(file("Second")), 30, true);  // Esc ends it too

        const scene::SceneList& scenes = dialog.capturedScenes();
        QCOMPARE(scenes.count(), 2);
        const std::string paths[] = {file("first.avi"), file("second.avi")};
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(std::string(scenes.sourceFile(i)), paths[i]);
            avi::AviReader reader;
            QCOMPARE(reader.Open(paths[i], "r"), 1);
            QCOMPARE(reader.GetDvType(), i + 1);
            QVERIFY2(reader.GetFrameCount() >= 30, qPrintable(QStringLiteral("%1: %2").arg(i).arg(reader.GetFrameCount())));
            QCOMPARE(scenes.stopFrame(i), reader.GetFrameCount() - 1);
            QCOMPARE(scenes.dvType(i), i + 1);
        }
        if (std::system("ffprobe -version >/dev/null 2>&1") == 0) {
            const std::string probe = "ffprobe -v error -show_entries stream=codec_name -of csv=p=0 '" + paths[1] +
                                      "' > '" + file("probe") + "'";
            QCOMPARE(std::system(probe.c_str()), 0);
            QCOMPARE(QString::fromStdString(test::readTextFile(file("probe"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                     QStringList({QStringLiteral("dvvideo"), QStringLiteral("pcm_s16le")}));
        }
        QVERIFY(dialog.videoArea()->videoVisible());  // the preview is back
    }

    void refusesBadNamesAndKeepsAnExistingFileWhenTheUserSaysNo() {
        CameraDialog& dialog = openDialog();
        {
            test::MessageBoxWatcher ok;
            dialog.fileNameBox()->setText(QStringLiteral("Clip.avi"));
            QTest::mouseClick(dialog.captureButton(), Qt::LeftButton);
            dialog.fileNameBox()->clear();
            QTest::mouseClick(dialog.captureButton(), Qt::LeftButton);
            QCOMPARE(ok.count(), 2);
            QCOMPARE(ok.seen()[0].text, QString::fromStdString(app::loadString(449)));
            QCOMPARE(ok.seen()[1].text, QString::fromStdString(app::loadString(360)));
        }
        std::ofstream(file("kept.avi")) << "keep me";
        test::MessageBoxWatcher no(QMessageBox::No);
        dialog.fileNameBox()->setText(QString::fromStdString(file("kept.avi")));
        QTest::mouseClick(dialog.captureButton(), Qt::LeftButton);
        QCOMPARE(no.count(), 1);
        QVERIFY(no.seen()[0].text.startsWith(QString::fromStdString(app::loadString(139))));
        QCOMPARE(test::readTextFile(file("kept.avi")), std::string("keep me"));
        QCOMPARE(dialog.capturedScenes().count(), 0);
        QVERIFY(dialog.cameraActive());
        QVERIFY(dialog.captureButton()->isEnabled());
    }

    void theWatchdogFindsALostCameraAgain() {
        CameraDialog& dialog = openDialog();
        dialog.watchdogTick();  // the camera answers: nothing happens
        QVERIFY(dialog.cameraActive());
        dialog.cameraIO().ReleaseCamera();  // as if unplugged: its state cannot be read
        dialog.watchdogTick();
        QVERIFY(dialog.cameraActive());
        QVERIFY(dialog.cameraIO().cameraAdded());
        QCOMPARE(dialog.stateLine()->text(), QStringLiteral("Camera: Stop"));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::CameraDialogTest)
#include "camera_dialog_test.moc"
