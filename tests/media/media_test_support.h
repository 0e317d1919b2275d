#pragma once
// Media files for the media tests, made with the ffmpeg command line or the
// DV fixture generator, and FFmpeg's own view of them as the reference.
#include <cstdint>
#include <string>
#include <vector>

namespace klemora::test {

bool haveTool(const char* name);  // on PATH
// Runs a shell command; true on exit code 0.
bool runCommand(const std::string& command);
// The standard output of a command ("" when it fails).
std::string commandOutput(const std::string& command);

// An AVI made by ffmpeg from its test picture: `codecArgs` e.g. "-c:v mjpeg".
bool makeTestVideo(const std::string& path, int width, int height, const std::string& rate, double seconds,
                   const std::string& codecArgs);

struct FfprobeFacts {
    double frameRate = 0;
    int64_t frameCount = 0;  // decoded frames
    double duration = 0;
};
FfprobeFacts ffprobeVideo(const std::string& path);

// FFmpeg's decode of frame `frame` (counted from 0) as 24-bit BGR rows, top
// row first, at the video's own size; empty on failure.
std::vector<uint8_t> ffmpegFrameBgr(const std::string& path, int32_t frame, int width, int height);

// Largest and mean absolute difference between FFmpeg's top-down BGR rows
// and a delivered bottom-up DIB (stride padded to 4).
struct PixelDifference {
    int maximum = 0;
    double mean = 0;
};
PixelDifference compareWithDib(const std::vector<uint8_t>& topDownBgr, const uint8_t* dibPixels, int width,
                               int height);

// Sets the length field of the file's first 'strh' (the video stream's
// frame count as demuxers read it); false when there is no 'strh'.
bool setFirstStreamLength(const std::string& path, uint32_t frames);

}  // namespace klemora::test
