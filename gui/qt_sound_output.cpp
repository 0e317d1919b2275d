#include "gui/qt_sound_output.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

namespace klemora::gui {
namespace {

QAudioFormat qtFormat(const media::SoundFormat& format) {
    QAudioFormat result;
    result.setSampleRate(format.rate);
    result.setChannelCount(format.channels);
    result.setSampleFormat(QAudioFormat::Int16);
    return result;
}

}  // namespace

std::unique_ptr<QtSoundOutput> QtSoundOutput::open(media::SoundFormat& format) {
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return nullptr;
    if (!device.isFormatSupported(qtFormat(format))) {
        // The resampler makes whatever rate and channel count the device prefers.
        QAudioFormat preferred = device.preferredFormat();
        format = {preferred.sampleRate(), std::min(preferred.channelCount(), 2)};
        if (!device.isFormatSupported(qtFormat(format))) return nullptr;
    }
    auto sink = std::make_unique<QAudioSink>(device, qtFormat(format));
    // About 80 ms: the position we read moves in steps of this size, so it
    // bounds how far picture and sound can seem apart; the play feeds it
    // every few milliseconds.
    sink->setBufferSize(format.bytesPerSecond() / 12);
    return std::unique_ptr<QtSoundOutput>(new QtSoundOutput(std::move(sink), format));
}

QtSoundOutput::QtSoundOutput(std::unique_ptr<QAudioSink> sink, media::SoundFormat format)
    : m_sink(std::move(sink)), m_format(format) {}

QtSoundOutput::~QtSoundOutput() {
    if (m_device) m_sink->stop();
}

int QtSoundOutput::start() {
    m_device = m_sink->start();
    if (!m_device || m_sink->error() != QAudio::NoError) {
        m_device = nullptr;
        return -1;
    }
    m_written = 0;
    return 1;
}

int64_t QtSoundOutput::bytesFree() { return m_device ? m_sink->bytesFree() : 0; }

void QtSoundOutput::write(std::span<const uint8_t> bytes) {
    if (!m_device) return;
    qint64 done = m_device->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (done > 0) m_written += done;
}

double QtSoundOutput::clock() {
    if (!m_device || m_format.bytesPerSecond() == 0) return 0;
    int64_t buffered = std::max<int64_t>(m_sink->bufferSize() - m_sink->bytesFree(), 0);
    return static_cast<double>(std::max<int64_t>(m_written - buffered, 0)) / m_format.bytesPerSecond();
}

}  // namespace klemora::gui
