#pragma once
// "DV Kamera I/O": the device list, the live preview in the video area, the
// tape transport, the camera state and status lines, and the capture of
// the camera's DV stream into an AVI file (DV type 1 or 2). Every file
// captured while the dialog is open is kept as one whole-file scene for the
// main window to take over after it closes. The camera component belongs
// to the dialog; a capture runs on a worker (the component's own capture
// thread does the reception and the writes) while this window stays live.
#include <QDialog>
#include <QTimer>
#include <atomic>
#include <memory>
#include <string>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "camera/camera_clock.h"
#include "camera/camera_io.h"
#include "camera/capture_stop.h"
#include "camera/captured_files.h"
#include "gui/camera_transport_bar.h"
#include "gui/qt_user_interface.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace klemora::gui {

class CameraPreviewView;

inline constexpr int kWatchdogMilliseconds = 10000;
inline constexpr int kTransportStatusMilliseconds = 200;

class CameraDialog : public QDialog {
    Q_OBJECT

public:
    CameraDialog(const app::SettingsStore& settings, app::DebugLog log, QWidget* parent = nullptr);
    ~CameraDialog() override;

    // What a person sees and the tests drive.
    CameraPreviewView* videoArea() const { return m_video; }
    QComboBox* deviceList() const { return m_devices; }
    QLabel* stateLine() const { return m_state; }
    QLabel* statusLine() const { return m_status; }
    CameraTransportBar* transport() const { return m_transport; }
    QCheckBox* cameraControlBox() const { return m_cameraControl; }
    QCheckBox* previewBox() const { return m_previewBox; }
    QLineEdit* fileNameBox() const { return m_fileName; }
    QToolButton* fileChooser() const { return m_chooser; }
    QComboBox* dvTypeList() const { return m_dvType; }
    QPushButton* captureButton() const { return m_capture; }
    QPushButton* okButton() const { return m_ok; }
    bool cameraActive() const { return m_cameraActive; }
    bool capturing() const { return m_capturing; }
    QTimer& watchdog() { return m_watchdog; }
    QTimer& statusTimer() { return m_statusTimer; }
    camera::CameraIO& cameraIO() { return *m_io; }
    QtUserInterface& userInterface() { return m_ui; }

    // The files captured so far, one whole-file scene each.
    const scene::SceneList& capturedScenes() const { return m_captured.scenes(); }

    // The save-style file dialog; replaceable so that tests can answer it
    // (the chosen path, empty when cancelled).
    std::function<QString(const QString& folder)> chooseFile;

    // The watchdog's check, as its timer runs it.
    void watchdogTick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

private:
    void buildWidgets();
    void readSettings();
    // Every control off but the device list (as given) and, during a capture, the capture button.
    void lockControls(bool deviceList);
    void unlockControls();
    void showIdle();
    void selectDevice();
    bool startDevice(int index);
    void releaseDevice();
    void showMode(int mode);
    void onTransport(CameraTransportBar::Button which);
    void refreshStatus();
    void servicePreview();
    void onChooseFile();
    // camera_dialog_capture.cpp
    void onCaptureButton();
    void runCapture();
    void showStateLater(const QString& text);
    void showStatusLater(const QString& text);

    const app::SettingsStore& m_settings;
    app::DebugLog m_log;
    QtUserInterface m_ui;
    std::unique_ptr<camera::CameraIO> m_io;
    camera::CapturedFiles m_captured;
    camera::CaptureStop m_stop;
    bool m_cameraActive = false;
    bool m_capturing = false;
    bool m_opened = false;
    std::atomic<bool> m_captureStatusOn{false};  // the capture's status timer, kept on its thread
    int64_t m_nextCaptureStatus = 0;
    QTimer m_watchdog;
    QTimer m_statusTimer;
    QTimer m_previewTimer;  // fetches the running preview's frames
    QSize m_initialSize;

    CameraPreviewView* m_video = nullptr;
    QComboBox* m_devices = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_status = nullptr;
    CameraTransportBar* m_transport = nullptr;
    QCheckBox* m_cameraControl = nullptr;
    QCheckBox* m_previewBox = nullptr;
    QLineEdit* m_fileName = nullptr;
    QToolButton* m_chooser = nullptr;
    QComboBox* m_dvType = nullptr;
    QPushButton* m_capture = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace klemora::gui
