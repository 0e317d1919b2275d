#pragma once
// A source AVI as the scene writers see it: the output layout that keeps its
// streams' media types, where each output stream comes from, the frame
// timing of its video stream, and how each audio stream can be cut.
#include <cstdint>
#include <vector>

#include "avi/avi_reader.h"
#include "avi/avi_writer.h"

namespace klemora::output {

// Audio that is cut at sample precision: PCM-like formats in which every
// block of `blockAlign` bytes is one sample frame.
struct PcmLayout {
    uint16_t formatTag = 0;       // 1 PCM, 3 IEEE float, 6 A-law, 7 mu-law (WAVE_FORMAT_EXTENSIBLE resolved)
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

struct AudioStreamInfo {
    int sourceStream = -1;  // stream number in the source
    int outputStream = -1;  // stream number in the written file
    bool pcm = false;
    PcmLayout pcmLayout;
    // The stream's time unit (seconds per unit = scale / rate), its sample
    // size (0: every chunk is one unit) and where it starts.
    uint32_t scale = 0;
    uint32_t rate = 0;
    uint32_t sampleSize = 0;
    double startSeconds = 0;
};

struct SourceStreams {
    avi::AviLayout layout;  // what the written file gets
    int videoSource = -1;   // source stream number of the video
    int videoOutput = -1;   // its output stream number (layout.frameStream)
    uint32_t videoScale = 0;  // seconds per frame = scale / rate
    uint32_t videoRate = 0;
    int32_t frameCount = 0;   // as the reader counts them
    bool dvType1 = false;
    bool allKeyframes = true;
    std::vector<AudioStreamInfo> audio;

    double frameDuration() const { return static_cast<double>(videoScale) / videoRate; }
    double frameRate() const { return static_cast<double>(videoRate) / videoScale; }
};

// 1, or NoVideoStream when the file has no video stream with a usable rate.
int describeSource(avi::AviReader& reader, SourceStreams& out);

// The equality rules of a joined file: the frame rate exactly, and the
// media types (stream type and the whole format block) of the video and of
// every audio stream.
bool sameFrameRate(const SourceStreams& a, const SourceStreams& b);
bool sameVideoType(const SourceStreams& a, const SourceStreams& b);
bool sameAudioTypes(const SourceStreams& a, const SourceStreams& b);

}  // namespace klemora::output
