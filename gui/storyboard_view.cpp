#include "gui/storyboard_view.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/letterbox.h"
#include "gui/scrub_popup.h"
#include "scene/scene_list.h"

namespace klemora::gui {
namespace {

const QColor kStripeGrey(152, 148, 140);
// The four pens: normal, marked, focused, and the normal one again for a
// stripe whose source cannot be read (it stays grey all over).
const QColor kNormalPen(152, 148, 140);
const QColor kMarkedPen(252, 196, 65);
const QColor kFocusedPen(252, 45, 45);
const QColor kMissingPen(152, 148, 140);
const QColor kBackground(212, 208, 200);  // light grey between the stripes

constexpr qint64 kFinishedCacheKiB = 96 * 1024;
constexpr int kScreensAround = 2;  // asked for after the visible stripes
constexpr qint64 kProgressAfterMs = 1000;

}  // namespace

QString stripePictureFailureText(const QString& file, int32_t frame, int code) {
    const std::string path = file.toStdString();
    if (frame >= 0)
        return QString::fromStdString(
            app::stringPrintf("%s\nCode 1: KLM1403\nCode 2: %d", app::loadString(117).c_str(), frame));
    return QString::fromStdString(
        app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(), code));
}

StoryboardView::StoryboardView(ThumbnailLoader& loader, app::UserInterface& ui, QWidget* parent)
    : QAbstractScrollArea(parent), m_loader(loader), m_ui(ui), m_finished(kFinishedCacheKiB) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(false);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(kLineStep);
    m_resizeTimer.setSingleShot(true);
    m_resizeTimer.setInterval(kResizeDelayMs);
    connect(&m_resizeTimer, &QTimer::timeout, this, [this] { relayout(); });
    m_requestTimer.setSingleShot(true);
    m_requestTimer.setInterval(0);
    connect(&m_requestTimer, &QTimer::timeout, this, [this] { requestVisiblePictures(); });
    connect(&m_loader, &ThumbnailLoader::pictureReady, this, &StoryboardView::onPictureReady);
    connect(&m_loader, &ThumbnailLoader::pictureFailed, this, &StoryboardView::onPictureFailed);
    m_scrub = new ScrubPopup(m_loader, this);
}

StoryboardView::~StoryboardView() = default;

void StoryboardView::setList(const scene::SceneList* list) {
    m_list = list;
    rebuild();
}

void StoryboardView::rebuild() {
    closeScrub();
    m_dragging = false;
    m_pressed = -1;
    const int rows = rowCount();
    std::vector<Stripe> stripes(static_cast<size_t>(rows));
    for (int i = 0; i < rows && i < static_cast<int>(m_stripes.size()); ++i) stripes[i].marked = m_stripes[i].marked;
    m_stripes = std::move(stripes);
    if (m_focused >= rows) m_focused = rows - 1;
    if (m_anchor >= rows) m_anchor = -1;
    relayout();
}

void StoryboardView::setPictureCount(int pictures) {
    m_pictures = std::clamp(pictures, 1, 9);
    relayout();
}

void StoryboardView::setStripeWidth(int pixels) {
    m_widthSetting = std::max(0, pixels);
    relayout();
}

void StoryboardView::setMargin(int pixels) {
    m_margin = std::clamp(pixels, 0, kMaxStripeMargin);
    relayout();
}

void StoryboardView::setStripeType(StripeType type) {
    m_type = type;
    relayout();
}

void StoryboardView::forgetFailures() {
    m_loader.forgetFailures();
    m_reportedFiles.clear();
}

int StoryboardView::rowCount() const { return m_list ? m_list->count() : 0; }
int StoryboardView::stripeCount() const { return static_cast<int>(m_stripes.size()); }
bool StoryboardView::isWide(int row) const { return m_list && m_list->wideScreen(row) != 0; }

