#include "gui/playback.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/ui.h"
#include "gui/picture_view.h"
#include "gui/qt_sound_output.h"
#include "media/media_probe.h"
#include "media/play_decoder.h"
#include "media/play_window.h"

extern "C" {
#include <libavutil/error.h>
}

namespace klemora::gui {
namespace {

// How often the clock is looked at: well inside the shortest frame period.
constexpr int kTickMilliseconds = 4;
// Pictures converted for the screen ahead of their time.
constexpr size_t kReadyAhead = 2;

std::string& nullSoundRecord() {
    static std::string path;
    return path;
}

}  // namespace

void Playback::recordNullSoundTo(std::string path) { nullSoundRecord() = std::move(path); }

Playback::Playback(const media::MediaSettings& settings)
    : m_settings(settings), m_info(std::make_unique<media::MediaInfo>(settings.fixRatio, settings.log)) {}

Playback::~Playback() { m_decoder.reset(); }

PlayFailure Playback::open(const std::string& path, int32_t from, int32_t to) {
    m_opened = std::chrono::steady_clock::now();
    // The players show their own message for a file that does not open.
    app::SilentUserInterface quiet;
    int rc = media::ProbeMedia(path, *m_info, quiet);
    // The AVI reader's frame count and the display aspect; other files keep the probe's.
    if (rc == 1) media::GetExtraData(*m_info, false, quiet);
    if (rc != 1 || m_info->videoStream < 0 || m_info->frameCount < 1 || m_info->frameDuration <= 0) {
        m_errorCode = rc < 0 ? rc : AVERROR_STREAM_NOT_FOUND;
        return PlayFailure::Open;
    }
    if (media::resolvePlayRange(from, to, m_info->frameCount, m_range) != 1) return PlayFailure::Range;
    return PlayFailure::None;
}

std::unique_ptr<media::SoundDecoder> Playback::openSound() {
    media::SoundFormat format;
    std::unique_ptr<media::SoundDecoder> sound;
    if (m_speed == 1.0f && m_info->audioStream >= 0) {
        sound = std::make_unique<media::SoundDecoder>();
        if (sound->open(m_info->fileName) == 1) format = sound->streamFormat();
        else sound.reset();
    }
    if (sound) {
        if (auto device = QtSoundOutput::open(format)) m_sound = std::move(device);
        double start = m_range.first * static_cast<double>(m_info->frameDuration);
        if (sound->start(start, m_range.frames() * static_cast<double>(m_info->frameDuration), format) != 1)
            sound.reset();
    }
    m_counts.withSound = sound && m_sound;
    m_soundFrameBytes = std::max(format.channels, 1) * 2;
    if (!m_counts.withSound) {
        m_sound.reset();
        m_sound = std::make_unique<media::NullSoundOutput>(m_speed, sound ? format : media::SoundFormat{},
                                                           sound ? nullSoundRecord() : std::string());
    }
    return sound;
}

PlayFailure Playback::startDecoding(int32_t width, int32_t height) {
    auto sound = openSound();
    m_decoder = std::make_unique<media::PlayDecoder>(*m_info, m_range, width, height);
    m_decoder->start(std::move(sound));
    return PlayFailure::None;
}

void Playback::pullPictures() {
    while (m_ready.size() < kReadyAhead) {
        auto picture = m_decoder->nextPicture();
        if (!picture) return;
        m_ready.push_back({picture->frame, imageFromDib(picture->dib)});
    }
}

PlayFailure Playback::waitForFirstPicture(const std::function<bool()>& stopRequested) {
    while (m_ready.empty()) {
        pullPictures();
        if (!m_ready.empty()) break;
        if (m_decoder->picturesDrained()) {
            m_errorCode = m_decoder->pictureError() != 0 ? m_decoder->pictureError() : AVERROR_EOF;
            m_errorFrame = m_decoder->errorFrame();
            return PlayFailure::Open;
        }
        if (stopRequested()) return PlayFailure::None;
        QCoreApplication::processEvents(QEventLoop::AllEvents, kTickMilliseconds);
    }
    return PlayFailure::None;
}

PlayFailure Playback::run(int32_t width, int32_t height, float speed, const Present& present,
                          const std::function<bool()>& stopRequested) {
    m_speed = std::max(speed, media::kSlowestSpeed);
    startDecoding(width, height);
    if (PlayFailure failure = waitForFirstPicture(stopRequested); failure != PlayFailure::None || m_ready.empty()) {
        m_decoder.reset();
        return failure;
    }
    if (int rc = m_sound->start(); rc != 1) {
        m_errorCode = rc;
        m_decoder.reset();
        return PlayFailure::Start;
    }
    m_started = std::chrono::steady_clock::now();
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (!tick(present, stopRequested)) loop.quit();
    });
    if (tick(present, stopRequested)) {
        timer.start(kTickMilliseconds);
        loop.exec();
    }
    timer.stop();
    m_decoder.reset();
    m_sound.reset();
    return m_result;
}

