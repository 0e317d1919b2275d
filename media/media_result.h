#pragma once
// The result codes of probing and picture export: 1 for success, small
// negative numbers naming the step that failed. Callers show the number;
// logs and --json add the name.
#include <string_view>

namespace klemora::media {

enum class ProbeResult : int {
    Ok = 1,
    DetectorNotCreatable = -2,
    CannotOpenFile = -6,
    StreamsUnreadable = -7,
    NoStreams = -8,
    OutOfMemory = -9,
    StreamNotSelectable = -10,
    MediaTypeUnreadable = -11,
    NoVideoStream = -12,
    VideoStreamNotSelectable = -13,
    FrameRateUnreadable = -14,
    FrameRateZero = -15,
    LengthUnreadable = -16,
    NoDuration = -17,
};

enum class ExtraDataResult : int {
    Ok = 1,
    NotProbed = -1,
    NoVideoStream = -2,
    NotAvi = -3,
    ReaderFailed = -4,
};

enum class SaveBitmapResult : int {
    Ok = 1,
    NotProbed = -1,
    SizeQueryFailed = -2,
    OutOfMemory = -3,
    GrabFailed = -4,
    OutOfMemoryForPicture = -5,
    CannotCreate = -6,
    WriteFailed = -7,
};

// ExportFramePicture: -1 probe failed, -3 save failed; SaveSceneAsBMP: -2
// probe failed, -3 save failed.
enum class ExportResult : int {
    Ok = 1,
    ProbeFailed = -1,
    SceneProbeFailed = -2,
    SaveFailed = -3,
};

// "NoVideoStream"; "Unknown" for a number not in the family.
std::string_view probeResultName(int code);
std::string_view extraDataResultName(int code);
std::string_view saveBitmapResultName(int code);
std::string_view exportResultName(int code);

}  // namespace klemora::media