void StoryboardView::relayout() {
    m_finished.clear();
    const int width = viewport()->width();
    m_geometry = stripeGeometry(m_widthSetting, width, m_pictures, false);
    const int wideHeight = stripeGeometry(m_widthSetting, width, m_pictures, true).stripeHeight;
    const int perRow = m_geometry.stripesPerRow;
    const int count = stripeCount();
    m_rowTop.assign(1, 0);
    // Arithmetic only, but 2000 scenes on a slow machine may still take a while.
    QElapsedTimer clock;
    clock.start();
    bool progressShown = false;
    int rowHeight = 0;
    for (int i = 0; i < count; ++i) {
        m_stripes[i].height = isWide(i) ? wideHeight : m_geometry.stripeHeight;
        rowHeight = std::max(rowHeight, m_stripes[i].height);
        if ((i + 1) % perRow == 0 || i + 1 == count) {
            m_rowTop.push_back(m_rowTop.back() + rowHeight);
            rowHeight = 0;
        }
        if (!progressShown && clock.elapsed() > kProgressAfterMs) {
            progressShown = true;
            m_ui.openProgress();
            m_ui.setProgressSource(app::loadString(411));
        }
        if (progressShown && i % 50 == 0) {
            m_ui.setProgressLine(1, app::stringPrintf("%s %d %s %d. %s", app::loadString(341).c_str(), i + 1,
                                                      app::loadString(156).c_str(), count,
                                                      app::loadString(396).c_str()));
            m_ui.pump();
        }
    }
    if (progressShown) m_ui.closeProgress();
    updateScrollRange();
    viewport()->update();
    m_requestTimer.start();
}

void StoryboardView::updateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const int page = viewport()->height();
    bar->setPageStep(page);
    // setRange pulls a position beyond the new end back into it.
    bar->setRange(0, std::max(0, m_rowTop.back() - page));
}

void StoryboardView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    verticalScrollBar()->setPageStep(viewport()->height());
    // The new layout once the size stops changing.
    m_resizeTimer.start();
}

void StoryboardView::scrollContentsBy(int, int) {
    viewport()->update();
    m_requestTimer.start();
}

QRect StoryboardView::stripeRect(int row) const {
    if (row < 0 || row >= stripeCount()) return {};
    const int perRow = m_geometry.stripesPerRow;
    const int line = row / perRow;
    const int top = m_rowTop[static_cast<size_t>(line)] - verticalScrollBar()->value();
    return QRect((row % perRow) * m_geometry.stripeWidth, top, m_geometry.stripeWidth, m_stripes[row].height);
}

int StoryboardView::stripeAt(QPoint pos) const {
    if (pos.x() < 0 || stripeCount() == 0) return -1;
    const int y = pos.y() + verticalScrollBar()->value();
    auto after = std::upper_bound(m_rowTop.begin(), m_rowTop.end(), y);
    if (after == m_rowTop.begin() || after == m_rowTop.end()) return -1;
    const int line = static_cast<int>(after - m_rowTop.begin()) - 1;
    const int column = pos.x() / std::max(1, m_geometry.stripeWidth);
    if (column >= m_geometry.stripesPerRow) return -1;
    const int row = line * m_geometry.stripesPerRow + column;
    if (row >= stripeCount() || !stripeRect(row).contains(pos)) return -1;
    return row;
}

int StoryboardView::firstStripeAtY(int y) const {
    if (stripeCount() == 0) return 0;
    const int content = y + verticalScrollBar()->value();
    auto after = std::upper_bound(m_rowTop.begin(), m_rowTop.end(), content);
    const int lines = static_cast<int>(m_rowTop.size()) - 1;
    const int line = std::clamp(static_cast<int>(after - m_rowTop.begin()) - 1, 0, lines - 1);
    return line * m_geometry.stripesPerRow;
}

std::vector<int32_t> StoryboardView::pictureFrames(int row) const {
    if (!m_list || !m_list->validIndex(row)) return {};
    // A scene without a proper range shows its start frame, never frames before it.
    const int32_t start = std::max(0, m_list->startFrame(row));
    return stripePictureFrames(start, std::max(start, m_list->stopFrame(row)), m_pictures, m_type);
}

QRect StoryboardView::pictureRect(int row, int i) const {
    const QRect stripe = stripeRect(row);
    if (stripe.isEmpty()) return {};
    const int inset = kStripeBorder + m_margin;
    const QRect inner = stripe.adjusted(inset, inset, -inset, -inset);
    const int width = stripePictureWidth(inner.width(), m_pictures);
    const Letterbox box = letterboxFor(width, inner.height(), isWide(row));
    return QRect(inner.left() + i * (width + kStripePictureGap) + box.x, inner.top() + box.y, box.width,
                 box.height);
}

