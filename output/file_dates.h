#pragma once
// File times from a scene's recording date. Linux has no settable creation
// time, so the access and modification times are both set to it.
#include <string>

#include "app/debug_log.h"
#include "scene/scene_record.h"

namespace klemora::output {

// `recordingTime` is broken-down local time (daylight saving left to the
// system). FileDateResult codes: 1 done, -2 empty path, -3 the "no date"
// value or a date that names no moment, -4 the file's times cannot be read
// or set.
int SetCreationDate(const scene::RecordingTime& recordingTime, const std::string& path,
                    const app::DebugLog& log = app::DebugLog::off());

}  // namespace klemora::output
