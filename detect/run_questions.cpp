#include "detect/run_questions.h"

#include "app/string_table.h"

namespace klemora::detect {

bool emptyFoundScenes(scene::SceneList& scenes, app::UserInterface& ui) {
    if (scenes.count() > 0 &&
        ui.ask(app::loadString(112), app::Buttons::OkCancel, app::Icon::Warning) != app::Answer::Ok)
        return false;
    scenes.clear();
    scenes.setModified(true);
    return true;
}

bool continueAfterFailure(app::UserInterface& ui) {
    return ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes;
}

}  // namespace klemora::detect
