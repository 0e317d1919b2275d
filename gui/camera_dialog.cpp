// The camera dialog: its controls, device selection and the watchdog, the
// transport buttons and the status line, closing. The capture itself is in
// camera_dialog_capture.cpp.
#include "gui/camera_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <strings.h>

#include "app/string_table.h"
#include "camera/camera_codes.h"
#include "camera/capture_status.h"
#include "camera/system_buses.h"
#include "gui/camera_preview_view.h"
#include "gui/help_page.h"
#include "gui/saved_placement.h"
#include "gui/text_of.h"

namespace klemora::gui {
namespace {

constexpr const char* kPlacementPrefix = "DevIo";
constexpr const char* kHelpPage = "page03.htm";
constexpr int kPreviewServiceMilliseconds = 20;
constexpr const char* kStateUnknown = "Camera: State unknown";
constexpr const char* kStateError = "Camera state: ERROR";

bool containsIgnoringCase(const std::string& text, const std::string& part) {
    if (part.size() > text.size()) return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (strncasecmp(text.c_str() + i, part.c_str(), part.size()) == 0) return true;
    return false;
}

template <typename Widget>
Widget* withTooltip(Widget* widget, int tooltip) {
    widget->setToolTip(textOf(tooltip));
    return widget;
}

}  // namespace

CameraDialog::CameraDialog(const app::SettingsStore& settings, app::DebugLog log, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_log(std::move(log)), m_ui(this), m_captured(m_ui, m_log) {
    camera::Clock& clock = camera::systemClock();
    const std::string tape = camera::simulatedTapeFile(m_settings.readText(camera::kSimulatedCameraKey, ""));
    m_io = std::make_unique<camera::CameraIO>(m_ui, clock, camera::systemBusFactory(clock, tape, m_log), m_log);
    buildWidgets();
    readSettings();
    lockControls(false);
    showIdle();
    m_initialSize = sizeHint();
    setMinimumSize(m_initialSize);
    resize(m_initialSize);
    restorePlacement(*this, m_settings, kPlacementPrefix);

    m_watchdog.setInterval(kWatchdogMilliseconds);
    connect(&m_watchdog, &QTimer::timeout, this, [this] { watchdogTick(); });
    m_statusTimer.setInterval(kTransportStatusMilliseconds);
    connect(&m_statusTimer, &QTimer::timeout, this, [this] { refreshStatus(); });
    m_previewTimer.setInterval(kPreviewServiceMilliseconds);
    connect(&m_previewTimer, &QTimer::timeout, this, [this] { servicePreview(); });
}

CameraDialog::~CameraDialog() {
    m_watchdog.stop();
    m_statusTimer.stop();
    m_previewTimer.stop();
    m_io.reset();  // before the preview window it may still draw into
}

void CameraDialog::buildWidgets() {
    setWindowTitle(textOf(987));
    m_video = new CameraPreviewView(this);
    m_video->setMinimumSize(360, 270);
    m_devices = withTooltip(new QComboBox(this), 377);
    m_devices->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_state = new QLabel(QString::fromLatin1(kStateUnknown), this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);  // the capture line outgrows the dialog's width
    m_transport = new CameraTransportBar(this);
    m_cameraControl = withTooltip(new QCheckBox(textOf(988), this), 374);
    m_previewBox = withTooltip(new QCheckBox(textOf(989), this), 387);
    m_fileName = withTooltip(new QLineEdit(this), 166);
    m_chooser = withTooltip(new QToolButton(this), 250);
    m_chooser->setText(QStringLiteral("..."));
    m_dvType = withTooltip(new QComboBox(this), 373);
    m_dvType->addItems({QStringLiteral("DV Type 1"), QStringLiteral("DV Type 2")});
    m_capture = withTooltip(new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), textOf(990), this), 376);
    m_ok = new QPushButton(textOf(888), this);
    m_ok->setAutoDefault(false);
    m_capture->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_video, 1);
    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(new QLabel(textOf(992), this));
    deviceRow->addWidget(m_devices, 1);
    layout->addLayout(deviceRow);
    layout->addWidget(m_state);
    layout->addWidget(m_status);
    auto* controlRow = new QHBoxLayout;
    controlRow->addWidget(m_transport);
    controlRow->addStretch();
    controlRow->addWidget(m_cameraControl);
    controlRow->addWidget(m_previewBox);
    layout->addLayout(controlRow);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(textOf(166) + QLatin1Char(':'), this));
    fileRow->addWidget(m_fileName, 1);
    fileRow->addWidget(m_chooser);
    fileRow->addWidget(new QLabel(textOf(993), this));
    fileRow->addWidget(m_dvType);
    layout->addLayout(fileRow);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_capture);
    buttonRow->addStretch();
    buttonRow->addWidget(m_ok);
    layout->addLayout(buttonRow);

    connect(m_devices, &QComboBox::activated, this, [this](int index) { startDevice(index); });
    connect(m_transport, &CameraTransportBar::pressed, this, &CameraDialog::onTransport);
    connect(m_chooser, &QToolButton::clicked, this, [this] { onChooseFile(); });
    connect(m_capture, &QPushButton::clicked, this, [this] { onCaptureButton(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { accept(); });
}

void CameraDialog::readSettings() {
    m_cameraControl->setChecked(m_settings.readInt("CameraCtrl", 1) != 0);
    m_previewBox->setChecked(m_settings.readInt("EnableVideoOverlay", 1) != 0);
    const int type = m_settings.readInt("UseDvType", 1);
    m_dvType->setCurrentIndex(type == 2 ? 1 : type == 1 ? 0 : -1);
}

void CameraDialog::lockControls(bool deviceList) {
    for (QWidget* control : std::initializer_list<QWidget*>{m_cameraControl, m_previewBox, m_fileName, m_chooser,
                                                            m_dvType, m_capture, m_transport})
        control->setEnabled(false);
    m_devices->setEnabled(deviceList);
    m_ok->setEnabled(!m_capturing);
    if (m_capturing) m_capture->setEnabled(true);
}

void CameraDialog::unlockControls() {
    m_devices->setEnabled(true);
    const bool transport = m_io->hasTransport() && m_io->GetCameraState() >= 0;
    m_transport->setEnabled(transport);
    m_cameraControl->setEnabled(transport);
    if (!transport) m_cameraControl->setChecked(false);
    for (QWidget* control : std::initializer_list<QWidget*>{m_previewBox, m_capture, m_fileName, m_chooser, m_dvType})
        control->setEnabled(true);
    m_ok->setEnabled(true);
}

void CameraDialog::showIdle() {
    m_state->setText(QString::fromLatin1(kStateUnknown));
    m_status->setText(QString::fromLatin1(camera::kIdleStatusLine));
}

void CameraDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_opened) return;
    m_opened = true;
    // Device selection may show a message: over the dialog, once it is up.
    QTimer::singleShot(0, this, [this] {
        selectDevice();
        m_watchdog.start();
    });
}

