// "picture": the picture of one frame as a BMP file, named after the source
// and the frame counted from 1 ("clip_f00001.bmp" for frame 0), as the
// picture export of the scene windows names it.
#include <iostream>
#include <string>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/option_checks.h"
#include "cli/run_context.h"
#include "media/media_info.h"
#include "media/media_probe.h"
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

// A frame beyond the file's end would only bring the grabber's end-of-file
// code; the file's frame count says it plainly.
bool frameInFile(const PictureOptions& options, const media::MediaSettings& settings, TerminalUserInterface& ui) {
    media::MediaInfo info(settings.fixRatio, settings.log);
    if (media::ProbeMedia(options.file, info, ui) != 1) return false;
    if (options.frame < info.frameCount) return true;
    std::string text = app::stringPrintf(app::loadString(881).c_str(), options.frame, info.frameCount - 1);
    ui.showMessage(app::stringPrintf("%s\nFile: %s", text.c_str(), options.file.c_str()), app::Icon::Stop);
    return false;
}

int exportPicture(const PictureOptions& options, TerminalUserInterface& ui) {
    media::MediaSettings settings = media::readMediaSettings(app::settings());
    settings.log = commandLog();
    if (!inputFileExists(options.file, ui) || !frameInFile(options, settings, ui)) return 1;
    if (!options.dest.empty() && !makeDestinationFolder(options.dest, ui)) return 1;
    int32_t frames[] = {options.frame};
    std::string written;
    int rc = media::ExportFramePicture(options.file, options.dest, settings, ui, frames, options.width,
                                       options.height, &written);
    if (rc != 1) {
        ui.showMessage(app::stringPrintf("%s ExportFramePicture()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                                         options.file.c_str(), rc),
                       app::Icon::Stop);
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
        sub.add_option("--frame", options->frame,
                       "Frame number, counted from 0; the picture is named with it counted from 1 (NAME_f00001.bmp "
                       "for frame 0)")
            ->required()
            ->check(atLeast(0));
        sub.add_option("--dest", options->dest, "Folder for the picture, made when missing (default: beside the source)");
        CLI::Option* width =
            sub.add_option("--width", options->width, "Picture width (default: the video's)")->check(atLeast(1));
        CLI::Option* height =
            sub.add_option("--height", options->height, "Picture height (default: the video's)")->check(atLeast(1));
        width->needs(height);
        height->needs(width);
        action = [options](TerminalUserInterface& ui) { return exportPicture(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
