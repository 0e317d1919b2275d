#pragma once
// What the CSV and the Vegas EDL importers share: the run over the lines with
// its row numbers, the header check, the messages of a refused row, and the
// source check and probe that end a successful import.
#include <functional>
#include <string>
#include <string_view>

#include "app/ui.h"
#include "scene/field_checks.h"
#include "scene/scene_list.h"
#include "scene/source_check.h"
#include "scene/text_lines.h"

namespace klemora::scene {

enum class ImportResult : int {
    Ok = 1,
    OutOfMemory = -1,
    CannotOpen = -2,      // no message; the caller reports it
    HeaderTooShort = -3,  // also for a file without any non-empty line
    HeaderDiffers = -4,
    MissingColumn = -5,
    BadValue = -6,
    StopBeforeStart = -7,
    AppendFailed = -8,
};
std::string_view importResultName(ImportResult result);

// Data rows taken without a recording date; their written files keep the
// time they are written. One warning after the import names the first.
struct UndatedRows {
    int count = 0;
    int firstRow = 0;
    void add(int row) {
        if (count++ == 0) firstRow = row;
    }
};

// One format's rules: the header text (compared upper-cased over its whole
// length), whether lines with "AUDIO" are dropped unread, the reader of one
// data line, which returns 1 or a refusal from below, the texts that name
// the format in the header and missing-column messages, and where the
// reader counts rows without a date (none when null).
struct ImportFormat {
    std::string_view header;
    bool skipAudioLines = false;
    std::function<int(std::string_view line, int row)> readRow;
    std::string headerText;         // loaded strings, e.g. 142 and 143 for CSV
    std::string missingColumnText;
    const UndatedRows* undated = nullptr;
};

// Empties the list and its project path, reads every line (a UTF-8 byte-order
// mark before the header is dropped; a data line that is not valid UTF-8 is
// read as Windows-1252), and on success
// sets the project path, clears the modified flag and runs the source check
// and probe. A read error part-way reports CannotOpen. Out of memory shows
// 109 and reports OutOfMemory.
int runImport(SceneList& list, TextLineReader& lines, const std::string& path, const ImportFormat& format,
              SourceProbe& probe, SourceSearch& search, app::UserInterface& ui);
// Opens `path` for the reader; CannotOpen when that fails.
int runImportFile(SceneList& list, const std::string& path, const ImportFormat& format, SourceProbe& probe,
                  SourceSearch& search, app::UserInterface& ui);

// The refusals; each shows its message (stop icon) and returns its code.
// `text` is the loaded string naming the column's fault.
int refuseRow(app::UserInterface& ui, const std::string& text, int row);  // BadValue, "%s\nRow: %d"
int refuseOutOfRange(app::UserInterface& ui, int row, int column);       // BadValue
int refuseMissingColumn(app::UserInterface& ui, const std::string& text, int row, int column);  // MissingColumn
int refuseStopBeforeStart(app::UserInterface& ui, int row);              // StopBeforeStart

// Appends a default record for an imported row: its index, or AppendFailed
// after the message naming the append's own result.
int appendImportedScene(SceneList& list, app::UserInterface& ui);

}  // namespace klemora::scene
