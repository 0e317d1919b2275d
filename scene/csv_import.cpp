#include "scene/csv_import.h"

#include <cfloat>
#include <cmath>

#include "app/string_table.h"
#include "scene/csv_export.h"
#include "scene/field_cutter.h"
#include "scene/time_text.h"

namespace klemora::scene {
namespace {

constexpr size_t kColumns = 8;
constexpr size_t kMaxTimeText = 30;
constexpr double kMinSpeed = 0.001;

struct CsvRow {
    std::string_view source, dest, comment, startTime, timecode;
    int64_t start = 0, stop = 0;
    double speed = 1;
};

int readFrame(std::string_view piece, int64_t& frame, const std::string& tooSmall, int row, int column,
              app::UserInterface& ui) {
    frame = leadingInteger(piece);
    if (frame < 0) return refuseRow(ui, tooSmall, row);
    if (frame > kMaxImportedFrame) return refuseOutOfRange(ui, row, column);
    return 1;
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
    case 4:
        out.speed = leadingNumber(piece);
        if (!(out.speed > kMinSpeed)) return refuseRow(ui, app::loadString(149), row);  // NaN too
        return out.speed > FLT_MAX ? refuseOutOfRange(ui, row, column) : 1;
    case 5:
        out.comment = piece;
        return piece.size() > kMaxCommentLength ? refuseRow(ui, app::loadString(150), row) : 1;
    case 6:
        out.startTime = piece;
        return piece.size() > kMaxTimeText ? refuseRow(ui, app::loadString(461), row) : 1;
    default:
        out.timecode = piece;
        return piece.size() > kMaxTimeText ? refuseRow(ui, app::loadString(462), row) : 1;
    }
}

void storeScene(SceneList& list, int index, const CsvRow& in) {
    // An unreadable date keeps what was read and 0 for the rest, so an empty
    // column shows 00-01-1900 / 00:00:00.
    RecordingTime time{0, 0, 0, 0, 0, 0, 0, 0, 0};
    parseRecordingTime(std::string(in.startTime).c_str(), &time);
    Timecode timecode{};
    parseTimecode(std::string(in.timecode).c_str(), &timecode);
    auto start = static_cast<int32_t>(in.start), stop = static_cast<int32_t>(in.stop);
    list.setSourceFile(index, in.source);
    list.setDestName(index, in.dest);
    list.setStartFrame(index, start);
    list.setStopFrame(index, stop);
    list.setSpeedFactor(index, static_cast<float>(in.speed));
    list.setComment(index, in.comment);
    list.setRecordingTime(index, &time);
    list.setTimecode(index, timecode);
    list.setDefinedStart(index, start);
    list.setDefinedStop(index, stop);
}

}  // namespace

int readCsvRow(SceneList& list, std::string_view line, int row, app::UserInterface& ui) {
    std::vector<std::string_view> pieces = cutFields(line, ';', kColumns);
    CsvRow scene;
    for (size_t i = 0; i < kColumns; ++i) {
        if (i >= pieces.size()) return refuseMissingColumn(ui, row, static_cast<int>(i) + 1);
        if (int rc = readColumn(i, pieces[i], scene, row, ui); rc != 1) return rc;
    }
    if (scene.stop < scene.start) return refuseStopBeforeStart(ui, row);
    int index = appendImportedScene(list, ui);
    if (index < 0) return index;
    storeScene(list, index, scene);
    return 1;
}

namespace {

ImportFormat csvFormat(SceneList& list, app::UserInterface& ui) {
    return {kCsvHeader, false, [&list, &ui](std::string_view line, int row) { return readCsvRow(list, line, row, ui); }};
}

}  // namespace

int importCsv(SceneList& list, TextLineReader& lines, const std::string& path, SourceProbe& probe,
              SourceSearch& search, app::UserInterface& ui) {
    return runImport(list, lines, path, csvFormat(list, ui), probe, search, ui);
}

int importCsv(SceneList& list, const std::string& path, SourceProbe& probe, SourceSearch& search,
              app::UserInterface& ui) {
    return runImportFile(list, path, csvFormat(list, ui), probe, search, ui);
}

}  // namespace klemora::scene
