// The trim dialog's key table. It runs before the focused control sees the
// key, so that Space plays or stops instead of pressing a focused button and
// the letters edit instead of searching the scene box.
#include <QApplication>
#include <QKeyEvent>
#include <QSlider>

#include "gui/frame_display.h"
#include "gui/help_page.h"
#include "gui/trim_dialog.h"

namespace klemora::gui {

bool TrimDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::KeyPress && widget && widget->window() == this &&
        (!QApplication::activeModalWidget() || QApplication::activeModalWidget() == this))
        return handleKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::MouseButtonPress && m_playing == Play::None) {
        if (watched == m_prevPreview) previousScene();
        else if (watched == m_nextPreview) nextScene();
    }
    return QDialog::eventFilter(watched, event);
}

bool TrimDialog::handleKey(const QKeyEvent* key) {
    if (openHelpOnF1(this, key, QStringLiteral("page06.htm"), m_settings)) return true;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    const bool alt = mods == Qt::AltModifier;
    const bool idle = m_playing == Play::None;
    const int code = key->key();

    if (code == Qt::Key_Space) {
        if (!idle) stopPlaying();
        else if (alt) togglePlay(Play::Trimmed);
        else if (mods & Qt::ControlModifier) togglePlay(Play::Scene);
        else togglePlay(Play::All);
        return true;
    }
    if (alt) {
        if (!idle) return code == Qt::Key_Left || code == Qt::Key_Right || code == Qt::Key_I || code == Qt::Key_O;
        switch (code) {
        case Qt::Key_Left: previousScene(); return true;
        case Qt::Key_Right: nextScene(); return true;
        case Qt::Key_I: m_slider->setValue(m_list.startFrame(m_current)); return true;
        case Qt::Key_O: m_slider->setValue(m_list.stopFrame(m_current)); return true;
        default: return false;
        }
    }
    if (!plain) return false;
    switch (code) {
    case Qt::Key_Y: mergePrevious(); return true;
    case Qt::Key_X: mergeNext(); return true;
    case Qt::Key_I: setIn(); return true;
    case Qt::Key_O: setOut(); return true;
    case Qt::Key_F: toggleDone(); return true;
    case Qt::Key_S:
        if (idle) split();
        return true;
    case Qt::Key_Delete:
        if (idle) deleteScene();
        return true;
    default: break;
    }
    if (code >= Qt::Key_1 && code <= Qt::Key_9) {
        const int index = code - Qt::Key_1;
        // While the timer plays, 1 would mean real speed, which the timer cannot do.
        if (idle || (m_speed > 0 && index > 0)) setSpeed(index);
        return true;
    }
    return false;
}

}  // namespace klemora::gui
