#pragma once
// The result codes of the AVI reader and the DV date rewrite: 1 for success,
// small negative numbers naming the step that failed. Callers show the number
// ("Code: %d"); logs and --json add the name.
#include <string_view>

namespace klemora::avi {

enum class OpenResult : int {
    Ok = 1,
    CannotOpen = -2,
    RewindFailed = -4,
    OutOfMemory = -5,
    FirstFrameUnreadable = -6,
    RewindAfterFirstFrameFailed = -7,
    HeaderUnreadable = -11,
    ListTypeUnreadable = -14,
    MainHeaderUnreadable = -15,
    JunkSkipFailed = -16,
    StreamHeader56Unreadable = -17,
    StreamHeader64Unreadable = -18,
    StreamHeaderBadSize = -19,
    PcmFormatUnreadable = -20,
    WaveFormatUnreadable = -21,
    WaveFormatRestSkipFailed = -22,
    ShortAudioFormatSkipFailed = -23,
    ShortVideoFormatSkipFailed = -24,
    VideoFormatUnreadable = -25,
    VideoFormatRestSkipFailed = -26,
    ShortDvFormatSkipFailed = -27,
    DvFormatUnreadable = -28,
    DvFormatRestSkipFailed = -29,
    OtherFormatSkipFailed = -30,
    OpenDmlCountUnreadable = -31,
    OpenDmlRestSkipFailed = -32,
    OtherChunkSkipFailed = -33,
    Stopped = -34,  // the Stop came while the movie data was walked
};

enum class ReadResult : int {
    Ok = 1,
    NotOpen = -1,
    NegativeFrame = -2,
    RewindFailed = -10,
    FrameOutOfRange = -12,
    InvalidChunkSkipFailed = -13,
    ShortRead = -14,
    RemainderSkipFailed = -15,
};

enum class DatestampResult : int {
    Ok = 1,
    ReaderAlreadyOpen = -1,
    OpenFailed = -2,
    NotDv = -3,
    NoFrameRate = -4,
    ChunkHeaderUnreadable = -5,
    ListTypeSkipFailed = -8,
    ShortFrameRead = -9,
    PackMissing = -10,
    MoveBackFailed = -11,
    WriteFailed = -12,
    RemainderSkipFailed = -13,
    ChunkSkipFailed = -14,
};

// Symbolic names ("StreamHeaderBadSize"); "Unknown" for a number not in the family.
std::string_view openResultName(int code);
std::string_view readResultName(int code);
std::string_view datestampResultName(int code);

}  // namespace klemora::avi
