#include "gui/film_strip_view.h"

#include <QPainter>

#include <algorithm>

#include "gui/letterbox.h"
#include "gui/thumbnail_loader.h"
#include "scene/scene_list.h"

namespace klemora::gui {
namespace {

const QColor kAreaGrey(152, 148, 140);
constexpr int kHintPictureWidth = 120;

double aspectOf(bool wide) { return wide ? 16.0 / 9.0 : 4.0 / 3.0; }

}  // namespace

FilmStripView::FilmStripView(ThumbnailLoader& loader, QWidget* parent) : QWidget(parent), m_loader(loader) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(&loader, &ThumbnailLoader::pictureReady, this, [this](const ThumbnailKey& key) {
        if (key.file == m_file && std::find(m_frames.begin(), m_frames.end(), key.frame) != m_frames.end()) update();
    });
    connect(&loader, &ThumbnailLoader::pictureFailed, this, [this](const QString& file, int32_t frame, int code) {
        if (file != m_file) return;
        update();
        emit pictureFailed(file, frame, code);
    });
}

void FilmStripView::setPictureCount(int pictures) {
    m_pictures = std::max(pictures, 0);
    refreshFrames();
    updateGeometry();
}

void FilmStripView::setStripeType(StripeType type) {
    m_type = type;
    refreshFrames();
}

void FilmStripView::showScene(const scene::SceneList& list, int row) {
    if (!list.validIndex(row)) {
        clearScene();
        return;
    }
    m_file = QString::fromStdString(std::string(list.sourceFile(row)));
    m_start = list.startFrame(row);
    m_stop = list.stopFrame(row);
    bool wide = list.wideScreen(row) != 0;
    if (wide != m_wide) {
        m_wide = wide;
        updateGeometry();
    }
    refreshFrames();
}

void FilmStripView::clearScene() {
    m_file.clear();
    m_start = 0;
    m_stop = -1;
    refreshFrames();
}

void FilmStripView::refreshFrames() {
    m_frames = m_stop >= m_start ? stripePictureFrames(m_start, m_stop, m_pictures, m_type) : std::vector<int32_t>{};
    update();
}

const std::vector<int32_t>& FilmStripView::frames() const { return m_frames; }

int FilmStripView::pictureWidth() const { return stripePictureWidth(width(), m_pictures); }

QRect FilmStripView::areaRect(int index) const {
    int w = pictureWidth();
    return {index * (w + kStripePictureGap), 0, w, height()};
}

QRect FilmStripView::pictureRect(int index) const {
    QRect area = areaRect(index);
    Letterbox box = letterboxFor(area.width(), area.height(), m_wide);
    return {area.x() + box.x, area.y() + box.y, box.width, box.height};
}

bool FilmStripView::missing() const {
    for (size_t i = 0; i < m_frames.size(); ++i)
        if (m_loader.failed({m_file, m_frames[i], pictureRect(static_cast<int>(i)).size()})) return true;
    return false;
}

QSize FilmStripView::sizeHint() const {
    int pictures = std::max(m_pictures, 1);
    int width = pictures * kHintPictureWidth + (pictures - 1) * kStripePictureGap;
    return {width, heightForWidth(width)};
}

int FilmStripView::heightForWidth(int width) const {
    return static_cast<int>(stripePictureWidth(width, std::max(m_pictures, 1)) / aspectOf(m_wide) + 0.5);
}

void FilmStripView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_frames.empty() || pictureWidth() < 1) return;
    // What this paint does not ask for again (another scene's pictures) leaves the queue.
    m_loader.startRequestRound();
    for (int i = 0; i < static_cast<int>(m_frames.size()); ++i) {
        painter.fillRect(areaRect(i), kAreaGrey);
        QRect target = pictureRect(i);
        if (target.isEmpty()) continue;
        QImage picture = m_loader.picture({m_file, m_frames[static_cast<size_t>(i)], target.size()}, i);
        if (!picture.isNull()) painter.drawImage(target.topLeft(), picture);
    }
}

}  // namespace klemora::gui
