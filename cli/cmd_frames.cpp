// "frames": every frame of a file as BMP pictures, named from 0
// ("clip_f00000.bmp"), with a progress bar on the terminal.
#include <iostream>
#include <string>

#include "app/file_io.h"
#include "cli/command_registry.h"
#include "media/media_result.h"
#include "media/picture_export.h"

namespace klemora::cli {
namespace {

struct FramesOptions {
    std::string file;
    std::string dest;
};

int exportFrames(const FramesOptions& options, TerminalUserInterface& ui) {
    if (!app::isDirectory(options.dest)) {
        std::cerr << "klemora-cli frames: no such folder: " << options.dest << '\n';
        return 2;
    }
    int32_t written = 0;
    int rc;
    {
        app::ProgressScope progress(ui);
        ui.setProgressSource(options.file);
        ui.setProgressDestination(options.dest);
        rc = media::SaveSceneAsBMP(options.file, options.dest, ui, &written);
    }
    if (rc != 1) {
        std::cerr << "klemora-cli frames: SaveSceneAsBMP() code " << rc << " (" << media::exportResultName(rc)
                  << ") after " << written << " pictures\n";
        return 1;
    }
    std::cout << written << " pictures written to " << options.dest << '\n';
    return ui.cancelled() ? 1 : 0;
}

RegisterCommand registration("frames", "Save every frame of a video as BMP pictures",
                             [](CLI::App& sub, CommandAction& action) {
                                 auto options = std::make_shared<FramesOptions>();
                                 sub.add_option("FILE", options->file, "Source video")->required();
                                 sub.add_option("--dest", options->dest, "Folder for the pictures")->required();
                                 action = [options](TerminalUserInterface& ui) { return exportFrames(*options, ui); };
                             });

}  // namespace
}  // namespace klemora::cli
