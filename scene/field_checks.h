#pragma once
// The value checks every reader of scene lists applies before a scene is
// taken: project files, CSV and Vegas EDL imports. A value that passes
// cannot make a write run endless or a file date absurd.
#include <climits>
#include <cstdint>

#include "scene/scene_record.h"

namespace klemora::scene {

// Frame numbers are refused above this, so that a scene's length
// (stop - start + 1) always fits its 32-bit field.
inline constexpr int64_t kMaxImportedFrame = INT32_MAX - 1;

// A speed factor is taken above 0.001 up to 100, the range the speed copies
// offer; an output is its length divided by the factor.
inline constexpr double kMinSpeedFactor = 0.001;  // itself refused
inline constexpr double kMaxSpeedFactor = 100;

enum class ValueCheck { Ok, TooSmall, OutOfRange };

ValueCheck checkSpeedFactor(double speed);  // NaN is too small, infinities out of range
ValueCheck checkFrameNumber(int64_t frame);

// True when the six date and time fields name a moment that exists: month
// 0-11, a day of that month, 00:00:00 to 23:59:59, years 1900 to 9999.
// Weekday, day of year and the daylight-saving flag are not looked at: the
// conversions work them out themselves.
bool isCalendarTime(const RecordingTime& time);
// All nine fields 0: what an empty date column has always been read as
// (shown 00-01-1900 / 00:00:00). It names no moment, but no mistake either.
bool isEmptyRecordingTime(const RecordingTime& time);

}  // namespace klemora::scene
