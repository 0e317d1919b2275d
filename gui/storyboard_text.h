#pragma once
// The storyboard's text field below the stripes: the focused scene's number
// and status, duration, recording time, timecodes, source and comment.
#include <QString>

namespace klemora::scene {
class SceneList;
}

namespace klemora::gui {

// `german`: the labels end in ":\t\t" (the German labels are shorter in
// tabs' terms), else in ":\t". A row outside the list gives an empty text.
QString storyboardSceneText(const scene::SceneList& list, int row, bool german);

}  // namespace klemora::gui
