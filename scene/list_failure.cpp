#include "scene/list_failure.h"

#include "app/string_table.h"

namespace klemora::scene {

void showListFailure(app::UserInterface& ui, int code) {
    if (code == -1) ui.showMessage(app::loadString(140), app::Icon::Stop);
    if (code == -2) ui.showMessage(app::loadString(109), app::Icon::Stop);
}

void showShrinkFailure(app::UserInterface& ui, int code) {
    if (code == -1) ui.showMessage(app::loadString(141), app::Icon::Stop);
}

}  // namespace klemora::scene
