// The trim dialog's three play modes: at 1x through the area player, whose
// frames the slider follows; faster by a timer that steps the slider.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <array>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/area_player.h"
#include "gui/frame_display.h"
#include "gui/trim_dialog.h"

namespace klemora::gui {

void TrimDialog::togglePlay(Play mode) {
    if (m_playing == mode) return stopPlaying();
    if (m_playing != Play::None || !m_list.validIndex(m_current)) return;
    startPlay(mode);
}

void TrimDialog::stopPlaying() {
    if (m_playing == Play::None) return;
    m_stopRequested = true;
    if (m_realSpeed) {
        if (m_player) m_player->stop();  // play() returns at its next look; the loop there finishes
        return;
    }
    finishPlay(m_slider->value());
}

void TrimDialog::startPlay(Play mode) {
    const int32_t position = m_slider->value();
    scene::PlayRange range = mode == Play::Scene     ? scene::playSceneRange(m_list, m_current, position)
                             : mode == Play::Trimmed ? scene::playTrimmedRange(m_list, m_current, position)
                                                     : scene::playAllFirst(m_list, m_current, position);
    if (range.index != m_current) {
        m_current = range.index;
        if (!openDisplayFor(m_current, DisplayMessage::Showing)) return;
        showCurrent(range.from);
    }
    m_playing = mode;
    m_stopRequested = false;
    m_realSpeed = m_speed == 0;
    setPlayingControls();
    if (m_realSpeed) playRealSpeed(mode, range);
    else startTimer(range);
}

void TrimDialog::playRealSpeed(Play mode, scene::PlayRange range) {
    for (;;) {
        AreaPlayRequest request{std::string(m_list.sourceFile(m_current)), range.from, range.to, m_video,
                                m_video->letterboxRect()};
        int rc = m_player ? m_player->play(request, [this](int32_t frame) { m_slider->setValue(frame); }) : -1;
        if (rc != 1 || m_stopRequested || mode != Play::All || !moveOnInPlayAll(false)) break;
        range = {m_current, m_list.startFrame(m_current), m_list.stopFrame(m_current)};
    }
    finishPlay(m_slider->value());
}

void TrimDialog::startTimer(scene::PlayRange range) {
    m_playEnd = range.to;
    m_slider->setValue(range.from);
    m_timer.start(scene::timerPeriodMs(m_list.framesPerSecond(m_current)));
}

void TrimDialog::timerTick() {
    // A tick that comes while one step still runs (a slow fetch, a message) is dropped.
    if (m_stepping || m_playing == Play::None) return;
    m_stepping = true;
    if (std::optional<int32_t> next = scene::nextTimerPosition(m_slider->value(), m_speed, m_playEnd))
        m_slider->setValue(*next);
    else if (m_playing != Play::All || !moveOnInPlayAll(true))
        finishPlay(m_playEnd);
    m_stepping = false;
}

bool TrimDialog::moveOnInPlayAll(bool timer) {
    std::optional<scene::PlayRange> next = scene::playAllNext(m_list, m_current);
    if (!next) return false;
    const bool reopen = m_video->openPath() != m_list.sourceFile(next->index);
    if (reopen && timer) m_timer.stop();
    m_current = next->index;
    if (reopen && !openDisplayFor(m_current, timer ? DisplayMessage::PlayingAll : DisplayMessage::Showing)) {
        finishPlay(m_list.startFrame(m_current));
        return true;  // stopped here, after the message
    }
    showCurrent(next->from);
    m_playEnd = next->to;
    if (m_signalTone->isChecked()) m_ui.beep();
    if (reopen && timer) m_timer.start(scene::timerPeriodMs(m_list.framesPerSecond(m_current)));
    return true;
}

void TrimDialog::finishPlay(int32_t position) {
    m_timer.stop();
    m_playing = Play::None;
    m_realSpeed = false;
    setPlayingControls();
    if (m_slider->value() != position) m_slider->setValue(position);
    else showSliderFrame(position);
    refreshStatus();
}

void TrimDialog::setPlayingControls() {
    const bool idle = m_playing == Play::None;
    QPushButton* own = m_playing == Play::Scene     ? m_playScene
                       : m_playing == Play::Trimmed ? m_playTrimmed
                       : m_playing == Play::All     ? m_playAll
                                                    : nullptr;
    const std::array<QWidget*, 20> controls{m_in,          m_out,       m_split,     m_delete,    m_mergePrev,
                                            m_mergeNext,   m_prevScene, m_nextScene, m_sceneBox,  m_playScene,
                                            m_playTrimmed, m_playAll,   m_speedBox,  m_signalTone, m_savePicture,
                                            m_done,        m_slider,    m_prevEnabled, m_nextEnabled, m_ok};
    for (QWidget* w : controls) w->setEnabled(idle || w == own);
    m_cancel->setEnabled(idle);
    for (QPushButton* button : {m_playScene, m_playTrimmed, m_playAll}) {
        QStyle::StandardPixmap icon = button == own ? QStyle::SP_MediaPause
                                      : button == m_playAll ? QStyle::SP_MediaSeekForward
                                                            : QStyle::SP_MediaPlay;
        button->setIcon(style()->standardIcon(icon));
    }
}

void TrimDialog::setSpeed(int index) {
    m_speed = std::clamp(index, 0, 9);
    if (m_speedBox->currentIndex() != m_speed) m_speedBox->setCurrentIndex(m_speed);
}

}  // namespace klemora::gui
