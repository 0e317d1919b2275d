#pragma once
// A numbered user-interface text of the active language as a QString.
#include <QString>

#include "app/string_table.h"

namespace klemora::gui {

inline QString textOf(int id) { return QString::fromStdString(app::loadString(id)); }

}  // namespace klemora::gui
