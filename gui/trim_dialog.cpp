// The trim dialog's controls, what they show of the working list and the
// edits they make; playback and the key table are in their own files.
#include "gui/trim_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>
#include <array>

#include "app/general_settings.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "app/user_locale.h"
#include "gui/area_player.h"
#include "gui/frame_display.h"
#include "gui/frame_slider.h"
#include "gui/saved_placement.h"
#include "gui/text_of.h"
#include "gui/trim_bar.h"
#include "media/picture_export.h"
#include "scene/selection.h"
#include "scene/time_text.h"

namespace klemora::gui {
namespace {

constexpr FrameDisplayCodes kVideoCodes{"KLM-TD-1005", "KLM-TD-1006", false};
constexpr FrameDisplayCodes kPreviewCodes{"KLM-TD-1003", "KLM-TD-1004", false};
constexpr const char* kPlacement = "Trim";  // "TrimMax", "TrimX1" .. "TrimY2"
const QSize kPreviewSize(160, 120);
const QString kNoDuration(20, QLatin1Char(' '));

QString qtext(const std::string& text) { return QString::fromStdString(text); }

// The status line in its longest form (past OUT, five-digit frame numbers),
// for room enough that it is never cut off.
std::string widestStatusLine() {
    constexpr int32_t kLength = 99999;
    scene::SceneList sample;
    const int i = sample.AddNewScene();
    sample.setStopFrame(i, kLength - 1);
    sample.setFramesPerSecond(i, 25);
    return scene::trimStatusLine(sample, i, 2 * kLength - 1);
}

QPushButton* makeButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& caption, int tooltip) {
    auto* button = new QPushButton(parent);
    if (icon != QStyle::SP_CustomBase) button->setIcon(parent->style()->standardIcon(icon));
    button->setText(caption);
    button->setToolTip(textOf(tooltip));
    button->setAutoDefault(false);  // Enter and Space belong to the key table, not to a button
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& caption, int tooltip) {
    auto* box = new QCheckBox(caption, parent);
    if (tooltip > 0) box->setToolTip(textOf(tooltip));
    return box;
}

// A preview with its duration, its check box and its merge button; the
// stretch above and below moves them by half a height change.
QVBoxLayout* sideColumn(QWidget* preview, QLabel* label, QCheckBox* box, QPushButton* merge) {
    auto* column = new QVBoxLayout;
    column->addStretch(1);
    for (QWidget* w : std::array<QWidget*, 4>{preview, label, box, merge}) column->addWidget(w);
    column->addStretch(1);
    return column;
}

}  // namespace

TrimDialog::TrimDialog(app::UserInterface& ui, const app::SettingsStore& settings, media::MediaSettings media,
                       std::unique_ptr<AreaPlayer> player, const scene::SceneList& list, int current, Mode mode,
                       QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_settings(settings),
      m_media(std::move(media)),
      m_player(std::move(player)),
      m_mode(mode) {
    if (m_list.copyFrom(list) != 1) scene::showOutOfMemory(m_ui);
    m_list.setModified(false);
    chooseFolder = [this](const std::string& title, const std::string& start) {
        return m_ui.chooseDirectory(title, start);
    };
    setWindowTitle(textOf(966));
    setWindowIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    m_sliderJump = app::readGeneralSettings(m_settings, app::userDefaultLanguageId()).sliderJump;
    buildControls();
    layoutControls();
    connectControls();
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { timerTick(); });

    m_slider->setSingleStep(1);
    m_slider->setPageStep(m_sliderJump);
    if (m_list.count() == 0) {
        m_slider->setRange(0, 0);
        m_status->clear();
    } else {
        rebuildSceneBox();
        m_current = m_list.validIndex(current) ? current : 0;
        openDisplayFor(m_current, DisplayMessage::Opening);
        showCurrent(m_list.startFrame(m_current));
    }
    refreshNeighbourControls();
    setSpeed(std::clamp(m_settings.readInt("PlaySpeed", 0), 0, 9));
    m_prevEnabled->setChecked(m_settings.readInt("EnablePrevAvi", 1) != 0);
    m_nextEnabled->setChecked(m_settings.readInt("EnableNextAvi", 1) != 0);
    m_signalTone->setChecked(m_settings.readInt("CtrlSound", 0) != 0);
    refreshPreviews();
    qApp->installEventFilter(this);  // the key table comes before the focused control
    const QSize initialSize = sizeHint();  // the smallest the dialog may become
    setMinimumSize(initialSize);
    resize(initialSize);
    gui::restorePlacement(*this, m_settings, kPlacement);
}

