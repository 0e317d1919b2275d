#include "detect/dv_file_scan.h"

#include <algorithm>
#include <string>

#include "app/string_table.h"
#include "avi/avi_result.h"
#include "avi/dv_pack.h"
#include "detect/scene_break_rule.h"
#include "scene/list_failure.h"

namespace klemora::detect {
namespace {

constexpr int32_t kProgressStep = 200;  // progress, pending UI work and the stop button, every 200 frames

int statusCode(DvDetectionStatus status) { return static_cast<int>(status); }

// The four handler bytes as letters; a missing handler must not cut the message.
std::string handlerLetters(const avi::AviReader& reader) {
    char handler[5] = {};
    reader.GetVideoHandler(handler);
    std::string letters(handler, 4);
    for (char& c : letters)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return letters;
}

}  // namespace

DvFileScan::DvFileScan(avi::AviReader& reader, scene::SceneList& scenes, app::UserInterface& ui,
                       const DvDetectionSettings& settings, DvDetectionTrace& trace)
    : m_reader(reader), m_scenes(scenes), m_ui(ui), m_settings(settings), m_trace(trace) {}

FileScanResult DvFileScan::scan(const SearchSource& source) {
    m_source = &source;
    m_result = {};
    m_result.frame = source.firstFrame;
    m_ui.setProgressSource(source.path);
    m_trace.newFile(source.path);

    // A record holds at most 260 characters of path; a longer one could not name its scenes.
    m_result.readerResult = source.path.size() > scene::kMaxPathLength
                                ? static_cast<int>(avi::OpenResult::CannotOpen)
                                : m_reader.Open(source.path, "r");
    if (m_result.readerResult != 1) {
        m_result.status = statusCode(DvDetectionStatus::OpenFailed);
    } else if (m_reader.GetDvType() == 0) {
        if (!keepNonDvFile(source)) {
            m_reader.Close();
            m_ui.setProgressPosition(0);
            m_result.status = statusCode(DvDetectionStatus::Stopped);
            m_result.endRun = true;
            return m_result;
        }
        m_result.skipped = true;
    } else {
        if (std::string damage = avi::walkDamageText(m_reader); !damage.empty())
            m_ui.showMessage(damage, app::Icon::Warning);
        scanRange(std::max(source.firstFrame, 0), std::min(source.lastFrame, m_reader.GetFrameCount() - 1));
    }
    m_trace.chunkStatistics(m_reader.chunkStatistics());
    m_reader.Close();
    return m_result;
}

bool DvFileScan::keepNonDvFile(const SearchSource& source) {
    std::string text = app::loadString(342) + "\nFile: " + source.path + "\nType: " + handlerLetters(m_reader);
    return m_ui.ask(text, app::Buttons::OkCancel, app::Icon::Information) == app::Answer::Ok;
}

// A range beyond the file's frames is cut to them; one with no frame left
// is a read failure, so nothing is found silently.
void DvFileScan::scanRange(int32_t first, int32_t last) {
    if (first > last) {
        m_result.status = statusCode(DvDetectionStatus::ReadFailed);
        m_result.readerResult = static_cast<int>(avi::ReadResult::FrameOutOfRange);
        return;
    }
    m_first = first;
    m_last = last;
    m_ui.setProgressRange(last);
    m_ui.setProgressPosition(first);
    showNextSceneNumber();
    m_time = scene::kNoRecordingTime;
    m_timecode = {};
    m_stampValid = false;
    const int timecodeRate = m_reader.isPal() ? 25 : 30;
    SceneBreakRule* rule = m_settings.breakRule ? m_settings.breakRule->forRange(m_reader, first, last) : nullptr;

    RecordingStamp previous;
    bool dated = false;
    for (int32_t n = first; n <= last; ++n) {
        m_result.frame = n;
        if (n % kProgressStep == 0 && stopRequested(n)) break;
        if (!readFrame(n)) break;
        RecordingStamp& stamp = frameStamp(n);
        avi::ReadDvTimecode(m_reader, m_timecode);
        m_trace.frame(n, m_timecode, m_time, timecodeRate);
        if (n == first) startScene(n);
        if (rule) {
            if (rule->startsScene(m_reader, n) && n != first && !breakScene(n)) return;
            continue;
        }
        if (!dated) {
            // Frames before the first one with a recording time belong to the first scene.
            if (!carriesRecordingTime()) continue;
            dated = true;
            m_sceneStart.date = m_time;
            m_sceneStart.timecode = m_timecode;
            m_trace.sceneInit(n, m_timecode, m_time);
        } else if (stamp.apartFrom(previous, m_settings.datestampDiff) && !breakScene(n)) {
            return;  // the list takes no more scenes: the rest of the file is skipped
        }
        previous = stamp;
    }

    SceneBounds bounds = lastSceneBounds(m_sceneStart.frame, m_first, m_last, m_settings.trimCount);
    addScene(bounds, m_result.frame, -59);
}

bool DvFileScan::stopRequested(int32_t frame) {
    m_ui.setProgressPosition(frame);
    m_ui.pump();
    if (!m_ui.cancelled()) return false;
    m_trace.cancelled(frame);
    m_result.status = statusCode(DvDetectionStatus::Stopped);
    if (frame == m_first) startScene(frame);  // stopped before the first frame: the scene still needs its start
    return true;
}

bool DvFileScan::readFrame(int32_t frame) {
    // Only the packs are looked at: the reader fetches just the bytes they need.
    m_result.readerResult =
        m_reader.ReadRawPictureData(frame, m_settings.wholeFrames ? avi::FrameLoad::Whole : avi::FrameLoad::OnDemand);
    if (m_result.readerResult == 1) return true;
    m_trace.readError(frame, m_result.readerResult);
    m_result.status = statusCode(DvDetectionStatus::ReadFailed);
    if (frame == m_first) startScene(frame);
    return false;
}

bool DvFileScan::carriesRecordingTime() {
    avi::DvPack pack;
    return avi::FindDvPack(m_reader, avi::kPackRecordingDate, pack) == 1 ||
           avi::FindDvPack(m_reader, avi::kPackRecordingTime, pack) == 1;
}

RecordingStamp& DvFileScan::frameStamp(int32_t frame) {
    avi::ReadDvDateTime(m_reader, m_time);
    if (m_stampValid && m_time == m_stamp.time()) return m_stamp;
    if (!m_stamp.set(m_time)) {
        m_trace.invalidTime(frame);
        m_time = scene::kNoRecordingTime;
        m_stamp.set(m_time);
    }
    m_stampValid = true;
    return m_stamp;
}

void DvFileScan::startScene(int32_t frame) {
    // The wide-screen flag of the scene's own first frame, like its date and timecode.
    m_sceneStart = {frame, m_time, m_timecode, avi::IsWideScreen(m_reader)};
}

bool DvFileScan::breakScene(int32_t frame) {
    m_trace.newScene(frame, m_scenes.count() + 2);
    SceneBounds bounds = innerSceneBounds(m_sceneStart.frame, frame, m_first, m_settings.trimCount);
    if (!addScene(bounds, frame, -58)) {
        m_result.status = statusCode(DvDetectionStatus::Ok);
        return false;
    }
    startScene(frame);
    showNextSceneNumber();
    return true;
}

bool DvFileScan::addScene(SceneBounds bounds, int32_t frame, int failureCode) {
    int index = m_scenes.AddNewScene();
    if (index < 0) {
        m_trace.addSceneFailed(frame, failureCode, m_result.readerResult);
        scene::showListFailure(m_ui, index);
        m_ui.showMessage(app::loadString(113) + " AddNewScene()!\nCode: " + std::to_string(index), app::Icon::Stop);
        return false;
    }
    fillRecord(index, bounds);
    return true;
}

void DvFileScan::fillRecord(int index, SceneBounds bounds) {
    m_scenes.setSourceFile(index, m_source->path);
    m_scenes.setStartFrame(index, bounds.startFrame);
    m_scenes.setStopFrame(index, bounds.stopFrame);
    m_scenes.setDefinedStart(index, bounds.startFrame);
    m_scenes.setDefinedStop(index, bounds.stopFrame);
    m_scenes.setRecordingTime(index, &m_sceneStart.date);
    m_scenes.setAllKeyframes(index, m_reader.allKeyframes() ? 1 : 0);
    m_scenes.setDvType(index, m_reader.GetDvType());
    m_scenes.setOpenDmlKind(index, m_reader.GetOpenDmlType());
    if (m_reader.GetFrameRate() > 0) m_scenes.setFramesPerSecond(index, m_reader.GetFrameRate());
    m_scenes.setFileFirstFrame(index, 0);
    m_scenes.setFileLastFrame(index, m_reader.GetFrameCount());
    m_scenes.setWideScreen(index, m_sceneStart.wideScreen ? 1 : 0);
    m_scenes.setTimecode(index, m_sceneStart.timecode);
    char handler[5] = {};
    m_reader.GetVideoHandler(handler);
    m_scenes.setVideoFourcc(index, handler);
}

void DvFileScan::showNextSceneNumber() {
    m_ui.setProgressDestination(app::loadString(341) + " " + std::to_string(m_scenes.count() + 1));
}

}  // namespace klemora::detect
