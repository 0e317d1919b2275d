#pragma once
// The settings of the write dialog, read when it opens and written back when
// it closes.
#include <string>

#include "app/settings_store.h"

namespace klemora::output {

struct WriteRunSettings {
    std::string destinationPath;          // "Destinationpath"
    std::string formatString = "%N3_%Q";  // "FormatString"
    bool shutdown = false;                // "WriteShutdown"
    bool selectedOnly = false;            // "WriteSelectedOnly" (kept for the dialog)
    bool okOnly = false;                  // "WriteOkOnly"
    bool setDatestamp = false;            // "WriteSetDatestamp"
    bool deleteSourceFiles = false;       // "DeleteSrcFiles"
    bool signal = false;                  // "WriteSignal"
};

WriteRunSettings readWriteRunSettings(const app::SettingsStore& store);
void writeWriteRunSettings(const app::SettingsStore& store, const WriteRunSettings& settings);

}  // namespace klemora::output
