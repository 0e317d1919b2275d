#include "camera/captured_files.h"

#include <strings.h>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_reader.h"
#include "scene/list_failure.h"

namespace klemora::camera {

int CapturedFiles::add(const std::string& path) {
    for (int i = 0; i < m_scenes.count(); ++i)
        if (strcasecmp(std::string(m_scenes.sourceFile(i)).c_str(), path.c_str()) == 0) return 0;

    avi::AviReader reader(&m_ui);
    if (int rc = reader.Open(path, "r"); rc != 1) {
        m_ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(), rc),
                         app::Icon::Stop);
        return rc;
    }
    const int32_t frames = reader.GetFrameCount();
    if (frames < 1) {
        // A capture that got no frame has no scene to show.
        m_log.write("CameraIO: captured file %s has no frames, not listed", path.c_str());
        return 0;
    }
    int index = m_scenes.AddNewScene();
    int rc = index < 0 ? index : m_scenes.setSourceFile(index, path);
    if (rc < 0) {
        if (index >= 0) scene::showShrinkFailure(m_ui, m_scenes.removeRecord(index));
        scene::showListFailure(m_ui, index);
        m_ui.showMessage(app::stringPrintf("%s AddNewScene()!\nCode: %d", app::loadString(113).c_str(), rc),
                         app::Icon::Stop);
        return rc;
    }
    const scene::RecordingTime recorded = reader.GetRecordingDateTime();
    m_scenes.setStartFrame(index, 0);
    m_scenes.setStopFrame(index, frames - 1);
    m_scenes.setFramesPerSecond(index, reader.GetFrameRate());
    m_scenes.setDvType(index, reader.GetDvType());
    m_scenes.setRecordingTime(index, &recorded);
    m_scenes.setFileFirstFrame(index, 0);
    m_scenes.setFileLastFrame(index, frames - 1);
    return 1;
}

}  // namespace klemora::camera
