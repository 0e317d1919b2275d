#include "detect/picture_scene_search.h"

#include <algorithm>
#include <memory>
#include <new>

#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "detect/picture_read_ahead.h"
#include "detect/search_source.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/media_result.h"
#include "media/picture_grab.h"
#include "scene/field_checks.h"
#include "scene/list_failure.h"
#include "scene/time_text.h"

extern "C" {
#include <libavutil/error.h>
}

namespace klemora::detect {
namespace {

constexpr int code(PictureSearchResult result) { return static_cast<int>(result); }

// The coarse probe after `probe`: the frame most often asked for next.
constexpr int32_t nextProbe(int32_t probe) { return probe + kCoarseStep; }

void showInternalError(app::UserInterface& ui, const char* errorCode) {
    ui.showMessage(app::stringPrintf("%s\nCode: %s", app::loadString(117).c_str(), errorCode), app::Icon::Stop);
}

// The search of one file: the open probe, the picture buffer, and where the
// scene in hand started.
class FileSearch {
public:
    FileSearch(const std::string& fileName, scene::SceneList& scenes, PictureDiffDetector& detector, int32_t trimWidth)
        : m_fileName(fileName), m_scenes(scenes), m_detector(detector), m_ui(detector.ui()), m_trimWidth(trimWidth),
          m_info(detector.fixRatio, detector.debugLog) {
        m_packReader.setLog(detector.debugLog);
    }
    ~FileSearch() {
        m_pictures.reset();  // before the file's decoder goes with m_info
        m_detector.endFile();
        m_ui.setProgressPosition(0);
    }

    int prepare(int32_t first, int32_t last);
    int run();

private:
    int openSource();
    int preparePicture();
    // Returns the scene's last frame and moves `m_position` to the next scene's first.
    int32_t coarseSearch(int32_t start);
    bool fineSearch(int32_t base, int32_t probe, int32_t& count, int32_t& stop);
    // `next`: the frame likely asked for after this one, grabbed meanwhile.
    bool compareWith(int32_t frame, int32_t next);
    void grab(int32_t frame, int32_t next);
    void fillRecord(int index, int32_t start, int32_t stop);
    void fillTimes(int index, int32_t start);
    void readFramePacks(int32_t frame, scene::RecordingTime& time, scene::Timecode& timecode);

    const std::string& m_fileName;
    scene::SceneList& m_scenes;
    PictureDiffDetector& m_detector;
    app::UserInterface& m_ui;
    const int32_t m_trimWidth;
    media::MediaInfo m_info;
    // DV frames carry their own recording time and timecode: a scene's come
    // from the packs of its first frame, read through our AVI reader.
    avi::AviReader m_packReader;
    std::unique_ptr<PictureReadAhead> m_pictures;
    int32_t m_first = 0, m_last = 0, m_position = 0;
    bool m_grabFailureShown = false;
};

int FileSearch::prepare(int32_t first, int32_t last) {
    if (!m_detector.progressAttached) {
        showInternalError(m_ui, "KLM-AS-1001");
        return code(PictureSearchResult::NoPictureBuffer);
    }
    if (int rc = openSource(); rc != 1) return rc;
    m_first = std::max(first, 0);
    m_last = std::min(last, m_info.frameCount - 1);
    return preparePicture();
}

int FileSearch::openSource() {
    m_info.decoderThreads = m_detector.plainReading ? 1 : 0;
    int rc = media::ProbeMedia(m_fileName, m_info, m_ui);
    // Files other than AVI have no reader facts; that is no failure.
    if (rc == 1) {
        int facts = media::GetExtraData(m_info, false, m_ui);
        if (facts != static_cast<int>(media::ExtraDataResult::NotAvi)) rc = facts;
    }
    if (rc == 1) {
        // A DV file the reader cannot open keeps the times worked out from the first frame.
        if (m_info.isDv) m_packReader.Open(m_fileName, "r");
        return 1;
    }
    m_ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), m_fileName.c_str(), rc),
                     app::Icon::Stop);
    return code(PictureSearchResult::OpenFailed);
}

