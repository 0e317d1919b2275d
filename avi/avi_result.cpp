#include "avi/avi_result.h"

#include <utility>

namespace klemora::avi {
namespace {

template <size_t N>
std::string_view lookUp(const std::pair<int, std::string_view> (&table)[N], int code) {
    for (const auto& [value, name] : table)
        if (value == code) return name;
    return "Unknown";
}

}  // namespace

std::string_view openResultName(int code) {
    static constexpr std::pair<int, std::string_view> kNames[] = {
        {1, "Ok"},
        {-2, "CannotOpen"},
        {-4, "RewindFailed"},
        {-5, "OutOfMemory"},
        {-6, "FirstFrameUnreadable"},
        {-7, "RewindAfterFirstFrameFailed"},
        {-11, "HeaderUnreadable"},
        {-14, "ListTypeUnreadable"},
        {-15, "MainHeaderUnreadable"},
        {-16, "JunkSkipFailed"},
        {-17, "StreamHeader56Unreadable"},
        {-18, "StreamHeader64Unreadable"},
        {-19, "StreamHeaderBadSize"},
        {-20, "PcmFormatUnreadable"},
        {-21, "WaveFormatUnreadable"},
        {-22, "WaveFormatRestSkipFailed"},
        {-23, "ShortAudioFormatSkipFailed"},
        {-24, "ShortVideoFormatSkipFailed"},
        {-25, "VideoFormatUnreadable"},
        {-26, "VideoFormatRestSkipFailed"},
        {-27, "ShortDvFormatSkipFailed"},
        {-28, "DvFormatUnreadable"},
        {-29, "DvFormatRestSkipFailed"},
        {-30, "OtherFormatSkipFailed"},
        {-31, "OpenDmlCountUnreadable"},
        {-32, "OpenDmlRestSkipFailed"},
        {-33, "OtherChunkSkipFailed"},
        {-34, "Stopped"},
    };
    return lookUp(kNames, code);
}

std::string_view readResultName(int code) {
    static constexpr std::pair<int, std::string_view> kNames[] = {
        {1, "Ok"},
        {-1, "NotOpen"},
        {-2, "NegativeFrame"},
        {-10, "RewindFailed"},
        {-12, "FrameOutOfRange"},
        {-13, "InvalidChunkSkipFailed"},
        {-14, "ShortRead"},
        {-15, "RemainderSkipFailed"},
    };
    return lookUp(kNames, code);
}

std::string_view datestampResultName(int code) {
    static constexpr std::pair<int, std::string_view> kNames[] = {
        {1, "Ok"},
        {-1, "ReaderAlreadyOpen"},
        {-2, "OpenFailed"},
        {-3, "NotDv"},
        {-4, "NoFrameRate"},
        {-5, "ChunkHeaderUnreadable"},
        {-8, "ListTypeSkipFailed"},
        {-9, "ShortFrameRead"},
        {-10, "PackMissing"},
        {-11, "MoveBackFailed"},
        {-12, "WriteFailed"},
        {-13, "RemainderSkipFailed"},
        {-14, "ChunkSkipFailed"},
    };
    return lookUp(kNames, code);
}

}  // namespace klemora::avi
