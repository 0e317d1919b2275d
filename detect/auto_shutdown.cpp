#include "detect/auto_shutdown.h"

#include <string>

#include "app/paths.h"
#include "scene/project_file.h"

namespace klemora::detect {

bool AutoShutdown(scene::SceneList& scenes, app::PowerControl& power, app::UserInterface& ui) {
    std::string folder = app::documentsFolder();
    if (folder.empty()) {
        ui.showMessage("Can't receive MyDocumentsPath. Please contact the autor of Klemora.", app::Icon::Stop);
        return false;
    }
    scene::writeFlatFile(folder + "/" + kAutoScanFileName, scenes);
    app::ShutdownPc(power, ui);
    return true;
}

}  // namespace klemora::detect
