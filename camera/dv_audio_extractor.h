#pragma once
// Takes the sound out of DV frames as they arrive from a camera, for DV type 2
// files. The audio DIF blocks are shuffled over the whole frame, the sample
// count changes from frame to frame, 32 kHz sound may be 12-bit non-linear in
// two channel pairs, and damaged samples are marked; libavformat's DV
// demultiplexer knows all of that, so the frames are fed to it one at a time
// through an in-memory reader instead of decoding the blocks a second time
// here. Only the first channel pair is kept, as a stereo PCM stream.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "avi/avi_stream_layout.h"
#include "media/ffmpeg_handles.h"

namespace klemora::camera {

class DvAudioExtractor {
public:
    DvAudioExtractor();
    ~DvAudioExtractor();
    DvAudioExtractor(const DvAudioExtractor&) = delete;
    DvAudioExtractor& operator=(const DvAudioExtractor&) = delete;

    // 1: `pcm` holds the frame's samples (16-bit little-endian, interleaved
    // stereo) in `format`; 0: the frame carries no usable sound; negative:
    // an FFmpeg error (an unusable frame, out of memory).
    int extract(std::span<const uint8_t> frame, std::vector<uint8_t>& pcm, avi::PcmFormat& format);

private:
    struct Input;
    int openDemuxer();
    void closeDemuxer();
    int readAudio(std::vector<uint8_t>& pcm, avi::PcmFormat& format);

    // In this order: the demuxer reads through the I/O context, which reads
    // from the input; they go in reverse.
    std::unique_ptr<Input> m_input;
    media::IoContextPtr m_io;
    media::FormatContextPtr m_format;
    media::PacketPtr m_packet;
};

// Samples per channel that belong to video frame `frame` at `sampleRate`,
// spread so that the running total never drifts from the picture.
int32_t samplesForFrame(int64_t frame, uint32_t sampleRate, bool pal);

}  // namespace klemora::camera
