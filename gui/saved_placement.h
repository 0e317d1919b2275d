#pragma once
// A window's placement in the settings: "<prefix>Max" (1 = maximised) and
// the normal rectangle "<prefix>X1", "Y1", "X2", "Y2", applied only when X1
// is 0 or more.
#include <QWidget>
#include <string>

#include "app/settings_store.h"

namespace klemora::gui {

void restorePlacement(QWidget& window, const app::SettingsStore& settings, const std::string& prefix);
void storePlacement(const QWidget& window, const app::SettingsStore& settings, const std::string& prefix);

}  // namespace klemora::gui
