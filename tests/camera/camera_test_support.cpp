#include "tests/camera/camera_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "app/debug_log.h"
#include "tests/support/shell_command.h"

namespace klemora::test {
namespace {

std::string runCommand(const std::string& command) { return runShell(command).output; }

}  // namespace

std::string makeTape(const TempDir& dir, const std::string& name, const fixtures::DvFixtureOptions& options) {
    std::string path = dir.file(name);
    std::string error;
    EXPECT_EQ(fixtures::writeDvAvi(path, options, nullptr, &error), 1) << error;
    return path;
}

fixtures::DvFixtureOptions tapeOptions(int frames, int type, bool ntsc, scene::Timecode start) {
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(frames, type, ntsc);
    options.sessions[0].timecodeStart = start;
    return options;
}

void bindFirst(camera::CameraIO& io) {
    std::vector<std::string> list;
    ASSERT_EQ(io.ListCaptureDevices(&list), 1);
    ASSERT_FALSE(list.empty());
    ASSERT_EQ(io.AddCamera(0), 1);
}

LogCapture::LogCapture() {
    app::setLogFolder(m_dir.path());
    app::setDebugLevel(1);
}

LogCapture::~LogCapture() {
    app::setDebugLevel(0);
    app::setLogFolder("");
}

std::string LogCapture::text() const { return readTextFile(m_dir.file("klemoradbg.log")); }

bool haveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

std::vector<std::string> packetChecksums(const std::string& file, const std::string& stream) {
    std::string out =
        runCommand("ffmpeg -v error -i '" + file + "' -map 0:" + stream + " -c copy -f framemd5 - 2>/dev/null");
    std::vector<std::string> sums;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        size_t comma = line.rfind(',');
        if (comma != std::string::npos) sums.push_back(line.substr(comma + 2));
    }
    return sums;
}

std::vector<uint8_t> decodedAudio(const std::string& file) {
    std::string out = runCommand("ffmpeg -v error -i '" + file + "' -map 0:a:0 -f s16le -ac 2 - 2>/dev/null");
    return {out.begin(), out.end()};
}

}  // namespace klemora::test
