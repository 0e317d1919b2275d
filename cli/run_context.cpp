#include "cli/run_context.h"

#include <utility>

#include "app/settings_store.h"

namespace klemora::cli {
namespace {

app::DebugLog& storedLog() {
    static app::DebugLog log;
    return log;
}

}  // namespace

const app::DebugLog& commandLog() { return storedLog(); }

void setCommandLog(app::DebugLog log) { storedLog() = std::move(log); }

media::MediaSourceProbe sourceProbe(app::UserInterface& ui) {
    return media::MediaSourceProbe(ui, app::settings().readText("FixRatio", ""), commandLog());
}

}  // namespace klemora::cli
