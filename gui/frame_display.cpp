#include "gui/frame_display.h"

#include <QPainter>
#include <new>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/picture_view.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"

namespace klemora::gui {
namespace {

const QColor kAreaGrey(152, 148, 140);
constexpr size_t kScalerSlack = 4096;

}  // namespace

FrameDisplay::FrameDisplay(app::UserInterface& ui, media::MediaSettings settings, FrameDisplayCodes codes,
                           QWidget* parent)
    : QWidget(parent), m_ui(ui), m_settings(std::move(settings)), m_codes(codes) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // grey and picture cover every pixel
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(64, 48);
}

FrameDisplay::~FrameDisplay() = default;

int FrameDisplay::open(const std::string& path) {
    close();
    if (width() < 1 || height() < 1) return -1;
    auto info = std::make_unique<media::MediaInfo>(m_settings.fixRatio, m_settings.log);
    // The probe's own boxes came when the file was added; the dialog shows one message.
    app::SilentUserInterface quiet;
    if (media::ProbeMedia(path, *info, quiet) != 1) return -2;
    media::GetExtraData(*info, false, quiet);  // the 16:9 flag and the frames the file holds
    m_info = std::move(info);
    m_path = path;
    int prepared = prepareBuffer();
    if (prepared != 1) close();
    update();
    return prepared;
}

void FrameDisplay::reportOpenFailure(int code, const std::string& path) {
    if (code == -2) {
        m_ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(), code),
                         app::Icon::Stop);
    } else if (code == -3) {
        m_path = path;  // the message names it
        showFetchFailure(m_codes.noBufferSize);
        m_path.clear();
    } else if (code == -4) {
        m_ui.showMessage(app::loadString(109), app::Icon::Stop);
    }
}

void FrameDisplay::close() {
    m_info.reset();
    m_path.clear();
    m_box = {};
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_picture = {};
    m_frame = -1;
    m_announce = -1;
    m_fetchFailureShown = false;
    update();
}

bool FrameDisplay::isOpen() const { return m_info != nullptr; }

const std::string& FrameDisplay::openPath() const { return m_path; }

const media::MediaInfo* FrameDisplay::info() const { return m_info.get(); }

int FrameDisplay::prepareBuffer() {
    m_box = letterboxFor(width(), height(), m_info->wideScreen != 0);
    if (m_box.width < 1 || m_box.height < 1) return -1;
    int32_t bytes = media::GetPictureBufferSize(m_box.width, m_box.height, *m_info);
    if (bytes < 1) return -3;
    try {
        // Room past the picture: the scaler may write a little beyond a row of an odd width.
        m_buffer.assign(static_cast<size_t>(bytes) + kScalerSlack, 0);
    } catch (const std::bad_alloc&) {
        return -4;
    }
    return 1;
}

int FrameDisplay::showFrame(int32_t frame) {
    if (frame == kClearFrame) {
        m_picture = {};
        m_frame = -1;
        m_announce = -1;
        update();
        return 1;
    }
    if (!m_info) return -1;
    if (frame < 0 || frame > m_info->frameCount - 1) {
        m_ui.showMessage(app::stringPrintf("%s\nCode 1: %d->%d\nCode 2: %d", app::loadString(164).c_str(), 0,
                                           m_info->frameCount - 1, frame),
                         app::Icon::Stop);
        return -1;
    }
    app::SilentUserInterface quiet;  // the grabber's own box would come at every move
    int code = media::GrabFrame(*m_info, frame, m_buffer, m_box.width, m_box.height, quiet);
    QImage image = code == 1 ? imageFromDib(m_buffer) : QImage();
    if (image.isNull()) {
        showFetchFailure(m_codes.fetchFailed);
        return code == 1 ? -1 : code;
    }
    m_picture = std::move(image);
    m_frame = frame;
    m_announce = frame;
    update();
    return 1;
}

void FrameDisplay::requestFrame(int32_t frame) {
    m_requested = frame;
    if (m_requestQueued) return;
    // Requests that arrive before the fetch runs only change m_requested;
    // the fetch then takes the newest.
    m_requestQueued = true;
    QMetaObject::invokeMethod(this, &FrameDisplay::serveRequest, Qt::QueuedConnection);
}

void FrameDisplay::serveRequest() {
    m_requestQueued = false;
    showFrame(m_requested);
}

int32_t FrameDisplay::frameShown() const { return m_frame; }

const QImage& FrameDisplay::picture() const { return m_picture; }

QRect FrameDisplay::letterboxRect() const { return {m_box.x, m_box.y, m_box.width, m_box.height}; }

void FrameDisplay::showFetchFailure(const char* code) {
    if (m_fetchFailureShown) return;
    m_fetchFailureShown = true;
    const std::string& text = app::loadString(117);
    m_ui.showMessage(m_codes.namesFile
                         ? app::stringPrintf("%s\nFile: %s\nCode: %s", text.c_str(), m_path.c_str(), code)
                         : app::stringPrintf("%s\nCode: %s", text.c_str(), code),
                     app::Icon::Stop);
}

void FrameDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kAreaGrey);
    if (!m_picture.isNull()) {
        QRect target = letterboxRect();
        // Fetched at this size as a rule; one painted before a resize is scaled once.
        if (target.size() != m_picture.size()) painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_picture);
    }
    if (m_announce < 0) return;
    int32_t frame = m_announce;
    m_announce = -1;
    emit framePainted(frame);
}

void FrameDisplay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_info) return;
    int prepared = prepareBuffer();
    if (prepared != 1) {
        std::string path = m_path;
        close();
        m_ui.showMessage(app::stringPrintf("%s InitVideoScrubbing()!\nFile: %s\nCode: %d",
                                           app::loadString(113).c_str(), path.c_str(), prepared),
                         app::Icon::Stop);
        return;
    }
    if (m_frame >= 0) requestFrame(m_frame);
}

}  // namespace klemora::gui
