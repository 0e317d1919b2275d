#pragma once
// The files captured during one use of the camera dialog, each as one scene
// covering the whole file, for the main window to take over.
#include <string>

#include "app/debug_log.h"
#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::camera {

class CapturedFiles {
public:
    explicit CapturedFiles(app::UserInterface& ui, app::DebugLog log = {}) : m_ui(ui), m_log(std::move(log)) {}

    // 1 added, 0 already listed (names compared without regard to case) or
    // without frames, else the failing code (the reader's open result, or AddNewScene's).
    int add(const std::string& path);
    const scene::SceneList& scenes() const { return m_scenes; }
    scene::SceneList& scenes() { return m_scenes; }

private:
    app::UserInterface& m_ui;
    const app::DebugLog m_log;
    scene::SceneList m_scenes;
};

}  // namespace klemora::camera
