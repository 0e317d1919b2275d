#include "tests/output/writer/scene_test_support.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>

#include "tests/avi/writer/writer_test_support.h"

namespace klemora::test {

bool makeDvSource(const std::string& path, const fixtures::DvFixtureOptions& options) {
    return fixtures::writeDvAvi(path, options) == 1;
}

bool makeDvSource(const std::string& path, int type, bool ntsc, int frames, fixtures::OpenDmlLayout openDml,
                  uint64_t segmentBytes) {
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(frames, type, ntsc);
    options.openDml = openDml;
    options.riffSegmentBytes = segmentBytes;
    return makeDvSource(path, options);
}

bool makeDvSourceWithChunkSize(const std::string& path, int frames, int frame, uint32_t sizeField) {
    fixtures::DvFixtureInfo info;
    if (fixtures::writeDvAvi(path, fixtures::singleSessionOptions(frames), &info) != 1) return false;
    if (frame < 0 || frame >= static_cast<int>(info.frameDataOffsets.size())) return false;
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (!file) return false;
    uint8_t size[4] = {static_cast<uint8_t>(sizeField), static_cast<uint8_t>(sizeField >> 8),
                       static_cast<uint8_t>(sizeField >> 16), static_cast<uint8_t>(sizeField >> 24)};
    bool ok = std::fseek(file, static_cast<long>(info.frameDataOffsets[static_cast<size_t>(frame)] - 4), SEEK_SET) == 0 &&
              std::fwrite(size, 1, 4, file) == 4;
    return std::fclose(file) == 0 && ok;
}

bool makeMjpegSource(const std::string& path, int frames, const std::string& rate) {
    if (!haveFfmpegTools()) return false;
    std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=" + rate +
                          " -f lavfi -i sine=frequency=440:sample_rate=44100 -frames:v " + std::to_string(frames) +
                          " -c:v mjpeg -q:v 5 -c:a pcm_s16le -shortest " + shellQuote(path) + " 2>&1";
    return runCommand(command).has_value();
}

std::vector<uint8_t> pcmBytes(const std::string& path) {
    auto out = runCommand("ffmpeg -v error -i " + shellQuote(path) + " -map 0:a:0 -c copy -f s16le -");
    if (!out) return {};
    return std::vector<uint8_t>(out->begin(), out->end());
}

long long decodedFrames(const std::string& path) {
    auto streams = probeStreams(path);
    if (!streams) return -1;
    for (const ProbedStream& s : *streams)
        if (s.codecType == "video") return s.readFrames;
    return -1;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

scene::RecordingTime localTime(const std::string& text) {
    scene::RecordingTime time;
    fixtures::parseSessionStart(text, time);
    return time;
}

int64_t samplesAt(int64_t frames, int64_t rateNum, int64_t rateDen, int64_t sampleRate) {
    return (frames * rateDen * sampleRate + rateNum / 2) / rateNum;
}

void addScene(scene::SceneList& list, const std::string& source, int32_t start, int32_t stop, int ok,
              const char* date) {
    int i = list.AddNewScene();
    list.setSourceFile(i, source);
    list.setStartFrame(i, start);
    list.setStopFrame(i, stop);
    list.setOkStatus(i, ok);
    if (date) {
        scene::RecordingTime time = localTime(date);
        list.setRecordingTime(i, &time);
    }
}

bool makeKeyFrameEveryTenSource(const std::string& path, int frames) {
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(frames);
    for (int32_t frame = 1; frame < frames; ++frame)
        if (frame % 10 != 0) options.nonKeyFrames.push_back(frame);
    return makeDvSource(path, options);
}

}  // namespace klemora::test
