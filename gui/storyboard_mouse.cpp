// The storyboard's mouse: selection by click, reordering by dragging the
// marked stripes, scrubbing with Ctrl and the left button, the double click
// and the context menu.
#include <QContextMenuEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "gui/scrub_popup.h"
#include "gui/storyboard_view.h"
#include "scene/scene_list.h"

namespace klemora::gui {
namespace {

const QSize kDragPictureSize(32, 26);

bool ctrlHeld(Qt::KeyboardModifiers modifiers) { return modifiers & Qt::ControlModifier; }

}  // namespace

bool StoryboardView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_list) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = stripeAt(help->pos());
        if (row < 0) {
            QToolTip::hideText();
            return true;
        }
        // "name / start / stop" of the stripe under the pointer.
        const QString file = QString::fromStdString(std::string(m_list->sourceFile(row)));
        QToolTip::showText(help->globalPos(),
                           QStringLiteral("%1 / %2 / %3")
                               .arg(file.section(QLatin1Char('/'), -1))
                               .arg(m_list->startFrame(row))
                               .arg(m_list->stopFrame(row)),
                           viewport(), stripeRect(row));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void StoryboardView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    m_pressed = stripeAt(event->position().toPoint());
    m_pressPos = event->position().toPoint();
    m_dragging = false;
    m_scrubbing = m_pressed >= 0 && ctrlHeld(event->modifiers());
    m_scrubShown = false;
}

void StoryboardView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_pressed < 0) return;
    const QPoint pos = event->position().toPoint();
    if (m_scrubbing) {
        if (!ctrlHeld(event->modifiers())) return closeScrub();
        return scrubTo(pos);
    }
    if (!m_dragging) {
        const QPoint moved = pos - m_pressPos;
        if (std::abs(moved.x()) <= kDragThreshold && std::abs(moved.y()) <= kDragThreshold) return;
        startDrag();
    }
    moveDrag(pos);
}

void StoryboardView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    const int pressed = std::exchange(m_pressed, -1);
    if (m_dragging) return finishDrag(pos);
    const bool scrubbed = m_scrubShown;
    closeScrub();
    if (pressed >= 0 && !scrubbed) clickStripe(pressed, event->modifiers());
}

void StoryboardView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int row = stripeAt(event->position().toPoint());
    if (row < 0) return;
    clickStripe(row, Qt::NoModifier);
    emit doubleClicked(row);
}

void StoryboardView::contextMenuEvent(QContextMenuEvent* event) {
    // The commands of the menu work on the marks: a stripe not marked becomes the one.
    const int row = stripeAt(event->pos());  // the viewport's coordinates, as for the mouse
    if (row >= 0 && !m_stripes[row].marked) clickStripe(row, Qt::NoModifier);
    emit contextMenuWanted(event->globalPos());
}

void StoryboardView::clickStripe(int row, Qt::KeyboardModifiers modifiers) {
    const int count = stripeCount();
    if (row < 0 || row >= count) return;
    if (modifiers & Qt::ShiftModifier) {
        // From the nearest marked stripe before it, else after it.
        int from = row;
        for (int i = row - 1; i >= 0 && from == row; --i)
            if (m_stripes[i].marked) from = i;
        for (int i = row + 1; i < count && from == row; ++i)
            if (m_stripes[i].marked) from = i;
        for (int i = std::min(from, row); i <= std::max(from, row); ++i) m_stripes[i].marked = true;
    } else if (ctrlHeld(modifiers)) {
        m_stripes[row].marked = !m_stripes[row].marked;
        m_anchor = row;
    } else {
        for (Stripe& stripe : m_stripes) stripe.marked = false;
        m_stripes[row].marked = true;
        m_anchor = row;
    }
    m_focused = row;
    emitMarks();
}

void StoryboardView::startDrag() {
    m_dragging = true;
    if (!m_stripes[m_pressed].marked) {
        m_stripes[m_pressed].marked = true;
        m_focused = m_pressed;
        emitMarks();
    }
    // A small picture of the pressed stripe (its first picture when it is there).
    QPixmap picture(kDragPictureSize);
    picture.fill(QColor(152, 148, 140));
    const QRect stripe = stripeRect(m_pressed);
    const QPixmap whole = stripe.isEmpty() ? QPixmap() : viewport()->grab(stripe);
    if (!whole.isNull()) {
        QPainter painter(&picture);
        painter.drawPixmap(picture.rect(), whole.scaled(kDragPictureSize, Qt::KeepAspectRatio));
        painter.setPen(QColor(252, 196, 65));
        painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    }
    auto* label = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    label->setAttribute(Qt::WA_ShowWithoutActivating);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setPixmap(picture);
    label->resize(kDragPictureSize);
    m_dragPicture = label;
    label->show();
    viewport()->setCursor(Qt::DragMoveCursor);
}

void StoryboardView::moveDrag(QPoint pos) {
    if (m_dragPicture) m_dragPicture->move(viewport()->mapToGlobal(pos + kDragPictureOffset));
    // Near the top or bottom edge the view scrolls (the bar keeps it in range).
    QScrollBar* bar = verticalScrollBar();
    if (pos.y() < kAutoScrollEdge) bar->setValue(bar->value() - kLineStep);
    else if (pos.y() >= viewport()->height() - kAutoScrollEdge) bar->setValue(bar->value() + kLineStep);
}

void StoryboardView::finishDrag(QPoint pos) {
    m_dragging = false;
    delete std::exchange(m_dragPicture, nullptr);
    viewport()->unsetCursor();
    const int target = stripeAt(pos);
    if (target < 0) return;
    const std::vector<int> rows = markedRows();
    // One stripe dropped on itself stays where it is.
    if (rows.empty() || (rows.size() == 1 && rows.front() == target)) return;
    emit dropRequested(rows, target);
}

void StoryboardView::scrubTo(QPoint pos) {
    if (!m_list || !m_list->validIndex(m_pressed)) return;
    const QRect stripe = stripeRect(m_pressed);
    // The pointer stays on its stripe: outside it, the nearest edge counts.
    const int x = std::clamp(pos.x(), stripe.left(), stripe.right()) - stripe.left();
    const int32_t frame = scrubFrameAt(x, stripe.width(), m_list->startFrame(m_pressed), m_list->stopFrame(m_pressed));
    const QRect global(viewport()->mapToGlobal(stripe.topLeft()), stripe.size());
    m_scrub->showFrame(QString::fromStdString(std::string(m_list->sourceFile(m_pressed))), isWide(m_pressed), frame,
                       global);
    m_scrubShown = true;
}

void StoryboardView::closeScrub() {
    const bool wasShown = m_scrub && m_scrub->isVisible();
    m_scrubbing = false;
    if (m_scrub) m_scrub->hide();
    if (wasShown) m_requestTimer.start();  // the stripes' pictures again
}

}  // namespace klemora::gui
