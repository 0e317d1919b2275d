#include "app/startup.h"

#include "app/language_setup.h"
#include "app/string_table.h"

namespace klemora::app {

bool screenLargeEnough(int width, int height) { return width > 799 && height > 599; }

StartupResult startUp(const SettingsStore& store, const StartupFacts& facts, UserInterface& ui,
                      const std::function<void()>& firstStart) {
    StartupResult result;
    result.log = DebugLog(store.readInt("WriteLogfile", 0));
    switch (setupLanguage(store, ui, facts.programFolder)) {
    case LanguageOutcome::FirstStart:
        firstStart();
        return result;
    case LanguageOutcome::EndProgram: return result;
    case LanguageOutcome::German:
    case LanguageOutcome::English: break;
    }
    if (!checkMediaFramework(facts.framework, store, ui)) return result;
    if (!screenLargeEnough(facts.screenWidth, facts.screenHeight)) {
        ui.showMessage(loadString(362), Icon::Information);
        return result;
    }
    result.runMainWindow = true;
    return result;
}

}  // namespace klemora::app
