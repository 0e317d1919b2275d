#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include "gui/progress_window.h"

namespace klemora::gui {
namespace {

QString toQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QMessageBox::Icon boxIcon(app::Icon icon) {
    switch (icon) {
    case app::Icon::Stop: return QMessageBox::Critical;
    case app::Icon::Information: return QMessageBox::Information;
    case app::Icon::Question: return QMessageBox::Question;
    case app::Icon::Warning: return QMessageBox::Warning;
    case app::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(app::Buttons buttons) {
    switch (buttons) {
    case app::Buttons::Ok: return QMessageBox::Ok;
    case app::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case app::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case app::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Closing the box without a button counts as its way out: Cancel, or No
// where there is no Cancel.
app::Answer answerOf(int button, app::Buttons buttons) {
    switch (button) {
    case QMessageBox::Ok: return app::Answer::Ok;
    case QMessageBox::Yes: return app::Answer::Yes;
    case QMessageBox::No: return app::Answer::No;
    case QMessageBox::Cancel: return app::Answer::Cancel;
    default: break;
    }
    if (buttons == app::Buttons::YesNo) return app::Answer::No;
    return buttons == app::Buttons::Ok ? app::Answer::Ok : app::Answer::Cancel;
}

}  // namespace

QtUserInterface::QtUserInterface(QWidget* owner) : m_owner(owner) {}

QtUserInterface::~QtUserInterface() = default;

bool QtUserInterface::onUserInterfaceThread() const { return QThread::currentThread() == thread(); }

void QtUserInterface::onUserInterfaceThread(const std::function<void()>& call, bool wait) {
    if (onUserInterfaceThread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(this, call, wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

int QtUserInterface::messageBox(std::string_view text, app::Icon icon, int buttons) {
    QString message = toQString(text);
    int clicked = QMessageBox::NoButton;
    onUserInterfaceThread(
        [&] {
            QMessageBox box(boxIcon(icon), QStringLiteral("Klemora"), message,
                            QMessageBox::StandardButtons(buttons), m_owner);
            clicked = box.exec();
        },
        true);
    return clicked;
}

void QtUserInterface::showMessage(std::string_view text, app::Icon icon) { messageBox(text, icon, QMessageBox::Ok); }

app::Answer QtUserInterface::ask(std::string_view text, app::Buttons buttons, app::Icon icon) {
    return answerOf(messageBox(text, icon, boxButtons(buttons).toInt()), buttons);
}

std::string QtUserInterface::chooseDirectory(std::string_view title, std::string_view startFolder) {
    QString caption = toQString(title), start = toQString(startFolder);
    std::string chosen;
    onUserInterfaceThread(
        [&] { chosen = QFileDialog::getExistingDirectory(m_owner, caption, start).toStdString(); }, true);
    return chosen;
}

void QtUserInterface::openProgress() {
    onUserInterfaceThread(
        [this] {
            if (m_progressOpen++ > 0) return;
            m_progress = std::make_unique<ProgressWindow>(m_owner);
            connect(m_progress.get(), &ProgressWindow::stopRequested, this, [this] { requestCancel(); });
            m_progress->setRangeAndPosition(progressMax(), progressPosition());
            m_progress->showOverParent();
        },
        false);
}

void QtUserInterface::closeProgress() {
    onUserInterfaceThread(
        [this] {
            if (m_progressOpen == 0 || --m_progressOpen > 0) return;
            m_progress.reset();
        },
        false);
}

void QtUserInterface::setProgressSource(std::string_view text) {
    onUserInterfaceThread([this, t = toQString(text)] { if (m_progress) m_progress->setSource(t); }, false);
}

void QtUserInterface::setProgressDestination(std::string_view text) {
    onUserInterfaceThread([this, t = toQString(text)] { if (m_progress) m_progress->setDestination(t); }, false);
}

void QtUserInterface::setProgressLine(int line, std::string_view text) {
    onUserInterfaceThread([this, line, t = toQString(text)] { if (m_progress) m_progress->setLine(line, t); },
                          false);
}

// A run sets the position every few frames; one queued update at a time
// is enough, it shows the latest values when it runs.
void QtUserInterface::progressChanged() {
    if (m_barUpdateQueued.exchange(true)) return;
    onUserInterfaceThread(
        [this] {
            m_barUpdateQueued = false;
            if (m_progress) m_progress->setRangeAndPosition(progressMax(), progressPosition());
        },
        false);
}

void QtUserInterface::pump() {
    if (onUserInterfaceThread()) QCoreApplication::processEvents();
}

void QtUserInterface::beep() {
    onUserInterfaceThread([] { QApplication::beep(); }, false);
}

ProgressWindow* QtUserInterface::progressWindow() const { return m_progress.get(); }

}  // namespace klemora::gui