QSize StoryboardView::pictureSize(int row) const { return pictureRect(row, 0).size(); }

ThumbnailKey StoryboardView::pictureKey(int row, int32_t frame) const {
    return {QString::fromStdString(std::string(m_list->sourceFile(row))), frame, pictureSize(row)};
}

void StoryboardView::requestVisiblePictures() {
    if (stripeCount() == 0 || !isVisible()) return;
    m_loader.startRequestRound();
    const int first = firstStripeAtY(0);
    const int last = std::min(stripeCount() - 1,
                              firstStripeAtY(std::max(1, viewport()->height()) - 1) + m_geometry.stripesPerRow - 1);
    const int perScreen = std::max(1, last - first + 1);
    // The visible stripes first, then alternately below and above them.
    auto ask = [this](int row, int priority) {
        if (row < 0 || row >= stripeCount() || m_finished.contains(row) || pictureSize(row).isEmpty()) return;
        for (int32_t frame : pictureFrames(row)) m_loader.picture(pictureKey(row, frame), priority);
    };
    for (int row = first; row <= last; ++row) ask(row, row - first);
    for (int step = 1; step <= perScreen * kScreensAround; ++step) {
        ask(last + step, perScreen + 2 * step);
        ask(first - step, perScreen + 2 * step + 1);
    }
}

void StoryboardView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBackground);
    for (int row = firstStripeAtY(event->rect().top()); row < stripeCount(); ++row) {
        const QRect rect = stripeRect(row);
        if (rect.top() > event->rect().bottom()) break;
        if (rect.intersects(event->rect())) paintStripe(painter, row, rect);
    }
}

void StoryboardView::paintStripe(QPainter& painter, int row, const QRect& rect) {
    if (const QPixmap* finished = m_finished.object(row)) {
        painter.drawPixmap(rect.topLeft(), *finished);
    } else {
        QPixmap stripe(rect.size());
        QPainter inner(&stripe);
        inner.fillRect(stripe.rect(), kStripeGrey);
        if (drawPictures(inner, row, rect)) {
            inner.end();
            const int kib = std::max(1, static_cast<int>(stripe.width() * stripe.height() * 4 / 1024));
            m_finished.insert(row, new QPixmap(stripe), kib);
        } else {
            inner.end();
        }
        painter.drawPixmap(rect.topLeft(), stripe);
    }
    const bool focused = row == m_focused;
    const bool marked = m_stripes[row].marked;
    const QColor pen = focused ? kFocusedPen : marked ? kMarkedPen : kNormalPen;
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    // A marked or focused stripe also colours its margin, so that the mark shows.
    const int band = std::min(m_margin, 3);
    if ((focused || marked) && band > 0) {
        const QRect inside = rect.adjusted(1, 1, -1, -1);
        QPen wide(pen, band);
        wide.setJoinStyle(Qt::MiterJoin);
        painter.setPen(wide);
        painter.drawRect(QRectF(inside).adjusted(band / 2.0, band / 2.0, -band / 2.0, -band / 2.0));
    }
}

// Draws what the loader has; true when nothing more will come for this stripe.
bool StoryboardView::drawPictures(QPainter& painter, int row, const QRect& rect) {
    if (pictureSize(row).isEmpty()) return true;
    const std::vector<int32_t> frames = pictureFrames(row);
    bool complete = true;
    for (size_t i = 0; i < frames.size(); ++i) {
        const ThumbnailKey key = pictureKey(row, frames[i]);
        const QImage picture = m_loader.picture(key, 0);
        if (picture.isNull()) {
            if (!m_loader.failed(key)) complete = false;
            continue;
        }
        painter.drawImage(pictureRect(row, static_cast<int>(i)).translated(-rect.topLeft()), picture);
    }
    return complete;
}

