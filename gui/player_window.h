#pragma once
// The play window of the main window's "play scenes": a top-level window
// that plays one frame range of a file, or the scenes of a list one after
// another, at their speed factors, with sound, where the caller's placement
// says; the placement is read back after each play.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "app/ui.h"
#include "media/media_settings.h"
#include "media/play_window.h"
#include "scene/scene_list.h"

namespace klemora::gui {

// 1 after the range ended (or the user closed the window / pressed Esc);
// -12 without a message when stop < start; other failures a negative step
// code after its message. start 0 and stop -1 play the whole file. Returns
// when the play is over; events go on being processed meanwhile.
int playFile(const std::string& path, media::PlayWindowPlacement& placement, int32_t startFrame, int32_t stopFrame,
             float speed, app::UserInterface& ui, const media::MediaSettings& settings, QWidget* parent = nullptr);

// 1 when every scene was played; else the first failing playFile result.
int playScenes(const scene::SceneList& scenes, media::PlayWindowPlacement& placement, app::UserInterface& ui,
               const media::MediaSettings& settings, QWidget* parent = nullptr);

// Tests and the benchmark: called with the play window each time a picture
// has reached its screen (an empty function removes the watcher).
void watchPlayWindow(std::function<void(QWidget& window, int32_t frame)> watcher);

}  // namespace klemora::gui
