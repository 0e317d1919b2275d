#pragma once
// Reading a semicolon-separated scene list (as csv_export.h writes it, or as
// a spreadsheet saved it) into a list, replacing its scenes.
#include <string>
#include <string_view>

#include "app/ui.h"
#include "scene/exchange_import.h"
#include "scene/scene_list.h"
#include "scene/source_check.h"
#include "scene/text_lines.h"

namespace klemora::scene {

// Result codes are those of ImportResult: 1, or -1 out of memory, -2 the file
// cannot be opened (no message; the list is untouched), -3/-4 the header,
// -5 a missing column, -6 a value refused, -7 stop before start, -8 the
// scene cannot be appended. After a refusal the list keeps the scenes read
// before the refused line. On success the source check and probe follow.
int importCsv(SceneList& list, const std::string& path, SourceProbe& probe, SourceSearch& search,
              app::UserInterface& ui);
// The same over lines already opened (from memory in tests); `path` becomes
// the project path.
int importCsv(SceneList& list, TextLineReader& lines, const std::string& path, SourceProbe& probe,
              SourceSearch& search, app::UserInterface& ui);

// One data line into a new scene at the end of the list: 1 or the refusal.
// A row without a recording date is counted in `undated` when given.
int readCsvRow(SceneList& list, std::string_view line, int row, app::UserInterface& ui,
               UndatedRows* undated = nullptr);

}  // namespace klemora::scene
