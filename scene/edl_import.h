#pragma once
// Reading a Sony Vegas 4 or 5/6 edit-decision list back into a scene list:
// each video event becomes a scene of its file; audio events are skipped.
#include <string>

#include "app/ui.h"
#include "scene/exchange_import.h"
#include "scene/scene_list.h"
#include "scene/source_check.h"
#include "scene/text_lines.h"

namespace klemora::scene {

// Result codes are those of ImportResult (see csv_import.h). The frame
// numbers come from the millisecond times at the rate of each event's file,
// probed through `probe`; a file that cannot be probed uses the rate found
// last (25 at first). On success the source check and probe follow.
int importVegasEdl(SceneList& list, const std::string& path, SourceProbe& probe, SourceSearch& search,
                   app::UserInterface& ui);
int importVegasEdl(SceneList& list, TextLineReader& lines, const std::string& path, SourceProbe& probe,
                   SourceSearch& search, app::UserInterface& ui);

}  // namespace klemora::scene
