#pragma once
// One group page of the HTML scene index: the group's data, then one cell per
// scene with the expanded template, in rows of the chosen number of columns,
// and the folder of its pictures beside it.
#include <cstdint>
#include <string>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/ui.h"
#include "media/media_settings.h"
#include "output/html_settings.h"
#include "output/html_template.h"
#include "scene/scene_list.h"

namespace klemora::output {

// What every page of one run shares.
struct HtmlIndexOptions {
    std::string mainFile;  // the file the user named: the group index, or the one page of a folder
    HtmlTemplate cell;
    int columns = 1;
    int32_t pictureWidth = 192;
    int32_t pictureHeight = 144;
    std::string comment;                 // HTML; line breaks as "\r\n"
    std::string nameTemplate = "%Q_%N3";  // "FormatString", for #DSTFILENAME
    bool as43 = false;                   // "As43": the width follows the height at 4:3 or 16:9
    int clipPercent = 0;                 // "PictureClipping", 0..99
    std::string fixRatio;                // "FixRatio", for every source probed
    app::DebugLog log;                   // the run's debug log (not from the settings)

    // The pages name a picture by its frame, never by the recording date.
    media::PictureStyle pictureStyle() const { return {clipPercent, as43, false}; }
};

// Fills nameTemplate, as43, clipPercent and fixRatio from `store`, once at
// the start of the run.
void readPictureSettings(HtmlIndexOptions& options, const app::SettingsStore& store);
// The values of a run as the index dialog and the command line take them:
// the main page, columns, picture size and comment, then the picture settings.
void applyIndexValues(HtmlIndexOptions& options, const HtmlIndexSettings& values, const std::string& mainFile,
                      const app::SettingsStore& store);

// A full picture folder path of this length or more is refused (196).
inline constexpr size_t kMaxPictureFolderPath = 231;

struct GroupPage {
    const scene::SceneList* list = nullptr;
    std::string groupName;
    std::string pagePath;       // the page file
    std::string indexFileName;  // the group index the page links back to; empty for none
    int scenesBefore = 0;       // scenes of the groups before (for %M)
};

// The page file of group number `groupNumber` (from 1): beside the main
// file, "<main name without extension>_%02d_<group name>.htm".
std::string groupPagePath(const std::string& mainFile, int groupNumber, const std::string& groupName);
// "img_<main name without extension>_<group name>", beside the main file.
std::string pictureFolderName(const std::string& mainFile, const std::string& groupName);

// The sum of the scenes' lengths at the rate of the first scene (25 for an
// empty group), as durationText shows it.
std::string groupDurationText(const scene::SceneList& list);

// The page's picture width for a source: the set width, or with "As43" the
// height x 4/3, or x 16/9 for a wide-screen source.
int32_t pictureWidthFor(const HtmlIndexOptions& options, bool wideScreen);

// Writes the page (replacing an older one only when complete) and its
// pictures. HtmlIndexResult codes; every failure has shown its message. A
// scene whose file cannot be opened gets an empty cell after message 107.
int writeGroupPage(const GroupPage& page, const HtmlIndexOptions& options, app::UserInterface& ui);

}  // namespace klemora::output
