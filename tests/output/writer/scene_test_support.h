#pragma once
// Sources for the scene-writer tests (the DV fixture generator and the
// ffmpeg encoder for MJPEG) and what ffmpeg sees in written files.
#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_list.h"
#include "scene/scene_record.h"
#include "tests/fixtures/dv_fixture.h"

namespace klemora::test {

// A DV AVI of `frames` frames in one session from 2006-07-01 10:00:00.
bool makeDvSource(const std::string& path, int type, bool ntsc, int frames,
                  fixtures::OpenDmlLayout openDml = fixtures::OpenDmlLayout::None, uint64_t segmentBytes = 1u << 30);
bool makeDvSource(const std::string& path, const fixtures::DvFixtureOptions& options);
// A type 2 DV AVI of `frames` frames in one session whose `frame`-th video
// chunk header claims `sizeField` data bytes (its data and 'idx1' intact).
bool makeDvSourceWithChunkSize(const std::string& path, int frames, int frame, uint32_t sizeField);
// A type 2 DV AVI of `frames` frames whose index marks only every tenth
// frame (0, 10, 20, ...) as a key frame, as inter-frame video has it.
bool makeKeyFrameEveryTenSource(const std::string& path, int frames);

// MJPEG 320x240 with 16-bit PCM mono 44.1 kHz; false without ffmpeg.
bool makeMjpegSource(const std::string& path, int frames, const std::string& rate = "25");

// The PCM bytes of the first audio stream, as ffmpeg copies them out.
std::vector<uint8_t> pcmBytes(const std::string& path);
// Video frames ffprobe decodes (-1 when it fails).
long long decodedFrames(const std::string& path);
// Names in a folder (no "." entries), sorted.
std::vector<std::string> filesIn(const std::string& folder);
// Local recording time from "YYYY-MM-DD HH:MM:SS".
scene::RecordingTime localTime(const std::string& text);

// Appends a scene of `source` with its frames, OK mark and (when given) a
// local recording time "YYYY-MM-DD HH:MM:SS".
void addScene(scene::SceneList& list, const std::string& source, int32_t start, int32_t stop, int ok = 0,
              const char* date = nullptr);

// Samples of `frames` frames at `rate` frames/s (rate as num/den) and `sampleRate`, rounded.
int64_t samplesAt(int64_t frames, int64_t rateNum, int64_t rateDen, int64_t sampleRate);

}  // namespace klemora::test
