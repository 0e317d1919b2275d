#pragma once
// The main window's toolbar glyphs, drawn at run time on a 25 x 20 grid.
// Each icon holds a normal, a hot (QIcon::Active, shown under the mouse)
// and a disabled picture, at 1x and 2x.
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace klemora::gui {

enum class ToolbarIcon {
    NewProject, LoadProject, SaveProject, DvCapture, AddAvi, WriteAvi,
    SceneDetection, ManualSplit, TrimAll, Storyboard, Help
};

inline constexpr QSize kToolbarIconSize{25, 20};

QIcon toolbarIcon(ToolbarIcon which);

// One picture of the icon, `scale` times the grid (for the icon and to look at it enlarged).
QPixmap toolbarPixmap(ToolbarIcon which, QIcon::Mode mode, qreal scale);

}  // namespace klemora::gui