void StoryboardView::onPictureReady(const ThumbnailKey& key) {
    if (!m_list) return;
    for (int row = firstStripeAtY(0); row < stripeCount(); ++row) {
        const QRect rect = stripeRect(row);
        if (rect.top() > viewport()->height()) break;
        if (m_finished.contains(row) || rect.bottom() < 0 || pictureSize(row) != key.size) continue;
        if (m_list->sourceFile(row) == key.file.toStdString()) viewport()->update(rect);
    }
}

void StoryboardView::onPictureFailed(const QString& file, int32_t frame, int code) {
    // Hidden, the view leaves the message to the film strip's window;
    // entering the storyboard tries every file again.
    if (!isVisible() || m_reportedFiles.contains(file)) return;
    m_reportedFiles.insert(file);
    viewport()->update();
    reportFailure(stripePictureFailureText(file, frame, code));
}

void StoryboardView::reportFailure(const QString& text) {
    m_pendingFailures << text;
    if (!m_showingFailure) QTimer::singleShot(0, this, [this] { showNextFailure(); });
}

void StoryboardView::showNextFailure() {
    if (m_showingFailure) return;
    m_showingFailure = true;
    while (!m_pendingFailures.isEmpty()) m_ui.showMessage(m_pendingFailures.takeFirst().toStdString(), app::Icon::Stop);
    m_showingFailure = false;
}

void StoryboardView::setMarkedRows(const std::vector<int>& rows) {
    for (Stripe& stripe : m_stripes) stripe.marked = false;
    for (int row : rows)
        if (row >= 0 && row < stripeCount()) m_stripes[row].marked = true;
    if (m_focused < 0 || m_focused >= stripeCount() || !m_stripes[m_focused].marked)
        m_focused = rows.empty() ? std::min(m_focused, stripeCount() - 1) : rows.front();
    viewport()->update();
}

std::vector<int> StoryboardView::markedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < stripeCount(); ++i)
        if (m_stripes[i].marked) rows.push_back(i);
    return rows;
}

void StoryboardView::emitMarks() {
    viewport()->update();
    emit marksChanged(markedRows(), m_focused);
}

void StoryboardView::ensureVisible(int row) {
    const QRect rect = stripeRect(row);
    if (rect.isEmpty()) return;
    QScrollBar* bar = verticalScrollBar();
    if (rect.top() < 0) bar->setValue(bar->value() + rect.top());
    else if (rect.bottom() >= viewport()->height()) bar->setValue(bar->value() + rect.bottom() - viewport()->height() + 1);
}

bool StoryboardView::navigate(int key, Qt::KeyboardModifiers modifiers) {
    const int count = stripeCount();
    if (count == 0) return false;
    const int perRow = m_geometry.stripesPerRow;
    const int rowsPerPage = std::max(1, viewport()->height() / std::max(1, m_geometry.stripeHeight));
    const int from = m_focused < 0 ? 0 : m_focused;
    int to = from;
    switch (key) {
    case Qt::Key_Left: to = from - 1; break;
    case Qt::Key_Right: to = from + 1; break;
    case Qt::Key_Up: to = from - perRow; break;
    case Qt::Key_Down: to = from + perRow; break;
    case Qt::Key_PageUp: to = from - perRow * rowsPerPage; break;
    case Qt::Key_PageDown: to = from + perRow * rowsPerPage; break;
    case Qt::Key_Home: to = 0; break;
    case Qt::Key_End: to = count - 1; break;
    default: return false;
    }
    to = std::clamp(to, 0, count - 1);
    if (modifiers & Qt::ShiftModifier) {
        if (m_anchor < 0) m_anchor = from;
        for (int i = 0; i < count; ++i) m_stripes[i].marked = i >= std::min(m_anchor, to) && i <= std::max(m_anchor, to);
    } else {
        m_anchor = to;
        for (int i = 0; i < count; ++i) m_stripes[i].marked = i == to;
    }
    m_focused = to;
    ensureVisible(to);
    emitMarks();
    return true;
}

void StoryboardView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((mods & ~Qt::ShiftModifier) == Qt::NoModifier && navigate(event->key(), mods)) return event->accept();
    QAbstractScrollArea::keyPressEvent(event);
}

void StoryboardView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control) closeScrub();
    QAbstractScrollArea::keyReleaseEvent(event);
}

}  // namespace klemora::gui
