#include "tests/media/media_test_support.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace klemora::test {

bool haveTool(const char* name) { return runCommand(std::string("command -v ") + name + " >/dev/null 2>&1"); }

bool runCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string commandOutput(const std::string& command) { return runShell(command).output; }

bool makeTestVideo(const std::string& path, int width, int height, const std::string& rate, double seconds,
                   const std::string& codecArgs) {
    char command[1024];
    std::snprintf(command, sizeof command,
                  "ffmpeg -v error -y -f lavfi -i testsrc=size=%dx%d:rate=%s -t %.3f %s '%s' </dev/null", width,
                  height, rate.c_str(), seconds, codecArgs.c_str(), path.c_str());
    return runCommand(command);
}

FfprobeFacts ffprobeVideo(const std::string& path) {
    std::string out = commandOutput("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                    "stream=avg_frame_rate,nb_read_frames:format=duration -of default=nw=1 '" +
                                    path + "'");
    FfprobeFacts facts;
    int num = 0, den = 1;
    long long frames = 0;
    double duration = 0;
    for (size_t at = 0; at < out.size();) {
        size_t end = out.find('\n', at);
        std::string line = out.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (std::sscanf(line.c_str(), "avg_frame_rate=%d/%d", &num, &den) == 2 && den != 0)
            facts.frameRate = static_cast<double>(num) / den;
        if (std::sscanf(line.c_str(), "nb_read_frames=%lld", &frames) == 1) facts.frameCount = frames;
        if (std::sscanf(line.c_str(), "duration=%lf", &duration) == 1) facts.duration = duration;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return facts;
}

std::vector<uint8_t> ffmpegFrameBgr(const std::string& path, int32_t frame, int width, int height) {
    std::string out = commandOutput("ffmpeg -v error -i '" + path + "' -vf 'select=eq(n\\," + std::to_string(frame) +
                                    ")' -frames:v 1 -an -pix_fmt bgr24 -f rawvideo - </dev/null");
    if (out.size() != static_cast<size_t>(width) * height * 3) return {};
    return std::vector<uint8_t>(out.begin(), out.end());
}

PixelDifference compareWithDib(const std::vector<uint8_t>& topDownBgr, const uint8_t* dibPixels, int width,
                               int height) {
    PixelDifference d;
    size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    long long sum = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* expected = topDownBgr.data() + static_cast<size_t>(y) * width * 3;
        const uint8_t* actual = dibPixels + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width * 3; ++x) {
            int diff = std::abs(expected[x] - actual[x]);
            sum += diff;
            if (diff > d.maximum) d.maximum = diff;
        }
    }
    d.mean = static_cast<double>(sum) / (static_cast<double>(width) * height * 3);
    return d;
}

bool setFirstStreamLength(const std::string& path, uint32_t frames) {
    std::string bytes = readTextFile(path);
    const size_t strh = bytes.find("strh");
    if (strh == std::string::npos || strh + 8 + 36 > bytes.size()) return false;
    for (int i = 0; i < 4; ++i) bytes[strh + 8 + 32 + i] = static_cast<char>((frames >> (8 * i)) & 0xFF);
    writeTextFile(path, bytes);
    return true;
}

}  // namespace klemora::test
