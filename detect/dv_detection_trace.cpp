#include "detect/dv_detection_trace.h"

#include <cstdlib>
#include <ctime>

#include "app/debug_log.h"
#include "scene/time_text.h"

namespace klemora::detect {
namespace {

int64_t timecodeCount(const scene::Timecode& tc, int framesPerSecond) {
    return (int64_t{tc.hours} * 3600 + tc.minutes * 60 + tc.seconds) * framesPerSecond + tc.frames;
}

std::string fourccText(uint32_t fourcc) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>((fourcc >> (8 * i)) & 0xFF);
        text[i] = c >= 0x20 && c < 0x7F ? c : '?';
    }
    return text;
}

}  // namespace

std::string asctimeText(const scene::RecordingTime& time) {
    std::tm tm = scene::toTm(time);
    char buffer[64] = {};
    if (!asctime_r(&tm, buffer)) return "?";
    std::string text(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

void DvDetectionTrace::newFile(const std::string& name) {
    if (!on()) return;
    m_log.write("\n\n#################### New file: %s ######################\n", name.c_str());
    m_log.write(" Frame  |  Timecode         |  Datestamp");
}

void DvDetectionTrace::frame(int32_t frame, const scene::Timecode& tc, const scene::RecordingTime& time,
                             int framesPerSecond) {
    if (!on()) return;
    int64_t count = timecodeCount(tc, framesPerSecond);
    int64_t gap = std::llabs(count - m_timecodeCount);
    if (gap > 1)
        m_log.write(" %05d  |  #### Timecode-Luecke: %lld fehlende Frames", frame + 1, static_cast<long long>(gap));
    m_timecodeCount = count;
    m_log.write(" %05d  |  %02d:%02d:%02d:%02d (%d)  |  %s (%d)", frame + 1, tc.hours, tc.minutes, tc.seconds,
                  tc.frames, 1, asctimeText(time).c_str(), 1);
}

void DvDetectionTrace::sceneInit(int32_t frame, const scene::Timecode& tc, const scene::RecordingTime& time) {
    if (!on()) return;
    m_log.write(" %05d  |  INIT %02d:%02d:%02d:%02d  /  %s", frame + 1, tc.hours, tc.minutes, tc.seconds,
                  tc.frames, asctimeText(time).c_str());
}

void DvDetectionTrace::newScene(int32_t frame, int sceneNumber) {
    if (on()) m_log.write(" %05d  |  1. Frame der neuen Szene Nr. %d", frame + 1, sceneNumber);
}

void DvDetectionTrace::cancelled(int32_t frame) {
    if (on()) m_log.write(" %05d  |  ##### Canceled by user", frame + 1);
}

void DvDetectionTrace::readError(int32_t frame, int readerResult) {
    if (on()) m_log.write(" %05d  |  ##### Lesefehler -55 / %d", frame + 1, readerResult);
}

void DvDetectionTrace::invalidTime(int32_t frame) {
    if (on()) m_log.write(" %05d  |  ##### Ungueltige Zeit -57 , Default gesetzt", frame + 1);
}

void DvDetectionTrace::addSceneFailed(int32_t frame, int code, int readerResult) {
    if (on()) m_log.write(" %05d  |  ##### Fehler in AddNewScene %d / %d", frame + 1, code, readerResult);
}

void DvDetectionTrace::chunkStatistics(const std::vector<avi::AviReader::ChunkCount>& counts) {
    if (!on()) return;
    m_log.write("\n----------------------------------------------");
    m_log.write("TAGs");
    for (const auto& entry : counts)
        m_log.write(" %s : %lld", fourccText(entry.fourcc).c_str(), static_cast<long long>(entry.count));
}

void DvDetectionTrace::fileFailed(int32_t frame, int status, int readerResult) {
    if (on()) m_log.write(" %05d  |  ##### Fehler in FindPerDvDatestamp() / %d / %d", frame + 1, status, readerResult);
}

}  // namespace klemora::detect
