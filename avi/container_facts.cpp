#include "avi/container_facts.h"

#include <cstdio>

#include "avi/avi_reader.h"

namespace klemora::avi {
namespace {

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string boolText(bool value) { return value ? "true" : "false"; }

}  // namespace

void fillContainerFacts(const AviReader& reader, ContainerFacts& facts) {
    facts.frameCount = reader.GetFrameCount();
    facts.framesPerSecond = reader.GetFrameRate();
    facts.dvType = reader.GetDvType();
    facts.openDmlType = reader.GetOpenDmlType();
    facts.videoHandler = reader.videoHandler();
    facts.allKeyframes = reader.allKeyframes();
    facts.wideScreen = reader.wideScreen();
    facts.pal = reader.isPal();
    facts.width = reader.width();
    facts.height = reader.height();
    facts.recordingTime = reader.GetRecordingDateTime();
    facts.timecode = reader.timecode();
    facts.damage = walkDamageText(reader);
}

int readContainerFacts(const std::string& path, ContainerFacts& facts, const app::DebugLog& log) {
    AviReader reader;
    reader.setLog(log);
    int rc = reader.Open(path, "r");
    if (rc != 1) return rc;
    fillContainerFacts(reader, facts);
    reader.Close();
    return 1;
}

std::vector<Fact> containerFactList(const ContainerFacts& facts) {
    return {
        {"frameCount", std::to_string(facts.frameCount), FactKind::Number},
        {"framesPerSecond", numberText(facts.framesPerSecond), FactKind::Number},
        {"dvType", std::to_string(facts.dvType), FactKind::Number},
        {"openDmlType", std::to_string(facts.openDmlType), FactKind::Number},
        {"videoHandler", facts.videoHandler, FactKind::Text},
        {"allKeyframes", boolText(facts.allKeyframes), FactKind::Bool},
        {"wideScreen", boolText(facts.wideScreen), FactKind::Bool},
        {"pal", boolText(facts.pal), FactKind::Bool},
        {"width", std::to_string(facts.width), FactKind::Number},
        {"height", std::to_string(facts.height), FactKind::Number},
        {"recordingTime", isoRecordingTimeText(facts.recordingTime), FactKind::Text},
        {"timecode", timecodeColonText(facts.timecode), FactKind::Text},
    };
}

std::string isoRecordingTimeText(const scene::RecordingTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.yearsSince1900 + 1900, time.month + 1,
                  time.dayOfMonth, time.hours, time.minutes, time.seconds);
    return text;
}

std::string timecodeColonText(const scene::Timecode& timecode) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", timecode.hours, timecode.minutes, timecode.seconds,
                  timecode.frames);
    return text;
}

bool parseIsoRecordingTime(const std::string& text, scene::RecordingTime& time) {
    int year = 0, month = 0, day = 0, hours = 0, minutes = 0, seconds = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hours, &minutes, &seconds,
                    &tail) != 6)
        return false;
    static constexpr int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1900 || year > 2099 || month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1] ||
        hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return false;
    time = scene::recordingTimeOf(year, month, day, hours, minutes, seconds);
    return true;
}

}  // namespace klemora::avi
