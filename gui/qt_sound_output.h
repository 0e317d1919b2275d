#pragma once
// A play's sound through the default audio device (Qt Multimedia's
// QAudioSink, pushed from the presenting thread). Its clock is what the
// device has taken minus what still waits in its buffer.
#include <QAudioFormat>
#include <memory>

#include "media/sound_output.h"

class QAudioSink;
class QIODevice;

namespace klemora::gui {

class QtSoundOutput : public media::SoundOutput {
public:
    // Null when there is no audio device or it takes neither `format` nor a
    // format the samples can be converted to; `format` becomes what is used.
    static std::unique_ptr<QtSoundOutput> open(media::SoundFormat& format);
    ~QtSoundOutput() override;

    int start() override;
    int64_t bytesFree() override;
    void write(std::span<const uint8_t> bytes) override;
    double clock() override;

private:
    QtSoundOutput(std::unique_ptr<QAudioSink> sink, media::SoundFormat format);

    std::unique_ptr<QAudioSink> m_sink;
    media::SoundFormat m_format;
    QIODevice* m_device = nullptr;  // the sink's, valid while started
    int64_t m_written = 0;
};

}  // namespace klemora::gui
