#pragma once
// The DV detection over one file of the run: open it, walk its search range
// frame by frame and append the scenes found. Messages that end the file's
// work are the run's business; this only reports how the file ended.
#include <cstdint>

#include "app/ui.h"
#include "avi/avi_reader.h"
#include "detect/dv_detection_trace.h"
#include "detect/dv_scene_bounds.h"
#include "detect/dv_scene_detection.h"
#include "detect/recording_clock.h"
#include "detect/search_source.h"
#include "scene/scene_list.h"

namespace klemora::detect {

struct FileScanResult {
    int status = static_cast<int>(DvDetectionStatus::Ok);
    int readerResult = 1;  // the last result of Open or ReadRawPictureData
    int32_t frame = 0;     // the frame in hand when the file ended
    bool skipped = false;  // not DV, and the user chose OK
    bool endRun = false;   // not DV, and the user chose Cancel
};

class DvFileScan {
public:
    DvFileScan(avi::AviReader& reader, scene::SceneList& scenes, app::UserInterface& ui,
               const DvDetectionSettings& settings, DvDetectionTrace& trace);

    FileScanResult scan(const SearchSource& source);

private:
    // What the scene being collected takes from its first frame.
    struct SceneStart {
        int32_t frame = 0;
        scene::RecordingTime date{};
        scene::Timecode timecode{};
        bool wideScreen = false;
    };

    bool keepNonDvFile(const SearchSource& source);
    void scanRange(int32_t first, int32_t last);
    bool stopRequested(int32_t frame);
    bool readFrame(int32_t frame);
    bool carriesRecordingTime();
    RecordingStamp& frameStamp(int32_t frame);
    void startScene(int32_t frame);
    bool breakScene(int32_t frame);
    bool addScene(SceneBounds bounds, int32_t frame, int failureCode);
    void fillRecord(int index, SceneBounds bounds);
    void showNextSceneNumber();

    avi::AviReader& m_reader;
    scene::SceneList& m_scenes;
    app::UserInterface& m_ui;
    const DvDetectionSettings& m_settings;
    DvDetectionTrace& m_trace;

    const SearchSource* m_source = nullptr;
    FileScanResult m_result;
    int32_t m_first = 0;
    int32_t m_last = 0;
    SceneStart m_sceneStart;
    // Carried from frame to frame: a frame without packs keeps the values before.
    scene::RecordingTime m_time{};
    scene::Timecode m_timecode{};
    // The time changes once a second, frames 25 or 30 times: its stamp is kept.
    RecordingStamp m_stamp;
    bool m_stampValid = false;
};

}  // namespace klemora::detect
