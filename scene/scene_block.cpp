#include "scene/scene_block.h"

#include <cstring>
#include <utility>

#include "app/string_table.h"
#include "scene/field_checks.h"
#include "scene/text_encoding.h"

namespace klemora::scene {
namespace {

constexpr int kRead = 1;
constexpr int kDataEnded = static_cast<int>(SceneBlockResult::RecordFailed);
constexpr int kRefused = static_cast<int>(SceneBlockResult::RecordRefused);

std::string fieldString(std::string_view bytes) {
    // A field without a NUL keeps all its bytes and is then too long for its
    // setter, which refuses it: the field stays empty, as for any overlong text.
    size_t nul = bytes.find('\0');
    return textFromFile(bytes.substr(0, nul));
}

bool readRecordingTime(ByteCursor& in, RecordingTime& t) {
    int32_t* fields[] = {&t.seconds, &t.minutes,        &t.hours,   &t.dayOfMonth,    &t.month,
                         &t.yearsSince1900, &t.weekday, &t.dayOfYear, &t.daylightSaving};
    for (int32_t* f : fields)
        if (!in.int32(*f)) return false;
    return true;
}

// One record's reading: the list slot it fills and where the load reports.
struct RecordReader {
    ByteCursor& in;
    SceneList& list;
    int index;
    LoadReport& report;

    // `text` is the loaded message of the failed check.
    int refuse(std::string text) {
        report.refusal = std::move(text);
        report.refused = {std::string(list.groupName()), index + 1};
        return kRefused;
    }
    int refuse(ValueCheck check, std::string tooSmall) {
        return refuse(check == ValueCheck::TooSmall ? std::move(tooSmall) : app::loadString(463));
    }

    int text(const FieldLayout& f) {
        std::string_view bytes;
        if (!in.bytes(static_cast<size_t>(f.width), bytes)) return kDataEnded;
        std::string_view stored = bytes.substr(0, bytes.find('\0'));
        if (f.field == RecordField::SourceFile) list.setSourceFile(index, pathFromFile(stored));
        else if (f.field == RecordField::DestName) list.setDestName(index, fieldString(bytes));
        else list.setComment(index, fieldString(bytes));
        return kRead;
    }

    int frame(const FieldLayout& f) {
        int32_t n = 0;
        if (!in.int32(n)) return kDataEnded;
        if (f.field == RecordField::OkStatus) {
            list.setOkStatus(index, n);
            return kRead;
        }
        bool first = f.field == RecordField::StartFrame || f.field == RecordField::DefinedStart;
        if (ValueCheck check = checkFrameNumber(n); check != ValueCheck::Ok)
            return refuse(check, first ? app::loadString(147) : app::loadString(148));
        switch (f.field) {
        case RecordField::StartFrame: list.setStartFrame(index, n); break;
        case RecordField::StopFrame: list.setStopFrame(index, n); break;
        case RecordField::DefinedStart: list.setDefinedStart(index, n); break;
        default: list.setDefinedStop(index, n); break;
        }
        return kRead;
    }

    int speed() {
        double factor = 1.0;
        if (!in.float64(factor)) return kDataEnded;
        if (ValueCheck check = checkSpeedFactor(factor); check != ValueCheck::Ok)
            return refuse(check, app::loadString(149));
        list.setSpeedFactor(index, static_cast<float>(factor));
        return kRead;
    }

    int recordingTime() {
        RecordingTime t;
        if (!readRecordingTime(in, t)) return kDataEnded;
        // A date that names no moment would become some other day as a file
        // date. The all-zero date is what an empty CSV date column has always
        // been read as: it stays, and gives no file date either.
        if (!isCalendarTime(t) && !isEmptyRecordingTime(t)) {
            if (report.undatedCount++ == 0) report.firstUndated = {std::string(list.groupName()), index + 1};
            t = kNoRecordingTime;
        }
        list.setRecordingTime(index, &t);
        return kRead;
    }

    int timecode() {
        std::string_view bytes;
        if (!in.bytes(4, bytes)) return kDataEnded;
        list.setTimecode(index, {static_cast<int8_t>(bytes[0]), static_cast<int8_t>(bytes[1]),
                                 static_cast<int8_t>(bytes[2]), static_cast<int8_t>(bytes[3])});
        return kRead;
    }

    int field(const FieldLayout& f) {
        switch (f.kind) {
        case FieldKind::Text: return text(f);
        case FieldKind::Int32: return frame(f);
        case FieldKind::Float64: return speed();
        case FieldKind::RecordingTime: return recordingTime();
        case FieldKind::Timecode: return timecode();
        }
        return kDataEnded;
    }

    int record(ProjectVersion version) {
        for (const FieldLayout& f : sceneRecordLayout()) {
            if (version < f.firstVersion) continue;
            if (int rc = field(f); rc != kRead) return rc;
        }
        // Older files have no outer range: it is the scene itself.
        if (version < ProjectVersion::V22) {
            list.setDefinedStart(index, list.startFrame(index));
            list.setDefinedStop(index, list.stopFrame(index));
        }
        if (list.startFrame(index) > list.stopFrame(index) || list.definedStart(index) > list.definedStop(index))
            return refuse(app::loadString(144));
        return kRead;
    }
};

void appendRecordingTime(std::string& out, const RecordingTime& t) {
    for (int32_t v : {t.seconds, t.minutes, t.hours, t.dayOfMonth, t.month, t.yearsSince1900, t.weekday, t.dayOfYear,
                      t.daylightSaving})
        appendInt32(out, v);
}

void appendField(std::string& out, const FieldLayout& f, const SceneRecord& r) {
    switch (f.field) {
    case RecordField::SourceFile: appendFixedText(out, fieldText(r.sourceFile), 261); break;
    case RecordField::DestName: appendFixedText(out, fieldText(r.destName), 261); break;
    case RecordField::StartFrame: appendInt32(out, r.startFrame); break;
    case RecordField::StopFrame: appendInt32(out, r.stopFrame); break;
    case RecordField::SpeedFactor: appendFloat64(out, r.speedFactor); break;
    case RecordField::Comment: appendFixedText(out, fieldText(r.comment), 1025); break;
    case RecordField::RecordingTime: appendRecordingTime(out, r.recordingTime); break;
    case RecordField::DefinedStart: appendInt32(out, r.definedStart); break;
    case RecordField::DefinedStop: appendInt32(out, r.definedStop); break;
    case RecordField::Timecode:
        for (int8_t b : {r.timecode.hours, r.timecode.minutes, r.timecode.seconds, r.timecode.frames})
            out += static_cast<char>(b);
        break;
    case RecordField::OkStatus: appendInt32(out, r.okStatus); break;
    }
}

}  // namespace

int readSceneBlock(ByteCursor& in, SceneList& list, ProjectVersion version, LoadReport& report) {
    int32_t count = 0;
    if (!in.int32(count) || count < 0) return kDataEnded;
    for (int32_t n = 0; n < count; ++n) {
        int i = list.AddNewScene();
        int rc = i < 0 ? kDataEnded : RecordReader{in, list, i, report}.record(version);
        if (rc != kRead) {
            list.removeRecords(0, list.count());
            return rc;
        }
    }
    return 1;
}

void appendSceneBlock(std::string& out, const SceneList& list, ProjectVersion version) {
    appendInt32(out, list.count());
    for (int i = 0; i < list.count(); ++i)
        for (const FieldLayout& f : sceneRecordLayout())
            if (version >= f.firstVersion) appendField(out, f, *list.record(i));
}

}  // namespace klemora::scene
