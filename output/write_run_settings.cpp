#include "output/write_run_settings.h"

namespace klemora::output {

WriteRunSettings readWriteRunSettings(const app::SettingsStore& store) {
    WriteRunSettings s;
    s.destinationPath = store.readText("Destinationpath", "");
    s.formatString = store.readText("FormatString", "%N3_%Q");
    s.shutdown = store.readInt("WriteShutdown", 0) != 0;
    s.selectedOnly = store.readInt("WriteSelectedOnly", 0) != 0;
    s.okOnly = store.readInt("WriteOkOnly", 0) != 0;
    s.setDatestamp = store.readInt("WriteSetDatestamp", 0) != 0;
    s.deleteSourceFiles = store.readInt("DeleteSrcFiles", 0) != 0;
    s.signal = store.readInt("WriteSignal", 0) != 0;
    return s;
}

void writeWriteRunSettings(const app::SettingsStore& store, const WriteRunSettings& s) {
    store.writeText("Destinationpath", s.destinationPath);
    store.writeText("FormatString", s.formatString);
    store.writeInt("WriteShutdown", s.shutdown ? 1 : 0);
    store.writeInt("WriteSelectedOnly", s.selectedOnly ? 1 : 0);
    store.writeInt("WriteOkOnly", s.okOnly ? 1 : 0);
    store.writeInt("WriteSetDatestamp", s.setDatestamp ? 1 : 0);
    store.writeInt("DeleteSrcFiles", s.deleteSourceFiles ? 1 : 0);
    store.writeInt("WriteSignal", s.signal ? 1 : 0);
}

}  // namespace klemora::output
