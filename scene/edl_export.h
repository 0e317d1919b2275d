#pragma once
// The scene list as a Sony Vegas edit-decision list: the scenes one after
// another on the timeline, each as a video event on track 1 and an audio
// event on track 0, as far as its source has those streams.
#include <string>
#include <string_view>

#include "app/ui.h"
#include "scene/edl_columns.h"
#include "scene/scene_list.h"
#include "scene/source_check.h"

namespace klemora::scene {

enum class EdlExportResult : int {
    Ok = 1,
    CannotCreate = -1,
    Declined = -2,     // the user would not assume 25 fps for a source that fails the probe
    WriteFailed = -3,  // the text could not be written completely
};
std::string_view edlExportResultName(EdlExportResult result);

// The file's text (LF line ends). Each source is probed once per change of
// source from one scene to the next; a failing probe shows 107 and asks 151
// whether to go on with 25 fps. 1, or Declined with `out` incomplete.
int vegasEdlText(const SceneList& list, EdlVariant variant, SourceProbe& probe, app::UserInterface& ui,
                 std::string& out);

// 1 also for an empty list, which writes no file. The file is replaced only
// when complete: a refusal or a failure leaves no part of it and keeps an
// older file of that name. On success the project path becomes `path` and
// the modified flag is cleared.
int exportVegasEdl(SceneList& list, const std::string& path, EdlVariant variant, SourceProbe& probe,
                   app::UserInterface& ui);

}  // namespace klemora::scene
