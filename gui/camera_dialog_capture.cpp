// The camera dialog's capture button: the capture sequence on a worker while
// the dialog stays live; the button again, or Esc, ends the capture
// normally. The sequence's state texts and status lines come from the
// worker and are shown here.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "camera/capture_sequence.h"
#include "camera/capture_status.h"
#include "gui/camera_dialog.h"
#include "gui/camera_preview_view.h"
#include "gui/text_of.h"
#include "gui/worker_run.h"

namespace klemora::gui {
namespace {

constexpr int64_t kCaptureStatusPeriod = 1000000;  // the status timer's second during a capture

}  // namespace

void CameraDialog::onCaptureButton() {
    if (m_capturing) {
        m_stop.finish(m_ui);  // a normal end: the file is kept and listed
        return;
    }
    if (m_cameraActive) runCapture();
}

void CameraDialog::showStateLater(const QString& text) {
    QMetaObject::invokeMethod(this, [this, text] { m_state->setText(text); }, Qt::QueuedConnection);
}

void CameraDialog::showStatusLater(const QString& text) {
    QMetaObject::invokeMethod(this, [this, text] { m_status->setText(text); }, Qt::QueuedConnection);
}

void CameraDialog::runCapture() {
    camera::CaptureRequest request;
    request.fileName = m_fileName->text().toStdString();
    request.dvType = m_dvType->currentIndex() == 1 ? 2 : 1;
    request.preview = m_previewBox->isChecked();
    request.cameraControl = m_cameraControl->isChecked();
    request.window = m_video;
    request.stop = &m_stop;

    // Everything below runs on the worker, where the sequence runs: only
    // queued calls reach the widgets.
    camera::CaptureHooks hooks;
    hooks.showState = [this](std::string_view text) { showStateLater(QString::fromUtf8(text.data(), text.size())); };
    hooks.statusTimer = [this](bool on) {
        m_nextCaptureStatus = camera::systemClock().nowMicroseconds() + kCaptureStatusPeriod;
        m_captureStatusOn = on;
    };
    hooks.refreshStatus = [this] { showStatusLater(QString::fromStdString(camera::currentStatusLine(*m_io, true))); };
    m_io->onCaptureWait = [this](camera::CameraIO& io) {
        if (!m_captureStatusOn) return;
        const int64_t now = camera::systemClock().nowMicroseconds();
        if (now < m_nextCaptureStatus) return;
        m_nextCaptureStatus = now + kCaptureStatusPeriod;
        showStatusLater(QString::fromStdString(camera::currentStatusLine(io, true)));
    };

    m_capturing = true;
    m_watchdog.stop();
    m_statusTimer.stop();
    m_previewTimer.stop();
    lockControls(false);
    m_capture->setText(textOf(991));
    m_status->setText(QString::fromLatin1(camera::kIdleStatusLine));  // not the last capture's counts
    m_ui.resetCancel();
    m_stop.clear();
    runOnWorker([&] { camera::RunCapture(*m_io, request, m_ui, camera::systemClock(), m_captured, hooks); });
    m_io->onCaptureWait = nullptr;
    m_captureStatusOn = false;
    m_ui.resetCancel();
    m_stop.clear();

    m_capturing = false;
    m_capture->setText(textOf(990));
    unlockControls();
    if (m_io->running()) m_previewTimer.start();
    m_watchdog.start();
}

}  // namespace klemora::gui
