#include "output/speed_copy.h"

#include <algorithm>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "output/additional_settings.h"
#include "output/name_check.h"
#include "output/output_steps.h"
#include "output/scene_writer.h"
#include "output/write_messages.h"

namespace klemora::output {
namespace {

int code(SpeedCopyResult result) { return static_cast<int>(result); }

std::string withoutExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

}  // namespace

std::string speedCopyPath(const std::string& sourcePath, const std::string& folder, float speedFactor) {
    std::string stem = folder.empty() ? withoutExtension(sourcePath)
                                      : joinPath(folder, withoutExtension(app::fileNameOf(sourcePath)));
    return stem + app::stringPrintf("_f%.3f.avi", static_cast<double>(speedFactor));
}

bool speedFactorAccepted(float speedFactor, app::UserInterface& ui) {
    if (speedFactor >= kMinSpeedFactor) return true;
    ui.showMessage(app::loadString(187), app::Icon::Warning);
    return false;
}

int SpeedCopies(const std::vector<std::string>& files, float speedFactor, const std::string& folder,
                WriteContext& context) {
    app::UserInterface& ui = context.ui;
    if (!speedFactorAccepted(speedFactor, ui)) return code(SpeedCopyResult::FactorOutOfRange);
    speedFactor = std::min(speedFactor, kMaxSpeedFactor);
    app::ProgressScope progress(ui);
    for (const std::string& source : files) context.sources.add(source);
    for (size_t f = 0; f < files.size(); ++f) {
        const std::string& source = files[f];
        std::string destination = speedCopyPath(source, folder, speedFactor);
        if (destination.size() > kMaxDestinationPath) {
            showFileMessage(ui, app::loadString(138), destination, app::Icon::Stop);
            continue;
        }
        ui.setProgressSource(source);
        ui.setProgressDestination(destination);
        if (refuseSourceAsDestination(context, destination)) {
            ++context.failedScenes;
            continue;
        }
        if (app::fileExists(destination)) {
            // Yes lets the write replace the file at its end, so a failed write keeps it.
            app::Answer answer = ui.ask(app::stringPrintf("%s\nFile: %s", app::loadString(139).c_str(),
                                                          destination.c_str()),
                                        app::Buttons::YesNoCancel, app::Icon::Question);
            if (answer == app::Answer::No) continue;
            if (answer == app::Answer::Cancel) return code(SpeedCopyResult::Cancelled);
        }
        int rc = WriteScene(source, destination, context, -1, -1, speedFactor);
        if (rc == 1 && context.droppedStoppedPart()) return code(SpeedCopyResult::Cancelled);
        if (rc != 1) {
            ++context.failedScenes;
            ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d)", app::loadString(176).c_str(), source.c_str(), rc),
                           app::Icon::Stop);
            if (f + 1 == files.size()) return code(SpeedCopyResult::LastFileFailed);
            if (ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) == app::Answer::No)
                return code(SpeedCopyResult::Stopped);
        }
        if (context.cancelled()) return code(SpeedCopyResult::Cancelled);
    }
    return 1;
}

}  // namespace klemora::output