TrimDialog::~TrimDialog() {
    qApp->removeEventFilter(this);
    m_timer.stop();
    storePlaySettings();
}

void TrimDialog::buildControls() {
    m_video = new FrameDisplay(m_ui, m_media, kVideoCodes, this);
    m_video->setMinimumSize(320, 240);
    m_prevPreview = new FrameDisplay(m_ui, m_media, kPreviewCodes, this);
    m_nextPreview = new FrameDisplay(m_ui, m_media, kPreviewCodes, this);
    // A click on a preview acts like the previous/next button (the dialog's event filter).
    for (FrameDisplay* preview : {m_prevPreview, m_nextPreview}) preview->setFixedSize(kPreviewSize);
    m_prevLength = new QLabel(kNoDuration, this);
    m_nextLength = new QLabel(kNoDuration, this);
    m_prevEnabled = makeCheckBox(this, textOf(967), 277);
    m_nextEnabled = makeCheckBox(this, textOf(967), 278);
    m_mergePrev = makeButton(this, QStyle::SP_CustomBase, QStringLiteral("+"), 371);
    m_mergeNext = makeButton(this, QStyle::SP_CustomBase, QStringLiteral("+"), 372);

    m_slider = new FrameSlider(this);  // Bild-ab forward, as in every frame slider
    m_slider->setToolTip(textOf(228));
    m_bar = new TrimBar(this);
    m_status = new QLabel(this);
    m_status->setMinimumWidth(m_status->fontMetrics().horizontalAdvance(qtext(widestStatusLine())) + 8);

    m_in = makeButton(this, QStyle::SP_MediaSkipBackward, textOf(970), 273);
    m_out = makeButton(this, QStyle::SP_MediaSkipForward, textOf(971), 274);
    m_split = makeButton(this, QStyle::SP_DialogResetButton, {}, 358);
    m_delete = makeButton(this, QStyle::SP_TrashIcon, {}, 327);
    m_prevScene = makeButton(this, QStyle::SP_ArrowLeft, {}, 279);
    m_nextScene = makeButton(this, QStyle::SP_ArrowRight, {}, 280);
    m_sceneBox = new QComboBox(this);
    m_sceneBox->setToolTip(textOf(276));
    m_sceneBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_sceneBox->setMinimumContentsLength(40);

    m_playScene = makeButton(this, QStyle::SP_MediaPlay, {}, 357);
    // The same bitmap as play scene; the caption tells the trimmed range apart.
    m_playTrimmed = makeButton(this, QStyle::SP_MediaPlay, textOf(970) + QLatin1Char('-') + textOf(971), 368);
    m_playAll = makeButton(this, QStyle::SP_MediaSeekForward, {}, 281);
    m_speedBox = new QComboBox(this);
    m_speedBox->setToolTip(textOf(282));
    for (int i = 1; i <= 10; ++i) m_speedBox->addItem(QStringLiteral("%1x").arg(i));
    m_signalTone = makeCheckBox(this, textOf(968), 369);
    m_savePicture = makeButton(this, QStyle::SP_DialogSaveButton, {}, 233);
    m_done = makeCheckBox(this, textOf(969), 0);
    m_ok = makeButton(this, QStyle::SP_DialogOkButton, textOf(888), 232);
    m_cancel = makeButton(this, QStyle::SP_DialogCancelButton, textOf(887), 231);
}

