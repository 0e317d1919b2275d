#pragma once
// What every command hands the runs it starts, fixed once at start-up: the
// debug log made from "WriteLogfile".
#include "app/debug_log.h"
#include "app/ui.h"
#include "media/source_probe.h"

namespace klemora::cli {

const app::DebugLog& commandLog();
void setCommandLog(app::DebugLog log);  // by main, before any command runs

// The source probe of a command: the "FixRatio" of its start and the command log.
media::MediaSourceProbe sourceProbe(app::UserInterface& ui);

}  // namespace klemora::cli
