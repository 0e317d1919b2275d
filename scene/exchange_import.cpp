#include "scene/exchange_import.h"

#include <fcntl.h>

#include <new>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/text_encoding.h"

namespace klemora::scene {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameUpperCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

int refuseHeader(app::UserInterface& ui, const std::string& text, ImportResult result) {
    // The message codes -1 and -2 predate the results -3 and -4.
    int code = result == ImportResult::HeaderTooShort ? -1 : -2;
    ui.showMessage(app::stringPrintf("%s\nCode: %d", text.c_str(), code), app::Icon::Stop);
    return static_cast<int>(result);
}

int checkHeader(std::string_view line, const ImportFormat& format, app::UserInterface& ui) {
    std::string_view header = format.header;
    if (line.size() < header.size()) return refuseHeader(ui, format.headerText, ImportResult::HeaderTooShort);
    if (!sameUpperCase(line.substr(0, header.size()), header))
        return refuseHeader(ui, format.headerText, ImportResult::HeaderDiffers);
    return 1;
}

void warnUndated(app::UserInterface& ui, const UndatedRows* rows) {
    if (!rows || rows->count == 0) return;
    ui.showMessage(app::stringPrintf("%s\nRow: %d\nCount: %d", app::loadString(861).c_str(), rows->firstRow,
                                     rows->count),
                   app::Icon::Warning);
}

// 1 at the end of the data, or the first refusal.
int readLines(TextLineReader& lines, const ImportFormat& format, app::UserInterface& ui) {
    std::string line;
    bool headerSeen = false;
    while (lines.next(line)) {
        // Spreadsheets often put a byte-order mark before a UTF-8 text.
        if (lines.row() == 1 && line.starts_with(kUtf8Bom)) line.erase(0, kUtf8Bom.size());
        if (format.skipAudioLines && line.find("AUDIO") != std::string::npos) continue;
        if (line.empty()) continue;
        // Lists written on Windows hold Windows-1252 text; the separators are
        // the same in both.
        int rc = headerSeen ? format.readRow(textFromFile(line), lines.row()) : checkHeader(line, format, ui);
        if (rc != 1) return rc;
        headerSeen = true;
    }
    if (lines.failed()) return static_cast<int>(ImportResult::CannotOpen);
    // A file with no line at all is no scene list either.
    if (!headerSeen) return refuseHeader(ui, format.headerText, ImportResult::HeaderTooShort);
    return 1;
}

}  // namespace

std::string_view importResultName(ImportResult result) {
    switch (result) {
    case ImportResult::Ok: return "Ok";
    case ImportResult::OutOfMemory: return "OutOfMemory";
    case ImportResult::CannotOpen: return "CannotOpen";
    case ImportResult::HeaderTooShort: return "HeaderTooShort";
    case ImportResult::HeaderDiffers: return "HeaderDiffers";
    case ImportResult::MissingColumn: return "MissingColumn";
    case ImportResult::BadValue: return "BadValue";
    case ImportResult::StopBeforeStart: return "StopBeforeStart";
    case ImportResult::AppendFailed: return "AppendFailed";
    }
    return "Unknown";
}

int runImport(SceneList& list, TextLineReader& lines, const std::string& path, const ImportFormat& format,
              SourceProbe& probe, SourceSearch& search, app::UserInterface& ui) {
    try {
        list.removeRecords(0, list.count());
        list.setProjectPath("");
        if (int rc = readLines(lines, format, ui); rc != 1) return rc;
        list.setProjectPath(path);
        list.setModified(false);
        warnUndated(ui, format.undated);
        // A cancelled check or probe leaves the import standing.
        if (checkSources(list, search, ui) == SourceCheckResult::Completed) probeSources(list, probe, ui);
        return 1;
    } catch (const std::bad_alloc&) {
        ui.showMessage(app::loadString(109), app::Icon::Stop);
        return static_cast<int>(ImportResult::OutOfMemory);
    }
}

int runImportFile(SceneList& list, const std::string& path, const ImportFormat& format, SourceProbe& probe,
                  SourceSearch& search, app::UserInterface& ui) {
    // A folder opens but cannot be read; refuse it before the list is emptied.
    app::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || app::isDirectory(path)) return static_cast<int>(ImportResult::CannotOpen);
    TextLineReader lines(std::move(fd));
    return runImport(list, lines, path, format, probe, search, ui);
}

int refuseRow(app::UserInterface& ui, const std::string& text, int row) {
    ui.showMessage(app::stringPrintf("%s\nRow: %d", text.c_str(), row), app::Icon::Stop);
    return static_cast<int>(ImportResult::BadValue);
}

int refuseOutOfRange(app::UserInterface& ui, int row, int column) {
    ui.showMessage(app::stringPrintf("%s\nRow/Column: %d/%d", app::loadString(463).c_str(), row, column),
                   app::Icon::Stop);
    return static_cast<int>(ImportResult::BadValue);
}

int refuseMissingColumn(app::UserInterface& ui, const std::string& text, int row, int column) {
    // The unmatched ")" is part of the message as users know it.
    ui.showMessage(app::stringPrintf("%s\nRow/Column: %d/%d)", text.c_str(), row, column),
                   app::Icon::Stop);
    return static_cast<int>(ImportResult::MissingColumn);
}

int refuseStopBeforeStart(app::UserInterface& ui, int row) {
    ui.showMessage(app::stringPrintf("%s\nRow: %d", app::loadString(144).c_str(), row), app::Icon::Stop);
    return static_cast<int>(ImportResult::StopBeforeStart);
}

int appendImportedScene(SceneList& list, app::UserInterface& ui) {
    int index = list.AddNewScene();
    if (index >= 0) return index;
    ui.showMessage(app::stringPrintf("%s AddNewScene()!\nCode: %d", app::loadString(113).c_str(), index),
                   app::Icon::Stop);
    return static_cast<int>(ImportResult::AppendFailed);
}

}  // namespace klemora::scene
