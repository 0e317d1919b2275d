#pragma once
// The detection trace of the DV detection ("findds.log", debug level 2): one
// line per frame with its timecode and recording time, the scene breaks, the
// timecode gaps, the failures and the chunk statistics of every file, into
// the run's own log. Every call writes nothing unless that log traces.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/debug_log.h"
#include "avi/avi_reader.h"
#include "scene/scene_record.h"

namespace klemora::detect {

class DvDetectionTrace {
public:
    explicit DvDetectionTrace(app::DebugLog log = {}) : m_log(std::move(log)) {}
    bool on() const { return m_log.tracing(); }
    const app::DebugLog& log() const { return m_log; }

    // Frame numbers are 0-based here; the trace counts from 1.
    void newFile(const std::string& name);
    // `framesPerSecond` of the timecode: 25 (625/50) or 30 (525/60).
    void frame(int32_t frame, const scene::Timecode& timecode, const scene::RecordingTime& time,
               int framesPerSecond);
    void sceneInit(int32_t frame, const scene::Timecode& timecode, const scene::RecordingTime& time);
    void newScene(int32_t frame, int sceneNumber);
    void cancelled(int32_t frame);
    void readError(int32_t frame, int readerResult);
    void invalidTime(int32_t frame);
    void addSceneFailed(int32_t frame, int code, int readerResult);
    void chunkStatistics(const std::vector<avi::AviReader::ChunkCount>& counts);
    void fileFailed(int32_t frame, int status, int readerResult);

private:
    app::DebugLog m_log;
    // The timecode of the frame before, as a frame count; carried from file to file.
    int64_t m_timecodeCount = 0;
};

// The C library's asctime text without its line end ("Sat Jul  1 10:00:00 2006").
std::string asctimeText(const scene::RecordingTime& time);

}  // namespace klemora::detect