void TrimDialog::layoutControls() {
    QVBoxLayout* previousColumn = sideColumn(m_prevPreview, m_prevLength, m_prevEnabled, m_mergePrev);
    QVBoxLayout* nextColumn = sideColumn(m_nextPreview, m_nextLength, m_nextEnabled, m_mergeNext);

    auto* videoColumn = new QVBoxLayout;
    videoColumn->setSpacing(0);
    videoColumn->addWidget(m_video, 1);
    videoColumn->addSpacing(4);
    videoColumn->addWidget(m_slider);
    videoColumn->addWidget(m_bar);  // directly below the slider
    videoColumn->addSpacing(4);
    videoColumn->addWidget(m_status);

    auto* top = new QHBoxLayout;
    top->addLayout(previousColumn);
    top->addLayout(videoColumn, 1);
    top->addLayout(nextColumn);

    auto* editRow = new QHBoxLayout;
    for (QWidget* w : std::array<QWidget*, 4>{m_in, m_out, m_split, m_delete}) editRow->addWidget(w);
    editRow->addStretch(1);
    editRow->addWidget(m_prevScene);
    editRow->addWidget(m_sceneBox, 1);
    editRow->addWidget(m_nextScene);

    auto* playRow = new QHBoxLayout;
    for (QWidget* w : std::array<QWidget*, 5>{m_playScene, m_playTrimmed, m_playAll, m_speedBox, m_signalTone})
        playRow->addWidget(w);
    playRow->addStretch(1);
    playRow->addWidget(m_savePicture);
    playRow->addWidget(m_done);
    playRow->addSpacing(16);
    playRow->addWidget(m_ok);
    playRow->addWidget(m_cancel);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addLayout(editRow);
    all->addLayout(playRow);
}