void CameraDialog::selectDevice() {
    std::vector<std::string> entries;
    const int listed = m_io->ListCaptureDevices(&entries);
    const QString current = m_devices->currentText();
    m_devices->clear();
    for (const std::string& entry : entries) m_devices->addItem(QString::fromStdString(entry));
    if (listed != 1 || entries.empty()) {
        lockControls(false);
        showIdle();
        releaseDevice();
        m_io->RestartBaseGraph();
        m_cameraActive = false;
        return;
    }
    m_devices->setEnabled(true);
    if (m_cameraActive) {
        m_devices->setCurrentIndex(std::max(0, m_devices->findText(current)));
        return;
    }
    m_devices->setCurrentIndex(-1);
    const std::string wanted = m_settings.readText("VideoDevice", "");
    bool started = false;
    for (size_t i = 0; !wanted.empty() && i < entries.size() && !started; ++i)
        if (containsIgnoringCase(entries[i], wanted)) {
            started = startDevice(static_cast<int>(i));
            break;
        }
    if (!started) m_ui.showMessage(app::loadString(383), app::Icon::Information);
}

void CameraDialog::releaseDevice() {
    m_previewTimer.stop();
    m_statusTimer.stop();
    m_io->StopGraph();
    m_io->ReleasePreviewGraph();
    m_io->ReleaseCamera();
}

