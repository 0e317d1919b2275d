#include "media/media_result.h"

#include <utility>

namespace klemora::media {
namespace {

template <size_t N>
std::string_view lookUp(const std::pair<int, std::string_view> (&names)[N], int code) {
    for (const auto& [value, name] : names)
        if (value == code) return name;
    return "Unknown";
}

}  // namespace

std::string_view probeResultName(int code) {
    static constexpr std::pair<int, std::string_view> names[] = {
        {1, "Ok"},
        {-2, "DetectorNotCreatable"},
        {-6, "CannotOpenFile"},
        {-7, "StreamsUnreadable"},
        {-8, "NoStreams"},
        {-9, "OutOfMemory"},
        {-10, "StreamNotSelectable"},
        {-11, "MediaTypeUnreadable"},
        {-12, "NoVideoStream"},
        {-13, "VideoStreamNotSelectable"},
        {-14, "FrameRateUnreadable"},
        {-15, "FrameRateZero"},
        {-16, "LengthUnreadable"},
        {-17, "NoDuration"},
    };
    return lookUp(names, code);
}

std::string_view extraDataResultName(int code) {
    static constexpr std::pair<int, std::string_view> names[] = {
        {1, "Ok"}, {-1, "NotProbed"}, {-2, "NoVideoStream"}, {-3, "NotAvi"}, {-4, "ReaderFailed"},
    };
    return lookUp(names, code);
}

std::string_view saveBitmapResultName(int code) {
    static constexpr std::pair<int, std::string_view> names[] = {
        {1, "Ok"},
        {-1, "NotProbed"},
        {-2, "SizeQueryFailed"},
        {-3, "OutOfMemory"},
        {-4, "GrabFailed"},
        {-5, "OutOfMemoryForPicture"},
        {-6, "CannotCreate"},
        {-7, "WriteFailed"},
    };
    return lookUp(names, code);
}

std::string_view exportResultName(int code) {
    static constexpr std::pair<int, std::string_view> names[] = {
        {1, "Ok"}, {-1, "ProbeFailed"}, {-2, "SceneProbeFailed"}, {-3, "SaveFailed"},
    };
    return lookUp(names, code);
}

}  // namespace klemora::media
