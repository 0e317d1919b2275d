#include "tests/camera/camera_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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

int64_t LockstepClock::nowMicroseconds() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

void LockstepClock::sleepMicroseconds(int64_t duration) {
    std::unique_lock lock(m_mutex);
    const int64_t target = m_now + std::max<int64_t>(duration, 0);
    if (std::this_thread::get_id() == m_driver) {
        m_now = target;
        m_limit = std::max(m_limit, m_now);
        m_released.notify_all();
        return;
    }
    m_released.wait_for(lock, std::chrono::milliseconds(2), [&] { return m_limit >= target; });
    m_now = std::max(m_now, std::min(target, m_limit));
}

void LockstepClock::release(int64_t duration) {
    {
        std::lock_guard lock(m_mutex);
        m_limit = std::max(m_limit, m_now) + duration;
    }
    m_released.notify_all();
}

bool FramesSaved::reached(camera::CameraIO& io) {
    constexpr int kStallWaits = 25;  // of 40 ms each
    int64_t saved = 0;
    io.GetDroppedFramesInfo(nullptr, &saved);
    if (saved >= m_frames) return true;
    m_stalledWaits = saved == m_last ? m_stalledWaits + 1 : 0;
    m_last = saved;
    return m_stalledWaits >= kStallWaits;
}

LogCapture::LogCapture() = default;
LogCapture::~LogCapture() = default;

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
