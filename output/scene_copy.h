#pragma once
// Copies frame ranges of source AVIs into an open AVI writer: each output
// frame is a source frame's chunk, unchanged (at another speed, output
// frame i is source frame first + trunc(i x speed)), followed by the sound
// of every audio stream up to that frame's end. Progress, the message pump
// and the Stop button are served every few frames.
#include <cstdint>
#include <vector>

#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "avi/avi_writer.h"
#include "output/audio_cut.h"
#include "output/source_streams.h"
#include "output/write_context.h"

namespace klemora::output {

struct SceneRange {
    int32_t firstFrame = 0;  // source frames, inside the file
    int32_t lastFrame = 0;
    double speed = 1.0;      // exactly 1: a plain copy
    int64_t outputFrames = 0;
};

// The output frames of a range: its length, or length / speed at another speed.
int64_t outputFramesOf(int32_t firstFrame, int32_t lastFrame, double speed);

// A scene's frames (a negative start: from the first, a negative stop: to
// the last) clipped to the `frameCount` frames of its file; first > last
// when the scene begins after the file's end.
SceneRange sceneRangeIn(int32_t startFrame, int32_t stopFrame, int32_t frameCount, double speed);
// Whether the scene asks for frames the file does not have.
bool reachesPastEnd(int32_t startFrame, int32_t stopFrame, int32_t frameCount);

// SourceEnded: the file had fewer frames than its count promised, so the
// range could not be copied whole.
enum class CopyStatus { Done, Cancelled, SourceFailed, WriteFailed, SourceEnded };

struct CopyOutcome {
    CopyStatus status = CopyStatus::Done;
    int writerCode = 1;  // the writer's result for WriteFailed
    int error = 0;       // errno-style cause, 0 when not known
};

class SceneCopier {
public:
    // `reference` fixes the written file's streams: video and audio chunks
    // of every range go to its video and audio stream numbers in order.
    // The progress bar runs over `totalOutputFrames`.
    SceneCopier(avi::AviWriter& writer, const SourceStreams& reference, WriteContext& context, int64_t totalOutputFrames,
                bool padAudio);

    // `index`: the source's index entries (avi::AviIndex::build).
    CopyOutcome append(avi::AviReader& reader, const SourceStreams& source, const avi::AviIndex& index,
                       const SceneRange& range);
    int64_t framesWritten() const { return m_framesWritten; }

private:
    CopyOutcome copyFrames(avi::AviReader& reader, const SourceStreams& source, const avi::AviIndex& index,
                           const SceneRange& range);
    CopyOutcome writeFailure() const;
    bool pollUser();

    avi::AviWriter& m_writer;
    WriteContext& m_context;
    int m_videoOutput;
    std::vector<AudioOutputState> m_audio;
    bool m_padAudio;
    int64_t m_framesWritten = 0;
    std::vector<uint8_t> m_frame;
};

}  // namespace klemora::output
