#pragma once
// The texts the main window shows beside the preview of one selected scene:
// the slider line under the frame slider and the information panel.
#include <string>

#include "media/media_info.h"
#include "scene/scene_list.h"

namespace klemora::media {

// "Bild 3 von 50 (Bild 13 in Quelldatei)" for frame `position` of scene
// `row`, the position clamped to the scene's start..stop; "" for a row not in
// the list.
std::string sliderLineText(const scene::SceneList& list, int row, int position);

// The seven lines of the information panel: the scene's stream kind with the
// opened source's rate, picture and sound format, then the scene's recording
// time, timecodes, destination and comment; "" for a row not in the list.
std::string sceneInfoText(const scene::SceneList& list, int row, const MediaInfo& opened);

}  // namespace klemora::media
