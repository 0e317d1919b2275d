#include "scene/edl_columns.h"

#include <cstdint>
#include <iterator>

#include "scene/field_cutter.h"

namespace klemora::scene {
namespace {

enum class Value { Id, Int, Fixed, Word, StartTime, Length, PlayRate, FileName, StreamStart, StreamLength };

struct Column {
    std::string_view name;
    Value value;
    double video = 0;  // constants of Int and Fixed columns
    double audio = 0;
    std::string_view videoWord = {};
    std::string_view audioWord = {};
    char headerSeparator = ';';
};

constexpr std::string_view kFalse = "FALSE";

// Column order as Vegas expects it; Vegas 4 ends after CurveOutR.
constexpr Column kColumns[] = {
    {"ID", Value::Id},
    {"Track", Value::Int, 1, 0},
    {"StartTime", Value::StartTime},
    {"Length", Value::Length},
    {"PlayRate", Value::PlayRate},
    {"Locked", Value::Word, 0, 0, kFalse, kFalse},
    {"Normalized", Value::Word, 0, 0, kFalse, kFalse},
    {"StretchMethod", Value::Int, 0, 0},
    {"Looped", Value::Word, 0, 0, kFalse, kFalse},
    {"OnRuler", Value::Word, 0, 0, kFalse, kFalse},
    {"MediaType", Value::Word, 0, 0, "VIDEO", "AUDIO"},
    {"FileName", Value::FileName},
    {"Stream", Value::Int, 0, 0},
    {"StreamStart", Value::StreamStart},
    {"StreamLength", Value::StreamLength},
    {"FadeTimeIn", Value::Fixed, 0, 0},
    {"FadeTimeOut", Value::Fixed, 0, 0},
    {"SustainGain", Value::Fixed, 1, 1},
    {"CurveIn", Value::Int, 4, 2},
    {"GainIn", Value::Fixed, 0, 0},
    {"CurveOut", Value::Int, 4, -2},
    {"GainOut", Value::Fixed, 0, 0},
    {"Layer", Value::Int, 0, 0},
    {"Color", Value::Int, -1, -1},
    {"CurveInR", Value::Int, 4, -2},
    // Vegas 5/6 itself writes ":" here in its header.
    {"CurveOutR", Value::Int, 4, 2, {}, {}, ':'},
    {"PlayPitch", Value::Fixed, 0, 0},
    {"LockPitch", Value::Word, 0, 0, kFalse, kFalse},
};

constexpr size_t kVegas4Columns = 26;
static_assert(std::size(kColumns) == 28);

void appendValue(std::string& out, const Column& column, const EdlEvent& event) {
    double constant = event.audio ? column.audio : column.video;
    switch (column.value) {
    case Value::Id: appendInt(out, event.id); break;
    case Value::Int: appendInt(out, static_cast<int64_t>(constant)); break;
    case Value::Fixed: appendFixed6(out, constant); break;
    case Value::Word: out += event.audio ? column.audioWord : column.videoWord; break;
    case Value::StartTime: appendFixed6(out, event.startTimeMs); break;
    case Value::Length: appendFixed6(out, event.lengthMs); break;
    case Value::PlayRate: appendFixed6(out, event.playRate); break;
    case Value::FileName: appendQuoted(out, event.fileName); break;
    case Value::StreamStart: appendFixed6(out, event.streamStartMs); break;
    case Value::StreamLength: appendFixed6(out, event.streamLengthMs); break;
    }
}

}  // namespace

size_t edlColumnCount(EdlVariant variant) {
    return variant == EdlVariant::Vegas4 ? kVegas4Columns : std::size(kColumns);
}

std::string edlHeader(EdlVariant variant) {
    std::string out;
    size_t count = edlColumnCount(variant);
    for (size_t i = 0; i < count; ++i) {
        appendQuoted(out, kColumns[i].name);
        out += i + 1 < count ? kColumns[i].headerSeparator : '\n';
    }
    return out;
}

std::string edlRow(EdlVariant variant, const EdlEvent& event) {
    std::string out;
    size_t count = edlColumnCount(variant);
    for (size_t i = 0; i < count; ++i) {
        appendValue(out, kColumns[i], event);
        out += i + 1 < count ? ';' : '\n';
    }
    return out;
}

}  // namespace klemora::scene
