#include "scene/scene_block.h"

#include <cstring>

#include "scene/text_encoding.h"

namespace klemora::scene {
namespace {

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

bool readField(ByteCursor& in, const FieldLayout& f, SceneList& list, int i) {
    std::string_view bytes;
    int32_t n = 0;
    switch (f.kind) {
    case FieldKind::Text: {
        if (!in.bytes(static_cast<size_t>(f.width), bytes)) return false;
        std::string text = fieldString(bytes);
        if (f.field == RecordField::SourceFile) list.setSourceFile(i, text);
        else if (f.field == RecordField::DestName) list.setDestName(i, text);
        else list.setComment(i, text);
        return true;
    }
    case FieldKind::Int32:
        if (!in.int32(n)) return false;
        switch (f.field) {
        case RecordField::StartFrame: list.setStartFrame(i, n); break;
        case RecordField::StopFrame: list.setStopFrame(i, n); break;
        case RecordField::DefinedStart: list.setDefinedStart(i, n); break;
        case RecordField::DefinedStop: list.setDefinedStop(i, n); break;
        default: list.setOkStatus(i, n); break;
        }
        return true;
    case FieldKind::Float64: {
        double speed = 1.0;
        if (!in.float64(speed)) return false;
        list.setSpeedFactor(i, static_cast<float>(speed));
        return true;
    }
    case FieldKind::RecordingTime: {
        RecordingTime t;
        if (!readRecordingTime(in, t)) return false;
        list.setRecordingTime(i, &t);
        return true;
    }
    case FieldKind::Timecode:
        if (!in.bytes(4, bytes)) return false;
        list.setTimecode(i, {static_cast<int8_t>(bytes[0]), static_cast<int8_t>(bytes[1]),
                             static_cast<int8_t>(bytes[2]), static_cast<int8_t>(bytes[3])});
        return true;
    }
    return false;
}

bool readRecord(ByteCursor& in, SceneList& list, int i, ProjectVersion version) {
    for (const FieldLayout& f : sceneRecordLayout()) {
        if (version < f.firstVersion) continue;
        if (!readField(in, f, list, i)) return false;
    }
    // Older files have no outer range: it is the scene itself.
    if (version < ProjectVersion::V22) {
        list.setDefinedStart(i, list.startFrame(i));
        list.setDefinedStop(i, list.stopFrame(i));
    }
    return true;
}

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

int readSceneBlock(ByteCursor& in, SceneList& list, ProjectVersion version) {
    int32_t count = 0;
    if (!in.int32(count) || count < 0) return -2;
    for (int32_t n = 0; n < count; ++n) {
        int i = list.AddNewScene();
        if (i < 0 || !readRecord(in, list, i, version)) {
            list.removeRecords(0, list.count());
            return -2;
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