void TrimDialog::connectControls() {
    connect(m_in, &QPushButton::clicked, this, [this] { setIn(); });
    connect(m_out, &QPushButton::clicked, this, [this] { setOut(); });
    connect(m_split, &QPushButton::clicked, this, [this] { split(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteScene(); });
    connect(m_mergePrev, &QPushButton::clicked, this, [this] { mergePrevious(); });
    connect(m_mergeNext, &QPushButton::clicked, this, [this] { mergeNext(); });
    connect(m_prevScene, &QPushButton::clicked, this, [this] { previousScene(); });
    connect(m_nextScene, &QPushButton::clicked, this, [this] { nextScene(); });
    connect(m_sceneBox, &QComboBox::activated, this, [this](int index) { onSceneChosen(index); });
    connect(m_playScene, &QPushButton::clicked, this, [this] { togglePlay(Play::Scene); });
    connect(m_playTrimmed, &QPushButton::clicked, this, [this] { togglePlay(Play::Trimmed); });
    connect(m_playAll, &QPushButton::clicked, this, [this] { togglePlay(Play::All); });
    connect(m_speedBox, &QComboBox::activated, this, [this](int index) { setSpeed(index); });
    connect(m_savePicture, &QPushButton::clicked, this, [this] { savePicture(); });
    connect(m_done, &QCheckBox::clicked, this, [this](bool checked) {
        scene::setSceneDone(m_list, m_current, checked);
        refreshSceneLine(m_current);
    });
    connect(m_prevEnabled, &QCheckBox::toggled, this, [this] { refreshPreviews(); });
    connect(m_nextEnabled, &QCheckBox::toggled, this, [this] { refreshPreviews(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(m_slider, &QSlider::actionTriggered, this, [this](int action) { onSliderAction(action); });
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        refreshStatus();
        // While the player runs it paints; the slider only follows it.
        if (!m_realSpeed) showSliderFrame(value);
    });
}

// Showing ------------------------------------------------------------------

void TrimDialog::showPlace(scene::TrimPlace place) {
    if (!m_list.validIndex(place.index)) return;
    m_current = place.index;
    openDisplayFor(m_current);
    showCurrent(place.frame);
}

void TrimDialog::showCurrent(int32_t position) {
    if (!m_list.validIndex(m_current)) return;
    refreshSliderRange();
    {
        QSignalBlocker blocker(m_slider);
        m_slider->setValue(position);
    }
    m_lastScroll = m_slider->value();
    {
        QSignalBlocker blocker(m_sceneBox);
        m_sceneBox->setCurrentIndex(m_current);
    }
    m_done->setChecked(m_list.okStatus(m_current) != 0);
    refreshStatus();
    refreshPreviews();
    showSliderFrame(m_slider->value());
}

void TrimDialog::showSliderFrame(int32_t position) {
    if (m_video->isOpen()) m_video->requestFrame(position);
}

bool TrimDialog::openDisplayFor(int index, DisplayMessage form) {
    const std::string path(m_list.sourceFile(index));
    if (m_video->isOpen() && m_video->openPath() == path) return true;
    int code = m_video->open(path);
    if (code == 1) return true;
    if (code == -3 || code == -4) m_video->reportOpenFailure(code, path);  // KLM-TD-1005 or 109 first
    const std::string& failed = app::loadString(113);
    std::string text = form == DisplayMessage::PlayingAll
                           ? app::stringPrintf("%s InitVideoScrubbing()!\nCode: %d", failed.c_str(), code)
                           : app::stringPrintf(form == DisplayMessage::Opening
                                                   ? "%s in InitVideoScrubbing()!\nFile: %s\nCode: %d"
                                                   : "%s InitVideoScrubbing()!\nFile: %s\nCode: %d",
                                               failed.c_str(), path.c_str(), code);
    m_ui.showMessage(text, app::Icon::Stop);
    return false;
}

void TrimDialog::refreshSliderRange() {
    const int32_t lower = m_list.definedStart(m_current), upper = m_list.definedStop(m_current);
    QSignalBlocker blocker(m_slider);
    m_slider->setRange(lower, upper);
    m_bar->setRanges(lower, upper, m_list.startFrame(m_current), m_list.stopFrame(m_current));
}

void TrimDialog::refreshStatus() {
    m_status->setText(qtext(scene::trimStatusLine(m_list, m_current, m_slider->value())));
}

void TrimDialog::refreshSceneLine(int index) {
    if (m_list.validIndex(index)) m_sceneBox->setItemText(index, qtext(scene::sceneBoxLine(m_list, index)));
}

void TrimDialog::rebuildSceneBox() {
    QSignalBlocker blocker(m_sceneBox);
    m_sceneBox->clear();
    for (int i = 0; i < m_list.count(); ++i) m_sceneBox->addItem(qtext(scene::sceneBoxLine(m_list, i)));
    m_sceneBox->setCurrentIndex(m_current);
}

void TrimDialog::refreshPreviews() {
    showPreview(m_prevPreview, m_prevLength, m_prevEnabled->isChecked(), m_current - 1, true);
    showPreview(m_nextPreview, m_nextLength, m_nextEnabled->isChecked(), m_current + 1, false);
}

void TrimDialog::showPreview(FrameDisplay* preview, QLabel* label, bool enabled, int index, bool lastFrame) {
    if (!enabled || !m_list.validIndex(index) || m_list.count() <= 1) {
        preview->showFrame(kClearFrame);
        label->setText(kNoDuration);
        return;
    }
    label->setText(qtext(scene::lengthText(m_list.lengthFrames(index), m_list.framesPerSecond(index))));
    const std::string path(m_list.sourceFile(index));
    if (!preview->isOpen() || preview->openPath() != path) {
        int code = preview->open(path);
        if (code != 1) {
            preview->reportOpenFailure(code, path);
            return;
        }
    }
    preview->requestFrame(lastFrame ? m_list.stopFrame(index) : m_list.startFrame(index));
}

void TrimDialog::refreshNeighbourControls() {
    const bool neighbours = m_list.count() > 1;
    for (QWidget* w : std::array<QWidget*, 13>{m_delete, m_mergePrev, m_mergeNext, m_prevScene, m_nextScene,
                                                m_prevPreview, m_nextPreview, m_prevEnabled, m_nextEnabled, m_playAll,
                                                m_signalTone, m_prevLength, m_nextLength})
        w->setVisible(neighbours);
    m_split->setVisible(m_mode != Mode::SingleScene);
}

void TrimDialog::afterTrimChange() {
    m_bar->setRanges(m_list.definedStart(m_current), m_list.definedStop(m_current), m_list.startFrame(m_current),
                     m_list.stopFrame(m_current));
    refreshStatus();
    refreshSceneLine(m_current);
    m_slider->setFocus();
}

void TrimDialog::onSliderAction(int action) {
    if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction) return;
    if (m_playing != Play::None) return;
    const int32_t position = m_slider->sliderPosition();
    const int32_t last = m_lastScroll;
    m_lastScroll = position;
    if (std::optional<scene::TrimPlace> place = scene::sliderEndPlace(m_list, m_current, position, last))
        showPlace(*place);
}

void TrimDialog::onSceneChosen(int index) {
    if (m_list.validIndex(index)) showPlace(scene::chosenScenePlace(m_list, m_current, index));
}

// Edits --------------------------------------------------------------------

void TrimDialog::setIn() {
    if (!m_list.validIndex(m_current)) return;
    scene::setInPoint(m_list, m_current, m_slider->value(), m_ui);
    afterTrimChange();
}

void TrimDialog::setOut() {
    if (!m_list.validIndex(m_current)) return;
    scene::setOutPoint(m_list, m_current, m_slider->value(), m_ui);
    afterTrimChange();
}

void TrimDialog::split() {
    scene::TrimPlace place;
    if (m_mode == Mode::SingleScene ||
        scene::splitBefore(m_list, m_current, m_slider->value(), m_ui, &place) != scene::TrimEdit::Done)
        return;
    m_current = place.index;
    rebuildSceneBox();
    refreshNeighbourControls();
    showPlace(place);
}

void TrimDialog::mergePrevious() {
    scene::TrimPlace place;
    if (scene::mergeWithPrevious(m_list, m_current, m_ui, &place) != scene::TrimEdit::Done) return;
    m_current = place.index;
    rebuildSceneBox();
    refreshNeighbourControls();
    showPlace(place);
}

void TrimDialog::mergeNext() {
    scene::TrimPlace place;
    if (scene::mergeWithNext(m_list, m_current, m_ui, &place) != scene::TrimEdit::Done) return;
    m_current = place.index;
    rebuildSceneBox();
    refreshNeighbourControls();
    showPlace(place);
}

void TrimDialog::deleteScene() {
    scene::TrimPlace place;
    if (scene::deleteCurrent(m_list, m_current, m_ui, &place) != scene::TrimEdit::Done) return;
    m_current = place.index;
    rebuildSceneBox();
    refreshNeighbourControls();
    showPlace(place);
}

void TrimDialog::previousScene() {
    if (m_list.validIndex(m_current)) showPlace(scene::previousScenePlace(m_list, m_current));
}

void TrimDialog::nextScene() {
    if (m_list.validIndex(m_current)) showPlace(scene::nextScenePlace(m_list, m_current));
}

void TrimDialog::toggleDone() {
    if (scene::toggleSceneDone(m_list, m_current) != scene::TrimEdit::Done) return;
    m_done->setChecked(m_list.okStatus(m_current) != 0);
    refreshSceneLine(m_current);
}

void TrimDialog::savePicture() {
    if (!m_video->isOpen()) return;
    std::string folder = chooseFolder("Directory selection", m_settings.readText("PicturePath", ""));
    if (folder.empty()) return;
    if (folder.size() > 3 && folder.back() != '/') folder += '/';
    m_settings.writeText("PicturePath", folder);
    const int32_t frame = m_slider->value();
    const std::string source = m_video->openPath();
    if (media::ExportFramePicture(source, folder, m_media, m_ui, std::span<const int32_t>(&frame, 1), 0, 0) != 1)
        m_ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: KLM-TD-1001", app::loadString(117).c_str(),
                                           source.c_str()),
                         app::Icon::Stop);
}

// Closing and placement ----------------------------------------------------

void TrimDialog::accept() {
    stopPlaying();
    gui::storePlacement(*this, m_settings, kPlacement);
    m_video->close();
    QDialog::accept();
}

void TrimDialog::reject() {
    stopPlaying();
    if (m_list.modified() &&
        m_ui.ask(app::loadString(160), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes)
        return;
    gui::storePlacement(*this, m_settings, kPlacement);
    m_video->close();
    QDialog::reject();
}

void TrimDialog::storePlaySettings() {
    m_settings.writeInt("PlaySpeed", m_speed);
    m_settings.writeInt("EnablePrevAvi", m_prevEnabled->isChecked() ? 1 : 0);
    m_settings.writeInt("EnableNextAvi", m_nextEnabled->isChecked() ? 1 : 0);
    m_settings.writeInt("CtrlSound", m_signalTone->isChecked() ? 1 : 0);
}

void TrimDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_slider->setFocus();
}

}  // namespace klemora::gui
