#include "gui/manual_cut_dialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/dialog_button.h"
#include "gui/frame_display.h"
#include "gui/frame_slider.h"
#include "gui/help_page.h"
#include "gui/saved_placement.h"
#include "gui/text_of.h"
#include "media/media_info.h"
#include "media/picture_export.h"

namespace klemora::gui {
namespace {

constexpr FrameDisplayCodes kDisplayCodes{"KLM-MC-1003", "KLM-MC-1004", true};
const QSize kInitialSize(640, 560);
const std::string kPlacement = "ManCut";

}  // namespace

ManualCutDialog::ManualCutDialog(app::UserInterface& ui, const app::SettingsStore& settings,
                                 media::MediaSettings media, ManualCutScene scene,
                                 std::unique_ptr<AreaPlayer> player, QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_settings(settings),
      m_media(std::move(media)),
      m_scene(std::move(scene)),
      m_player(std::move(player)),
      m_cuts(m_scene.start, m_scene.stop) {
    setWindowTitle(textOf(986));
    setSizeGripEnabled(true);
    buildWidgets();
    resize(kInitialSize);
    setMinimumSize(kInitialSize);
    layout()->activate();  // the video area gets its size before the file is opened for it

    if (m_display->open(m_scene.path) != 1) {
        m_ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: KLM-MC-1001", app::loadString(117).c_str(),
                                           m_scene.path.c_str()),
                         app::Icon::Stop);
    }
    {
        QSignalBlocker quiet(m_slider);
        m_slider->setRange(m_cuts.start(), m_cuts.stop());
        m_slider->setSingleStep(1);
        m_slider->setPageStep(std::max(1, m_settings.readInt("SliderJump", 25)));
        m_slider->setValue(m_cuts.start());
    }
    refreshTicks();
    refreshStatus();
    if (m_display->isOpen()) m_display->requestFrame(m_slider->value());
    restorePlacement(*this, m_settings, kPlacement);

    // The dialog's keys come before the controls' own (Space on a button, Del on the slider).
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

ManualCutDialog::~ManualCutDialog() = default;

void ManualCutDialog::buildWidgets() {
    m_display = new FrameDisplay(m_ui, m_media, kDisplayCodes);
    m_slider = new FrameSlider;
    m_slider->setToolTip(textOf(228));
    m_status = new QLabel;
    m_status->setTextInteractionFlags(Qt::NoTextInteraction);

    auto* buttons = new QHBoxLayout;
    m_setMark = dialogButton(981, 229);
    m_deleteMark = dialogButton(982, 230);
    m_savePicture = dialogButton(983, 233);
    m_play = dialogButton(984, 357);
    m_cancel = dialogButton(887, 231);
    m_ok = dialogButton(888, 232);
    for (QPushButton* button : {m_setMark, m_deleteMark, m_savePicture, m_play}) buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_display, 1);
    layout->addWidget(m_slider);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    connect(m_slider, &QSlider::valueChanged, this, &ManualCutDialog::sliderMoved);
    connect(m_setMark, &QPushButton::clicked, this, &ManualCutDialog::setMark);
    connect(m_deleteMark, &QPushButton::clicked, this, &ManualCutDialog::deleteMark);
    connect(m_savePicture, &QPushButton::clicked, this, &ManualCutDialog::savePicture);
    connect(m_play, &QPushButton::clicked, this, &ManualCutDialog::togglePlay);
    connect(m_cancel, &QPushButton::clicked, this, &ManualCutDialog::reject);
    connect(m_ok, &QPushButton::clicked, this, &ManualCutDialog::accept);
}

QString ManualCutDialog::statusText() const { return m_status->text(); }

void ManualCutDialog::setMark() {
    if (m_cuts.setMark(m_slider->value(), m_ui) == 1) refreshTicks();
    m_slider->setFocus();
}

void ManualCutDialog::deleteMark() {
    if (m_cuts.deleteMark(m_slider->value(), m_ui) == 1) refreshTicks();
}

void ManualCutDialog::togglePlay() {
    if (m_playing) {
        m_player->stop();
        return;
    }
    AreaPlayRequest request{m_scene.path, m_slider->value(), m_cuts.stop(), m_display, m_display->letterboxRect()};
    m_playing = true;
    m_play->setText(textOf(985));
    // The player shows the pictures; the slider and the status line follow it.
    m_player->play(request, [this](int32_t frame) { m_slider->setValue(frame); });
    m_playing = false;
    m_play->setText(textOf(984));
    if (m_closeAfterPlay) return finish(*m_closeAfterPlay);
    if (m_display->isOpen()) m_display->showFrame(m_slider->value());
}

void ManualCutDialog::savePicture() {
    std::string folder = m_ui.chooseDirectory("Directory selection", m_settings.readText("PicturePath", ""));
    if (folder.empty()) return;
    if (folder.size() > 3 && folder.back() != '/') folder += '/';
    m_settings.writeText("PicturePath", folder);
    const int32_t frame = m_slider->value();
    if (media::ExportFramePicture(m_scene.path, folder, m_media, m_ui, std::span(&frame, 1), 0, 0) != 1) {
        m_ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: KLM-MC-1002", app::loadString(117).c_str(),
                                           m_scene.path.c_str()),
                         app::Icon::Stop);
    }
}

void ManualCutDialog::accept() {
    if (m_playing) {
        m_closeAfterPlay = Accepted;
        m_player->stop();
        return;
    }
    finish(Accepted);
}

void ManualCutDialog::reject() {
    if (m_cuts.hasMarks() &&
        m_ui.ask(app::loadString(160), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes)
        return;
    if (m_playing) {
        m_closeAfterPlay = Rejected;
        m_player->stop();
        return;
    }
    finish(Rejected);
}

void ManualCutDialog::finish(int result) {
    m_display->close();
    if (result == Accepted) storePlacement(*this, m_settings, kPlacement);
    QDialog::done(result);
}

bool ManualCutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event))) return true;
    return QDialog::eventFilter(watched, event);
}

bool ManualCutDialog::handleKey(const QKeyEvent* key) {
    if (openHelpOnF1(this, key, QStringLiteral("page05.htm"), m_settings)) return true;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::AltModifier && key->key() == Qt::Key_Left) {
        moveTo(m_cuts.entryBefore(m_slider->value()));
        return true;
    }
    if (modifiers == Qt::AltModifier && key->key() == Qt::Key_Right) {
        moveTo(m_cuts.entryAfter(m_slider->value()));
        return true;
    }
    if (modifiers != Qt::NoModifier) return false;
    switch (key->key()) {
    case Qt::Key_Space: togglePlay(); return true;
    case Qt::Key_S: setMark(); return true;
    case Qt::Key_Delete: deleteMark(); return true;
    default: return false;
    }
}

void ManualCutDialog::sliderMoved(int frame) {
    refreshStatus();
    // While playing the player has the picture on the screen already.
    if (!m_playing && m_display->isOpen()) m_display->requestFrame(frame);
}

void ManualCutDialog::moveTo(int32_t frame) {
    if (frame != m_slider->value()) m_slider->setValue(frame);
}

void ManualCutDialog::refreshTicks() {
    m_slider->setTicks({m_cuts.entries().begin(), m_cuts.entries().end()});
}

void ManualCutDialog::refreshStatus() {
    const media::MediaInfo* info = m_display->info();
    m_status->setText(QString::fromStdString(
        scene::cutStatusText(m_slider->value(), m_cuts.start(), m_cuts.stop(), info ? info->frameRate : 0.0f)));
}

}  // namespace klemora::gui
