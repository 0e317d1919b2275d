#pragma once
// What the AVI reader tells about one file, as the probe command and media
// probing show it: one function fills it, and its fields come out as ordered
// key/value pairs so that text and JSON output share one list.
#include <cstdint>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "scene/scene_record.h"

namespace klemora::avi {

class AviReader;

struct ContainerFacts {
    int32_t frameCount = 0;
    float framesPerSecond = 0;
    int dvType = 0;
    int openDmlType = 0;
    std::string videoHandler;
    bool allKeyframes = true;
    bool wideScreen = false;
    bool pal = true;
    uint32_t width = 0;
    uint32_t height = 0;
    scene::RecordingTime recordingTime = scene::kNoRecordingTime;
    scene::Timecode timecode{};
    std::string damage;  // walkDamageText: empty unless the file is cut or damaged (not a listed fact)
};

// Opens `path` read-only, fills `facts` and closes again; the reader's Open
// code (1 on success).
int readContainerFacts(const std::string& path, ContainerFacts& facts,
                       const app::DebugLog& log = app::DebugLog::off());
// The same from a reader that is already open.
void fillContainerFacts(const AviReader& reader, ContainerFacts& facts);

enum class FactKind { Number, Bool, Text };
struct Fact {
    std::string key;    // camelCase, as in --json
    std::string value;  // already formatted ("25", "true", "2006-07-01 10:00:00")
    FactKind kind;
};
// frameCount, framesPerSecond, dvType, openDmlType, videoHandler,
// allKeyframes, wideScreen, pal, width, height, recordingTime ("YYYY-MM-DD
// HH:MM:SS"), timecode ("HH:MM:SS:FF").
std::vector<Fact> containerFactList(const ContainerFacts& facts);

std::string isoRecordingTimeText(const scene::RecordingTime& time);  // "YYYY-MM-DD HH:MM:SS"
std::string timecodeColonText(const scene::Timecode& timecode);      // "HH:MM:SS:FF"
// "YYYY-MM-DD HH:MM:SS" (years 1900-2099) into a local recording time with
// weekday 0, day of year 0 and DST flag -1; false when malformed.
bool parseIsoRecordingTime(const std::string& text, scene::RecordingTime& time);

}  // namespace klemora::avi
