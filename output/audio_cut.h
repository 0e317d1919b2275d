#pragma once
// The sound of one scene for one audio stream of the written file. Time is
// counted in output video frames, so the sound stays with the pictures
// however the scenes are joined: after each frame the writer asks for the
// audio up to that frame's end.
//   PCM at speed 1: the source bytes of the same time range, cut at sample
//     frames (block align), unchanged.
//   PCM at another speed: the range resampled to the new duration.
//   Compressed audio: whole chunks; at another speed the chunk playing at
//     the corresponding source time is taken, as video frames are.
#include <cstdint>
#include <memory>
#include <vector>

#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "avi/avi_writer.h"
#include "output/chunk_cursor.h"
#include "output/pcm_source.h"
#include "output/source_streams.h"

namespace klemora::output {

// What has gone into one output audio stream so far (over all scenes).
struct AudioOutputState {
    int outputStream = -1;
    int64_t samplesWritten = 0;  // PCM: sample frames
    double secondsWritten = 0;   // compressed: the duration of the chunks written
};

struct CutTiming {
    int32_t firstFrame = 0;        // source frames of the scene
    int32_t lastFrame = 0;
    double speed = 1.0;            // exactly 1: no stretching
    int64_t outputFirstFrame = 0;  // output frame the scene starts at
    int64_t outputFrames = 0;
    uint32_t videoScale = 1;       // seconds per frame = scale / rate (source and output alike)
    uint32_t videoRate = 25;
    bool padWithSilence = false;   // PCM: fill up when the source's sound ends before its pictures
};

class AudioCut {
public:
    // `index`: the stream's index entries, or nullptr.
    AudioCut(avi::AviReader& reader, const AudioStreamInfo& source, const std::vector<avi::IndexedChunk>* index,
             AudioOutputState& output, const CutTiming& timing);

    // Writes the sound up to the end of output frame `outputFrameEnd` - 1.
    // 1, or the writer's code, or -1 when the source cannot be read.
    int writeUntil(int64_t outputFrameEnd, avi::AviWriter& writer);
    int lastErrno() const;

private:
    int writePcm(int64_t targetSamples, avi::AviWriter& writer);
    int locatePcmCopy(int64_t count, avi::SourceChunk& chunk);
    int writePcmCopy(int64_t count);
    int writePcmResampled(int64_t count);
    int writeChunks(double targetSeconds, avi::AviWriter& writer);
    int positionChunks();
    double chunkStart() const;
    double chunkDuration() const;
    int64_t samplesAt(int64_t frames) const;  // sample frames in `frames` video frames, rounded

    const AudioStreamInfo& m_source;
    AudioOutputState& m_output;
    CutTiming m_timing;
    PcmSource m_pcm;
    ChunkCursor m_chunks;
    int64_t m_firstOutputSample = 0;  // where this scene's sound begins in the output
    int64_t m_firstSourceSample = 0;  // the source sample frame at the scene's first frame
    double m_firstOutputSecond = 0;
    double m_sourceStartSecond = 0;   // source time of the scene's first frame, in the audio's clock
    double m_sourceEndSecond = 0;
    bool m_ended = false;             // the source has no more sound for this scene
    std::vector<uint8_t> m_out;
};

}  // namespace klemora::output
