#include "gui/saved_placement.h"

namespace klemora::gui {

void restorePlacement(QWidget& window, const app::SettingsStore& settings, const std::string& prefix) {
    int x1 = settings.readInt(prefix + "X1", -1);
    if (x1 >= 0) {
        int y1 = settings.readInt(prefix + "Y1", -1);
        int x2 = settings.readInt(prefix + "X2", -1);
        int y2 = settings.readInt(prefix + "Y2", -1);
        if (x2 > x1 && y2 > y1) window.setGeometry(x1, y1, x2 - x1, y2 - y1);
    }
    if (settings.readInt(prefix + "Max", 0) != 0) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void storePlacement(const QWidget& window, const app::SettingsStore& settings, const std::string& prefix) {
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    settings.writeInt(prefix + "Max", window.isMaximized() ? 1 : 0);
    settings.writeInt(prefix + "X1", normal.left());
    settings.writeInt(prefix + "Y1", normal.top());
    settings.writeInt(prefix + "X2", normal.left() + normal.width());
    settings.writeInt(prefix + "Y2", normal.top() + normal.height());
}

}  // namespace klemora::gui