double Playback::clockNow() {
    std::chrono::duration<double> wall = std::chrono::steady_clock::now() - m_started;
    return m_clock.update(m_sound->clock(), wall.count() * m_speed);
}

bool Playback::tick(const Present& present, const std::function<bool()>& stopRequested) {
    if (stopRequested()) return false;
    feedSound();
    pullPictures();
    const double frameDuration = m_info->frameDuration;
    const double now = clockNow();
    presentDue(m_range.first + static_cast<int32_t>(std::floor(now / frameDuration)), present);
    if (!m_ready.empty() || !m_decoder->picturesDrained()) return true;
    if (m_decoder->pictureError() != 0) {
        m_errorCode = m_decoder->pictureError();
        m_errorFrame = m_decoder->errorFrame();
        m_result = PlayFailure::Decode;
        return false;
    }
    // The last picture stays for its own period.
    return now < (m_lastShown - m_range.first + 1) * frameDuration;
}

void Playback::presentDue(int32_t due, const Present& present) {
    size_t late = 0;
    while (late + 1 < m_ready.size() && m_ready[late + 1].frame <= due) ++late;
    m_counts.dropped += static_cast<int32_t>(late);
    m_ready.erase(m_ready.begin(), m_ready.begin() + static_cast<std::ptrdiff_t>(late));
    if (!m_ready.empty() && m_ready.front().frame <= due) {
        present(m_ready.front().frame, m_ready.front().picture);
        m_lastShown = m_ready.front().frame;
        m_ready.erase(m_ready.begin());
        if (m_counts.shown++ == 0) m_counts.firstPictureSeconds = secondsSinceOpen();
        double frameTime = (m_lastShown - m_range.first) * static_cast<double>(m_info->frameDuration);
        m_counts.offsets.push_back(std::abs(frameTime - m_sound->clock()));
    } else if (due > m_lastShown && due <= m_range.last && due != m_lastRepeat && m_lastShown >= 0) {
        ++m_counts.repeated;
        m_lastRepeat = due;
    }
}

void Playback::feedSound() {
    for (;;) {
        if (m_pendingOffset >= m_pendingSound.size()) {
            auto chunk = m_decoder->nextSound();
            if (!chunk) return;
            m_pendingSound = std::move(*chunk);
            m_pendingOffset = 0;
        }
        int64_t free = m_sound->bytesFree();
        if (free <= 0) return;
        size_t take = std::min<size_t>(static_cast<size_t>(free), m_pendingSound.size() - m_pendingOffset);
        take -= take % m_soundFrameBytes;  // whole sample frames only
        if (take == 0) return;
        m_sound->write({m_pendingSound.data() + m_pendingOffset, take});
        m_pendingOffset += take;
    }
}

double Playback::secondsSinceOpen() const {
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_opened;
    return elapsed.count();
}

}  // namespace klemora::gui
