#include "gui/preview_panel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QVBoxLayout>
#include <new>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/frame_slider.h"
#include "gui/picture_view.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "media/probe_rules.h"
#include "media/scene_info_text.h"

namespace klemora::gui {

std::string_view scrubbingResultName(ScrubbingResult result) {
    switch (result) {
    case ScrubbingResult::Ok: return "Ok";
    case ScrubbingResult::NotOpened: return "NotOpened";
    case ScrubbingResult::NoBufferSize: return "NoBufferSize";
    case ScrubbingResult::NoMemory: return "NoMemory";
    }
    return "Unknown";
}

PreviewPanel::PreviewPanel(app::UserInterface& ui, media::MediaSettings settings, QWidget* parent)
    : QWidget(parent),
      m_ui(ui),
      m_settings(std::move(settings)),
      m_view(new PictureView),
      m_slider(new FrameSlider),
      m_sliderLine(new QLabel),
      m_info(new QPlainTextEdit) {
    m_slider->setSingleStep(1);
    m_slider->setPageStep(25);
    m_info->setReadOnly(true);
    m_info->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 3);
    layout->addWidget(m_slider);
    layout->addWidget(m_sliderLine);
    layout->addWidget(m_info, 2);
    connect(m_slider, &QSlider::valueChanged, this, [this](int frame) {
        m_sliderLine->setText(QString::fromStdString(media::sliderLineText(m_scene, 0, frame)));
        requestFrame();
    });
    connect(m_view, &PictureView::resized, this, &PreviewPanel::requestFrame);
    connect(m_view, &PictureView::painted, this, &PreviewPanel::pictureShown);
    clearScene();
}

PreviewPanel::~PreviewPanel() = default;

void PreviewPanel::showScene(const scene::SceneList& list, int row) {
    clearScene();
    const scene::SceneRecord* record = list.record(row);
    if (!record) return;
    m_scene.AddNewScene();
    m_scene.replaceRecord(0, record);
    std::string path(list.sourceFile(row));
    m_grabFailureShown = false;
    ScrubbingResult opened = openSource(path);
    if (opened != ScrubbingResult::Ok) {
        m_scene = scene::SceneList();
        m_ui.showMessage(app::stringPrintf("%s InitVideoScrubbing()!\nCode: %d", app::loadString(113).c_str(),
                                           static_cast<int>(opened)),
                         app::Icon::Stop);
        return;
    }
    m_haveScene = true;
    m_view->setWideScreen(media::wideScreenFor(m_settings.fixRatio, list.wideScreen(row) != 0));
    {
        QSignalBlocker quiet(m_slider);
        m_slider->setRange(list.startFrame(row), std::max(list.startFrame(row), list.stopFrame(row)));
        m_slider->setValue(list.startFrame(row));
        m_slider->setEnabled(true);
    }
    m_sliderLine->setText(QString::fromStdString(media::sliderLineText(m_scene, 0, m_slider->value())));
    m_info->setPlainText(QString::fromStdString(media::sceneInfoText(m_scene, 0, *m_source)));
    requestFrame();
}

void PreviewPanel::clearScene() {
    m_haveScene = false;
    m_scene = scene::SceneList();
    m_announce = -1;
    m_view->setPicture({});
    m_sliderLine->clear();
    m_info->clear();
    QSignalBlocker quiet(m_slider);
    m_slider->setRange(0, 0);
    m_slider->setEnabled(false);
}

void PreviewPanel::stepFrames(int jumps) {
    if (m_haveScene) m_slider->setValue(m_slider->value() + jumps * m_slider->pageStep());
}

void PreviewPanel::setSliderJump(int frames) { m_slider->setPageStep(std::max(1, frames)); }

void PreviewPanel::setInfoVisible(bool visible) { m_info->setVisible(visible); }

QString PreviewPanel::sliderLine() const { return m_sliderLine->text(); }

QString PreviewPanel::infoText() const { return m_info->toPlainText(); }

int PreviewPanel::currentFrame() const { return m_haveScene ? m_slider->value() : -1; }

const QImage& PreviewPanel::picture() const { return m_view->picture(); }

ScrubbingResult PreviewPanel::openSource(const std::string& path) {
    if (m_source && m_source->probed && m_source->fileName == path) return ScrubbingResult::Ok;
    m_source.reset();
    auto source = std::make_unique<media::MediaInfo>(m_settings.fixRatio, m_settings.log);
    // The probe's own boxes were shown when the file was added; here only
    // the one scrubbing message is wanted.
    app::SilentUserInterface quiet;
    if (media::ProbeMedia(path, *source, quiet) != 1) return ScrubbingResult::NotOpened;
    if (media::GetPictureBufferSize(0, 0, *source) < 1) return ScrubbingResult::NoBufferSize;
    m_source = std::move(source);
    return ScrubbingResult::Ok;
}

void PreviewPanel::requestFrame() {
    if (!m_haveScene || m_grabQueued) return;
    // Moves that arrive before the grab runs only change the slider; the
    // grab then takes the newest position.
    m_grabQueued = true;
    QMetaObject::invokeMethod(this, &PreviewPanel::grabRequested, Qt::QueuedConnection);
}

void PreviewPanel::grabRequested() {
    m_grabQueued = false;
    if (!m_haveScene || !m_source) return;
    if (grabFrame(m_slider->value())) return;
    m_announce = -1;
    m_view->setPicture({});
}

bool PreviewPanel::grabFrame(int frame) {
    // At the painted size: the scaler does aspect and size in one pass and
    // the paint is a plain copy.
    QSize size = m_view->pictureRect().size();
    int32_t width = size.width(), height = size.height();
    int32_t bytes = media::GetPictureBufferSize(width, height, *m_source);
    if (bytes < 1) {
        showGrabFailure(static_cast<int>(ScrubbingResult::NoBufferSize));
        return false;
    }
    try {
        m_buffer.resize(static_cast<size_t>(bytes));
    } catch (const std::bad_alloc&) {
        showGrabFailure(static_cast<int>(ScrubbingResult::NoMemory));
        return false;
    }
    app::SilentUserInterface quiet;  // the grabber's own box would come at every move
    int code = media::GrabFrame(*m_source, frame, m_buffer, width, height, quiet);
    QImage image = code == 1 ? imageFromDib(m_buffer) : QImage();
    if (image.isNull()) {
        showGrabFailure(code == 1 ? static_cast<int>(ScrubbingResult::NoBufferSize) : code);
        return false;
    }
    m_announce = frame;
    m_view->setPicture(std::move(image));
    return true;
}

void PreviewPanel::showGrabFailure(int code) {
    if (m_grabFailureShown) return;
    m_grabFailureShown = true;
    m_ui.showMessage(app::stringPrintf("%s DrawVideoScrubbingFrame()!\nFile: %s\nCode: %d",
                                       app::loadString(113).c_str(), m_source->fileName.c_str(), code),
                     app::Icon::Stop);
}

void PreviewPanel::pictureShown() {
    if (m_announce < 0) return;
    int frame = m_announce;
    m_announce = -1;
    emit frameShown(frame);
}

}  // namespace klemora::gui
