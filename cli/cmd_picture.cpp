// "picture": the picture of one frame as a BMP file, named after the source
// and the frame counted from 1 ("clip_f00001.bmp").
#include <iostream>
#include <string>

#include "cli/command_registry.h"
#include "media/media_result.h"
#include "media/picture_export.h"

namespace klemora::cli {
namespace {

struct PictureOptions {
    std::string file;
    int32_t frame = 0;
    std::string dest;
    int32_t width = 0;
    int32_t height = 0;
};

int exportPicture(const PictureOptions& options, TerminalUserInterface& ui) {
    int32_t frames[] = {options.frame};
    std::string written;
    int rc = media::ExportFramePicture(options.file, options.dest, ui, frames, options.width, options.height, &written);
    if (rc != 1) {
        std::cerr << "klemora-cli picture: ExportFramePicture() code " << rc << " (" << media::exportResultName(rc)
                  << ")\n";
        return 1;
    }
    std::cout << written << '\n';
    return 0;
}

RegisterCommand registration(
    "picture", "Save the picture of one frame as a BMP file (As43, includeDS, PictureClipping apply)",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<PictureOptions>();
        sub.add_option("FILE", options->file, "Source video")->required();
        sub.add_option("--frame", options->frame, "Frame number, counted from 0")
            ->required()
            ->check(CLI::NonNegativeNumber);
        sub.add_option("--dest", options->dest, "Folder for the picture (default: beside the source)");
        CLI::Option* width =
            sub.add_option("--width", options->width, "Picture width (default: the video's)")->check(CLI::PositiveNumber);
        CLI::Option* height = sub.add_option("--height", options->height, "Picture height (default: the video's)")
                                  ->check(CLI::PositiveNumber);
        width->needs(height);
        height->needs(width);
        action = [options](TerminalUserInterface& ui) { return exportPicture(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
