#pragma once
// The scenes dragged out of the scene list: their row numbers in the shown
// list, in a MIME type of our own so that only our views take the drop.
#include <vector>

class QMimeData;

namespace klemora::gui {

inline constexpr char kSceneRowsMimeType[] = "application/x-klemora-scene-rows";

// A new QMimeData (the drag owns it) holding `rows`.
QMimeData* sceneRowsMimeData(const std::vector<int>& rows);
// The rows of such data; empty for no data, another type, or bytes that are
// not a list of rows (a drag from another program can carry anything).
std::vector<int> sceneRowsFrom(const QMimeData* data);

}  // namespace klemora::gui