bool CameraDialog::startDevice(int index) {
    if (m_capturing || index < 0) return false;
    const std::string entry = m_devices->itemText(index).toStdString();
    m_watchdog.stop();
    lockControls(false);
    showIdle();
    releaseDevice();
    m_io->RestartBaseGraph();
    // The rebuilt graph has an empty device table: list again and find the
    // chosen entry, which may have moved.
    std::vector<std::string> entries;
    m_io->ListCaptureDevices(&entries);
    const auto found = std::find(entries.begin(), entries.end(), entry);
    const int device = found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    bool ok = device >= 0 && m_io->AddCamera(device) == 1 && m_io->AddPreviewGraph() == 1 &&
              m_io->SetPreviewWindow(m_video) == 1 && m_io->StartPreview() == 1;
    m_devices->clear();
    for (const std::string& text : entries) m_devices->addItem(QString::fromStdString(text));
    m_devices->setCurrentIndex(device);
    m_devices->setEnabled(true);
    if (ok) {
        showMode(-1);
        unlockControls();
        refreshStatus();
        m_cameraActive = true;
        m_settings.writeText("VideoDevice", entry);
        m_previewTimer.start();
    } else {
        m_io->ReleasePreviewGraph();
        m_io->ReleaseCamera();
        m_state->setText(QString::fromLatin1(kStateError));
        m_cameraActive = false;
    }
    m_watchdog.start();
    return ok;
}

void CameraDialog::watchdogTick() {
    if (m_capturing) return;
    if (camera::isKnownTransportMode(m_io->GetCameraState())) return;
    m_cameraActive = false;  // unplugged, or never there: look again
    selectDevice();
}

void CameraDialog::showMode(int mode) {
    if (mode < 0) mode = m_io->GetCameraState();
    m_state->setText(QString::fromStdString(std::string(camera::transportModeText(mode))));
    m_transport->showMode(mode);
}

void CameraDialog::onTransport(CameraTransportBar::Button which) {
    using Bar = CameraTransportBar;
    if (m_capturing || !m_cameraActive) return;
    camera::CameraIO& io = *m_io;
    bool moving = true;
    switch (which) {
    case Bar::PlayPause:
        if (io.GetCameraState() == static_cast<int>(camera::TransportMode::Play)) {
            io.CameraPause();
            moving = false;
        } else {
            io.CameraPlay();
        }
        break;
    case Bar::WindForward: io.CameraForward(); break;
    case Bar::WindBackward: io.CameraBackward(); break;
    case Bar::SearchForward: io.CameraPlayFastForward(); break;
    case Bar::SearchBackward: io.CameraPlayFastBackward(); break;
    case Bar::Stop:
        io.CameraStop();
        moving = false;
        break;
    default: return;
    }
    showMode(-1);
    if (moving) m_statusTimer.start();
    else m_statusTimer.stop();
    refreshStatus();
}

void CameraDialog::refreshStatus() {
    if (!m_cameraActive && !m_io->cameraAdded()) return;
    m_status->setText(QString::fromStdString(camera::currentStatusLine(*m_io, false)));
}

void CameraDialog::servicePreview() {
    if (m_capturing) return;  // the capture shows its own preview
    m_io->ServiceGraph(0);
}

void CameraDialog::onChooseFile() {
    const QString folder = QString::fromStdString(m_settings.readText("AviPath", "/"));
    QString path;
    if (chooseFile) {
        path = chooseFile(folder);
    } else {
        QFileDialog dialog(this, QString(), folder, QStringLiteral("Video files (*.avi)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("avi"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (!path.isEmpty()) m_fileName->setText(path);
}

void CameraDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The preview follows the video area (a capture's preview follows it by itself).
    if (m_cameraActive && !m_capturing && m_io->previewGraphAdded()) m_io->SetPreviewWindow(m_video);
}

void CameraDialog::keyPressEvent(QKeyEvent* event) {
    if (openHelpOnF1(this, event, QString::fromLatin1(kHelpPage), m_settings)) return;
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Esc is the capture's Stop; without a capture it closes like OK.
        if (m_capturing) m_stop.finish(m_ui);
        else accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CameraDialog::closeEvent(QCloseEvent* event) {
    if (m_capturing) {
        event->ignore();
        m_ui.showMessage(app::loadString(386), app::Icon::Information);
        return;
    }
    QDialog::closeEvent(event);
}

void CameraDialog::done(int result) {
    if (m_capturing) {
        m_ui.showMessage(app::loadString(386), app::Icon::Information);
        return;
    }
    m_watchdog.stop();
    m_statusTimer.stop();
    m_previewTimer.stop();
    m_io->StopGraph();
    m_settings.writeInt("CameraCtrl", m_cameraControl->isChecked() ? 1 : 0);
    m_settings.writeInt("EnableVideoOverlay", m_previewBox->isChecked() ? 1 : 0);
    m_settings.writeInt("UseDvType", m_dvType->currentIndex() == 1 ? 2 : 1);
    storePlacement(*this, m_settings, kPlacementPrefix);
    QDialog::done(result);
}

}  // namespace klemora::gui
