#include "camera/dv_splitter.h"

#include "app/debug_log.h"

namespace klemora::camera {

DvSplitter::DvSplitter(const app::DebugLog& log) : Filter(kSplitterFilterName), m_log(log) {
    addPin("Input", PinDirection::Input, MediaKind::InterleavedDv);
    addPin("DVVidOut0", PinDirection::Output, MediaKind::DvVideo);
    addPin("AudOut00", PinDirection::Output, MediaKind::PcmAudio);
}

int DvSplitter::run() {
    // A new run is a new file: its audio format comes from its own first frame.
    m_formatKnown = false;
    m_frames = 0;
    m_silentFrames = 0;
    return 0;
}

void DvSplitter::receive(Pin&, const MediaSample& sample) {
    MediaSample video = sample;
    video.kind = MediaKind::DvVideo;
    deliver(videoOutput(), video);
    deliverAudio(sample);
    ++m_frames;
}

void DvSplitter::deliverAudio(const MediaSample& video) {
    avi::PcmFormat format;
    int rc = m_extractor.extract(video.data, m_pcm, format);
    if (rc == 1 && !m_formatKnown) {
        m_format = format;
        m_formatKnown = true;
    } else if (!m_formatKnown) {
        m_format = avi::PcmFormat{};  // 48 kHz stereo until a frame tells otherwise
        m_formatKnown = true;
        m_log.write("CameraIO: DV Splitter: first frame without sound, audio taken as %u Hz",
                      m_format.samplesPerSecond);
    }
    const bool usable = rc == 1 && format.samplesPerSecond == m_format.samplesPerSecond;
    if (!usable) {
        if (m_silentFrames == 0)
            m_log.write("CameraIO: DV Splitter: frame %lld without usable sound (%d), silence written",
                          static_cast<long long>(m_frames), rc);
        ++m_silentFrames;
        m_silence.assign(static_cast<size_t>(samplesForFrame(m_frames, m_format.samplesPerSecond, video.pal)) *
                             m_format.blockAlign(),
                         0);
    }
    MediaSample audio;
    audio.kind = MediaKind::PcmAudio;
    audio.data = usable ? std::span<const uint8_t>(m_pcm) : std::span<const uint8_t>(m_silence);
    audio.pal = video.pal;
    audio.audio = m_format;
    deliver(audioOutput(), audio);
}

}  // namespace klemora::camera
