#pragma once
// Frame numbers as the user sees them: h:m:s:f positions and lengths, DV
// timecodes, recording dates; and moving a timecode or a recording time by a
// number of frames. Every conversion uses the scene's own frame rate.
#include <cstdint>
#include <ctime>
#include <string>

#include "scene/scene_list.h"
#include "scene/scene_record.h"

namespace klemora::scene {

std::string positionText(int32_t frame, float fps);
// The dialogs' running times: seconds = frames / rate, the frame part
// frames mod rate, at a whole number of frames per second.
struct TimeParts {
    int hours, minutes, seconds, frames;
};
TimeParts wholeRateParts(int32_t frames, int rate);
std::string lengthText(int32_t lengthFrames, float fps);
std::string timecodeText(Timecode timecode);
std::string recordingTimeText(const RecordingTime& time);  // "24-12-2006 / 18:05:09"

Timecode addFramesToTimecode(Timecode timecode, int32_t frames, float fps);
// The timecode of the first frame after the scene.
Timecode stopTimecode(const SceneRecord& record);
RecordingTime addFramesToRecordingTime(const RecordingTime& time, int32_t frames, float fps);

// "dd-mm-yyyy / hh:mm:ss": 1, or -2 without a target, -3 (day) .. -8 (seconds)
// for the first missing piece; then the pieces read are stored and every
// other field is 0.
int parseRecordingTime(const char* text, RecordingTime* out);
// "hh:mm:ss:ff": 1, or -2 without a target, -3 .. -6 for a missing piece
// (the pieces read are stored, the rest are 0).
int parseTimecode(const char* text, Timecode* out);

// Local-time calendar seconds, as the comparisons of the sort use them.
std::time_t calendarSeconds(const RecordingTime& time);
std::tm toTm(const RecordingTime& time);
RecordingTime fromTm(const std::tm& tm);
int compareRecordingTimes(const RecordingTime& a, const RecordingTime& b);

// File-name forms of the same values.
std::string recordingTimeFileText(const RecordingTime& time);       // "2006-12-24_18-05-09"
std::string pictureDateSuffix(const RecordingTime& time);           // "_2006-12-24_18-05-09.bmp"
std::string positionFileText(int32_t frame, float fps);            // "00-00-04-02"
std::string timecodeFileText(Timecode timecode);                    // "01-12-00-05"

// The texts of a listed scene: 1, -1 for an index out of range, -2 without
// an output.
enum class SceneText { Start, Stop, Length, Timecode, StopTimecode, RecordingTime };
int sceneText(const SceneList& list, int index, SceneText kind, std::string* out);

}  // namespace klemora::scene
