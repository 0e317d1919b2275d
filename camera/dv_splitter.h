#pragma once
// Splits the interleaved DV stream for DV type 2 files: the whole frame goes
// on as video, its first channel pair as PCM audio. Every frame gets its
// audio sample, silence when the frame has no usable sound or names another
// rate than the stream began with, so sound and picture stay in step.
#include <vector>

#include "app/debug_log.h"
#include "camera/dv_audio_extractor.h"
#include "camera/filter_graph.h"

namespace klemora::camera {

inline constexpr const char* kSplitterFilterName = "DV Splitter";

class DvSplitter : public Filter {
public:
    explicit DvSplitter(const app::DebugLog& log);
    Pin& input() { return *pin(0); }
    Pin& videoOutput() { return *pin(1); }
    Pin& audioOutput() { return *pin(2); }

    int run() override;
    void receive(Pin& input, const MediaSample& sample) override;

    int64_t silentFrames() const { return m_silentFrames; }

private:
    void deliverAudio(const MediaSample& video);

    const app::DebugLog m_log;
    DvAudioExtractor m_extractor;
    std::vector<uint8_t> m_pcm;
    std::vector<uint8_t> m_silence;
    avi::PcmFormat m_format;
    bool m_formatKnown = false;
    int64_t m_frames = 0;
    int64_t m_silentFrames = 0;
};

}  // namespace klemora::camera