int FileSearch::preparePicture() {
    int32_t size = media::GetPictureBufferSize(0, 0, m_info);
    if (size < 0) {
        showInternalError(m_ui, "KLM-AS-1002");
        return code(PictureSearchResult::NoPictureBuffer);
    }
    try {
        m_pictures = std::make_unique<PictureReadAhead>(m_info, static_cast<size_t>(size), m_detector.plainReading);
    } catch (const std::bad_alloc&) {
        m_ui.showMessage(app::loadString(109), app::Icon::Stop);
        return code(PictureSearchResult::OutOfMemory);
    }
    if (m_pictures->grab(m_first, nextProbe(m_first), m_ui) != 1) {
        showInternalError(m_ui, "KLM-AS-1003");
        return code(PictureSearchResult::FirstFrameFailed);
    }
    if (m_detector.InitSearch(m_pictures->picture(), m_fileName) != 1) {
        showInternalError(m_ui, "KLM-AS-1004");
        return code(PictureSearchResult::InitFailed);
    }
    return 1;
}

int FileSearch::run() {
    m_ui.setProgressRange(m_last);
    m_position = m_first;
    // A range of one frame is still one scene.
    bool firstScene = true;
    while (m_position < m_last || firstScene) {
        firstScene = false;
        m_ui.setProgressDestination(app::stringPrintf("%s %d", app::loadString(341).c_str(), m_scenes.count() + 1));
        int index = m_scenes.AddNewScene();
        if (index < 0) {
            scene::showListFailure(m_ui, index);
            m_ui.showMessage(app::stringPrintf("%s AddNewScene()!\nCode: %d", app::loadString(113).c_str(), index),
                             app::Icon::Stop);
            return code(PictureSearchResult::AddSceneFailed);
        }
        const int32_t start = m_position;
        m_scenes.setSourceFile(index, m_fileName);
        m_scenes.setStartFrame(index, start);
        int32_t stop = coarseSearch(start);
        fillRecord(index, start, stop);
        m_detector.log().write("-- SceneEnd --\n");
    }
    return m_detector.cancelRequested() ? code(PictureSearchResult::Cancelled) : code(PictureSearchResult::Done);
}

// Every 25th frame against the one before it; a change is followed up only
// when the scene could already be long enough.
int32_t FileSearch::coarseSearch(int32_t start) {
    int32_t probe = start + kCoarseStep, base = start + 1, count = kCoarseStep + 1;
    m_position = probe;
    while (probe < m_last) {
        m_ui.setProgressPosition(probe);
        m_detector.log().write("F:  %4d-%4d / sCnt: %4d / ", base, base + kCoarseStep, count);
        bool changed = compareWith(probe, nextProbe(probe));
        int32_t stop = 0;
        if (changed && count + kCoarseStep >= m_detector.minFrameCount) {
            if (fineSearch(base, probe, count, stop)) return stop;
        }
        count += kCoarseStep;
        m_ui.pump();
        if (m_detector.cancelRequested()) {
            m_position = m_last + 1;
            return m_last;
        }
        base += kCoarseStep;
        probe += kCoarseStep;
        m_position = probe;
    }
    return m_last;
}

// Frame by frame from the one after the previous probe up to the probe; the
// first changed frame far enough from the scene start begins the next scene.
bool FileSearch::fineSearch(int32_t base, int32_t probe, int32_t& count, int32_t& stop) {
    m_detector.log().write(" B: init:%4d / sCnt: %4d / ", base, count - kCoarseStep);
    compareWith(base - 1, base);
    count -= kCoarseStep - 1;
    for (int32_t b = base; b <= probe; ++b) {
        m_detector.log().write(" B:      %4d / sCnt: %4d / ", b + 1, count);
        if (!compareWith(b, b < probe ? b + 1 : nextProbe(probe))) {
            ++count;
            continue;
        }
        if (count > m_detector.minFrameCount) {
            stop = b - 1;
            m_position = b;
            m_detector.log().write("\n - STOP");
            return true;
        }
        count = 0;
    }
    return false;
}

