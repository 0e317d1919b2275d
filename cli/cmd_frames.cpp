// "frames": every frame of a file as BMP pictures, named with the frame
// counted from 0 ("clip_f00000.bmp") as the picture sequence of the
// additional functions names them, with a progress bar on the terminal.
#include <iostream>
#include <string>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "media/picture_export.h"

namespace klemora::cli {
namespace {

struct FramesOptions {
    std::string file;
    std::string dest;
};

int exportFrames(const FramesOptions& options, TerminalUserInterface& ui) {
    if (!inputFileExists(options.file, ui) || !makeDestinationFolder(options.dest, ui)) return 1;
    media::MediaSettings settings = media::readMediaSettings(app::settings());
    settings.log = commandLog();
    int32_t written = 0;
    int rc;
    {
        app::ProgressScope progress(ui);
        ui.setProgressSource(options.file);
        ui.setProgressDestination(options.dest);
        rc = media::SaveSceneAsBMP(options.file, options.dest, settings, ui, &written);
    }
    if (rc != 1) {
        ui.showMessage(app::stringPrintf("%s SaveSceneAsBMP()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                                         options.file.c_str(), rc),
                       app::Icon::Stop);
        return 1;
    }
    std::cout << written << " pictures written to " << options.dest << '\n';
    return ui.cancelled() ? 1 : 0;
}

RegisterCommand registration("frames", "Save every frame of a video as BMP pictures",
                             [](CLI::App& sub, CommandAction& action) {
                                 auto options = std::make_shared<FramesOptions>();
                                 sub.add_option("FILE", options->file, "Source video")->required();
                                 sub.add_option("--dest", options->dest, "Folder for the pictures, made when missing")
                                     ->required();
                                 action = [options](TerminalUserInterface& ui) { return exportFrames(*options, ui); };
                             });

}  // namespace
}  // namespace klemora::cli
