#include "scene/csv_import.h"

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/csv_export.h"
#include "scene/field_cutter.h"
#include "scene/time_text.h"

namespace klemora::scene {
namespace {

constexpr size_t kColumns = 8;
constexpr size_t kMaxTimeText = 30;

struct CsvRow {
    std::string_view source, dest, comment, timecode;
    int64_t start = 0, stop = 0;
    double speed = 1;
    // An unreadable time of day keeps what was read and 0 for the rest.
    RecordingTime time{0, 0, 0, 0, 0, 0, 0, 0, 0};
    bool undated = false;
};

int readFrame(std::string_view piece, int64_t& frame, const std::string& tooSmall, int row, int column,
              app::UserInterface& ui) {
    frame = leadingInteger(piece);
    switch (checkFrameNumber(frame)) {
    case ValueCheck::TooSmall: return refuseRow(ui, tooSmall, row);
    case ValueCheck::OutOfRange: return refuseOutOfRange(ui, row, column);
    case ValueCheck::Ok: break;
    }
    return 1;
}

int readSpeed(std::string_view piece, double& speed, int row, int column, app::UserInterface& ui) {
    speed = leadingNumber(piece);
    switch (checkSpeedFactor(speed)) {
    case ValueCheck::TooSmall: return refuseRow(ui, app::loadString(149), row);
    case ValueCheck::OutOfRange: return refuseOutOfRange(ui, row, column);
    case ValueCheck::Ok: break;
    }
    return 1;
}

// An empty column (or the all-zero date it exports as) is a scene without a
// date. Anything else must name a real day; a missing time of day counts as
// midnight, as spreadsheets often leave it out.
int readStartTime(std::string_view piece, CsvRow& out, int row, app::UserInterface& ui) {
    if (piece.size() > kMaxTimeText) return refuseRow(ui, app::loadString(461), row);
    if (piece.empty()) {
        out.undated = true;
        return 1;
    }
    int rc = parseRecordingTime(std::string(piece).c_str(), &out.time);
    bool dateRead = rc == 1 || rc <= -6;  // -6 to -8: hours, minutes or seconds missing
    if (dateRead && isCalendarTime(out.time)) return 1;
    if (dateRead && isEmptyRecordingTime(out.time)) {
        out.undated = true;
        return 1;
    }
    std::string text = dateRead ? app::stringPrintf("%s\nRow: %d", app::loadString(860).c_str(), row)
                                : app::stringPrintf("%s\nRow: %d\nCode: %d", app::loadString(860).c_str(), row, rc);
    ui.showMessage(text, app::Icon::Stop);
    return static_cast<int>(ImportResult::BadValue);
}

// Checks column `index` (0-based) as the line is cut; 1 or the refusal.
int readColumn(size_t index, std::string_view piece, CsvRow& out, int row, app::UserInterface& ui) {
    int column = static_cast<int>(index) + 1;
    switch (index) {
    case 0:
        out.source = piece;
        return piece.size() > kMaxPathLength ? refuseRow(ui, app::loadString(145), row) : 1;
    case 1:
        out.dest = piece;
        return piece.size() > kMaxPathLength ? refuseRow(ui, app::loadString(146), row) : 1;
    case 2: return readFrame(piece, out.start, app::loadString(147), row, column, ui);
    case 3: return readFrame(piece, out.stop, app::loadString(148), row, column, ui);
    case 4: return readSpeed(piece, out.speed, row, column, ui);
    case 5:
        out.comment = piece;
        return piece.size() > kMaxCommentLength ? refuseRow(ui, app::loadString(150), row) : 1;
    case 6: return readStartTime(piece, out, row, ui);
    default:
        out.timecode = piece;
        return piece.size() > kMaxTimeText ? refuseRow(ui, app::loadString(462), row) : 1;
    }
}

void storeScene(SceneList& list, int index, const CsvRow& in) {
    Timecode timecode{};
    parseTimecode(std::string(in.timecode).c_str(), &timecode);
    auto start = static_cast<int32_t>(in.start), stop = static_cast<int32_t>(in.stop);
    list.setSourceFile(index, in.source);
    list.setDestName(index, in.dest);
    list.setStartFrame(index, start);
    list.setStopFrame(index, stop);
    list.setSpeedFactor(index, static_cast<float>(in.speed));
    list.setComment(index, in.comment);
    list.setRecordingTime(index, &in.time);
    list.setTimecode(index, timecode);
    list.setDefinedStart(index, start);
    list.setDefinedStop(index, stop);
}

}  // namespace

int readCsvRow(SceneList& list, std::string_view line, int row, app::UserInterface& ui, UndatedRows* undated) {
    std::vector<std::string_view> pieces = cutFields(line, ';', kColumns);
    CsvRow scene;
    for (size_t i = 0; i < kColumns; ++i) {
        if (i >= pieces.size()) return refuseMissingColumn(ui, app::loadString(143), row, static_cast<int>(i) + 1);
        if (int rc = readColumn(i, pieces[i], scene, row, ui); rc != 1) return rc;
    }
    if (scene.stop < scene.start) return refuseStopBeforeStart(ui, row);
    int index = appendImportedScene(list, ui);
    if (index < 0) return index;
    storeScene(list, index, scene);
    if (scene.undated && undated) undated->add(row);
    return 1;
}

namespace {

ImportFormat csvFormat(SceneList& list, app::UserInterface& ui, UndatedRows& undated) {
    auto readRow = [&list, &ui, &undated](std::string_view line, int row) {
        return readCsvRow(list, line, row, ui, &undated);
    };
    return {kCsvHeader, false, readRow, app::loadString(142), app::loadString(143), &undated};
}

}  // namespace

int importCsv(SceneList& list, TextLineReader& lines, const std::string& path, SourceProbe& probe,
              SourceSearch& search, app::UserInterface& ui) {
    UndatedRows undated;
    return runImport(list, lines, path, csvFormat(list, ui, undated), probe, search, ui);
}

int importCsv(SceneList& list, const std::string& path, SourceProbe& probe, SourceSearch& search,
              app::UserInterface& ui) {
    UndatedRows undated;
    return runImportFile(list, path, csvFormat(list, ui, undated), probe, search, ui);
}

}  // namespace klemora::scene
