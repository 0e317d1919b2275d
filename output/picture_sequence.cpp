#include "output/picture_sequence.h"

#include "app/string_table.h"
#include "app/text_format.h"
#include "media/picture_export.h"

namespace klemora::output {

int SavePictureSequences(const std::vector<std::string>& files, const std::string& folder, app::UserInterface& ui) {
    app::ProgressScope progress(ui);
    ui.setProgressLine(1, " [...]");
    for (size_t f = 0; f < files.size(); ++f) {
        ui.setProgressSource(files[f]);
        int rc = media::SaveSceneAsBMP(files[f], folder, ui);
        if (rc != 1) {
            ui.showMessage(app::stringPrintf("%s SaveSceneAsBMP()!\nFile: %s\nCode: %d)", app::loadString(113).c_str(),
                                             files[f].c_str(), rc),
                           app::Icon::Stop);
            if (f + 1 == files.size()) return static_cast<int>(PictureSequenceResult::LastFileFailed);
            if (ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) == app::Answer::No)
                return static_cast<int>(PictureSequenceResult::Stopped);
        }
        if (ui.cancelled()) return static_cast<int>(PictureSequenceResult::Cancelled);
    }
    return 1;
}

}  // namespace klemora::output
