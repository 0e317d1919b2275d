#pragma once
// What the writer tests check written files with, independent of the
// writer's own code: a small RIFF walker over the file's bytes, ffprobe and
// ffmpeg run as separate programs, MD5 sums from libavutil, and DV frames
// made by the ffmpeg command-line encoder.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace klemora::test {

struct RiffNode {
    uint32_t id = 0;
    uint32_t listType = 0;  // for RIFF and LIST
    int64_t offset = 0;     // of the chunk header
    uint32_t size = 0;
    std::vector<RiffNode> children;

    int64_t dataOffset() const { return offset + 8; }
    bool isList(uint32_t type) const;
    const RiffNode* child(uint32_t id) const;        // first chunk with this id
    const RiffNode* list(uint32_t type) const;       // first LIST of this type
    std::vector<const RiffNode*> all(uint32_t id) const;
};

// The top-level chunks of a file; lists are entered, sizes checked against
// their parents. Empty (and `error` set) when the structure is broken.
std::vector<RiffNode> walkRiff(const std::vector<uint8_t>& bytes, std::string* error);

std::vector<uint8_t> readBytes(const std::string& path);
uint32_t le32(const std::vector<uint8_t>& bytes, int64_t offset);
uint64_t le64(const std::vector<uint8_t>& bytes, int64_t offset);
uint32_t fourcc(const char (&text)[5]);

std::string md5Hex(const uint8_t* data, size_t size);
inline std::string md5Hex(const std::vector<uint8_t>& data) { return md5Hex(data.data(), data.size()); }

bool haveFfmpegTools();  // ffmpeg and ffprobe on PATH
std::optional<std::string> runCommand(const std::string& command);  // stdout, or nothing on failure
std::string shellQuote(const std::string& text);

struct ProbedStream {
    std::string codecType;
    std::string codecTag;
    std::string frameRate;   // r_frame_rate
    std::string sampleRate;
    long long readFrames = -1;
};
// ffprobe -count_frames; nothing when ffprobe fails on the file.
std::optional<std::vector<ProbedStream>> probeStreams(const std::string& path);
// One MD5 per video packet, by ffmpeg -c copy -f framemd5.
std::vector<std::string> videoPacketMd5s(const std::string& path);
// MD5 of all audio data of the file (ffmpeg -c copy -f md5); "" on failure.
std::string audioStreamMd5(const std::string& path);

// DV frames from the ffmpeg encoder (test picture, with a sine tone in the
// frames when `withAudio`). Empty when ffmpeg is missing or fails.
std::vector<std::vector<uint8_t>> encodeDvFrames(const std::string& folder, bool pal, int frames, bool withAudio);

// Deterministic PCM bytes for one chunk (a sawtooth, distinct per chunk).
std::vector<uint8_t> pcmChunk(int index, size_t bytes);

}  // namespace klemora::test
