#include "app/framework_check.h"

#include "app/string_table.h"

namespace klemora::app {

bool checkMediaFramework(const FrameworkVersion& version, const SettingsStore& store, UserInterface& ui) {
    if (store.readInt("dxTested", 0) == 1) return true;
    if (!version.determinable) {
        ui.showMessage(loadString(322), Icon::Information);
        return true;
    }
    if (version.packed == 0) {
        ui.showMessage(loadString(320), Icon::Stop);
        return false;
    }
    if (version.packed < kMinimumFrameworkVersion) {
        ui.showMessage(loadString(321) + "\nInstalled DX version: " + version.text, Icon::Stop);
        return true;
    }
    store.writeInt("dxTested", 1);
    return true;
}

}  // namespace klemora::app