bool FileSearch::compareWith(int32_t frame, int32_t next) {
    grab(frame, next <= m_last ? next : -1);
    return m_detector.CompareFrame(m_pictures->picture());
}

// A frame that cannot be decoded leaves the last picture in the buffer. Its
// message is shown once per file: a damaged stretch would bring one per frame.
void FileSearch::grab(int32_t frame, int32_t next) {
    app::SilentUserInterface quiet;
    app::UserInterface& ui = m_grabFailureShown ? quiet : m_ui;
    const int rc = m_pictures->grab(frame, next, ui);
    if (rc == 1) return;
    m_grabFailureShown = true;
    // The video ends before its stated length: the search ends there too
    // instead of asking for every frame up to that length.
    if (rc == AVERROR_EOF && frame <= m_last) m_last = std::max(frame - 1, m_first);
}

void FileSearch::fillRecord(int index, int32_t start, int32_t stop) {
    if (m_detector.trim && stop - m_trimWidth >= start + m_trimWidth) {
        if (start != m_first) start += m_trimWidth;
        if (stop != m_last) stop -= m_trimWidth;
    }
    m_scenes.setStartFrame(index, start);
    m_scenes.setStopFrame(index, stop);
    m_scenes.setAllKeyframes(index, m_info.allKeyframes);
    m_scenes.setDvType(index, media::GetDvType(m_info));
    m_scenes.setOpenDmlKind(index, media::GetOpenDmlKind(m_info));
    if (m_info.frameRate > 0) m_scenes.setFramesPerSecond(index, m_info.frameRate);
    m_scenes.setFileFirstFrame(index, 0);
    m_scenes.setFileLastFrame(index, m_info.frameCount - 1);
    m_scenes.setWideScreen(index, m_info.wideScreen);
    m_scenes.setVideoFourcc(index, m_info.fourcc);
    m_scenes.setDefinedStart(index, start);
    m_scenes.setDefinedStop(index, stop);
    fillTimes(index, start);
}

// Without packs: the first frame's time and timecode moved on by the start.
// That is wrong past a stop of the camera, where a DV take begins with its
// own time, so a DV scene takes them from its own first frame.
void FileSearch::fillTimes(int index, int32_t start) {
    // A file without a recording date keeps the mark for "none" rather than a made-up date.
    scene::RecordingTime time = m_info.recordingTime;
    if (time != scene::kNoRecordingTime) time = scene::addFramesToRecordingTime(time, start, m_info.frameRate);
    scene::Timecode timecode = scene::addFramesToTimecode(m_info.timecode, start, m_info.frameRate);
    readFramePacks(start, time, timecode);
    m_scenes.setRecordingTime(index, &time);
    m_scenes.setTimecode(index, timecode);
}

// Each pack found replaces its part of the values; a frame that cannot be
// read or carries none keeps them.
void FileSearch::readFramePacks(int32_t frame, scene::RecordingTime& time, scene::Timecode& timecode) {
    if (!m_packReader.isOpen() || m_packReader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand) != 1) return;
    avi::DvPack pack;
    bool dated = avi::FindDvPack(m_packReader, avi::kPackRecordingDate, pack) == 1 ||
                 avi::FindDvPack(m_packReader, avi::kPackRecordingTime, pack) == 1;
    if (dated) {
        avi::ReadDvDateTime(m_packReader, time);
        // A damaged pack names no moment: no date rather than another day.
        if (!scene::isCalendarTime(time)) time = scene::kNoRecordingTime;
    }
    if (avi::FindDvPack(m_packReader, avi::kPackTimecode, pack) == 1) avi::ReadDvTimecode(m_packReader, timecode);
}

}  // namespace

int SearchScenes(const std::string& fileName, scene::SceneList& scenes, PictureDiffDetector& detector, int32_t first,
                 int32_t last) {
    FileSearch search(fileName, scenes, detector, std::clamp(detector.trimWidth, 1, kMaxTrimCount));
    if (int rc = search.prepare(first, last); rc != 1) return rc;
    return search.run();
}

}  // namespace klemora::detect
