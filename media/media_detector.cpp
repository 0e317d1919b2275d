#include "media/media_detector.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "app/debug_log.h"
#include "media/frame_grabber.h"
#include "media/media_info.h"

extern "C" {
#include <libavutil/log.h>
}

namespace klemora::media {
namespace {

// FFmpeg's remarks on the files ("Switching to NI mode ...") belong in the
// debug log, not on the terminal or behind the GUI. Its decoder threads log
// too, hence the lock.
void logFfmpegMessage(void* object, int level, const char* format, va_list args) {
    if (level > AV_LOG_WARNING) return;
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    int printPrefix = 1;
    char line[1024];
    if (av_log_format_line2(object, level, format, args, line, sizeof line, &printPrefix) < 0) return;
    size_t length = std::strlen(line);
    while (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
    app::processDebugLog().write("FFmpeg: %s", line);
}

void routeFfmpegLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(logFfmpegMessage); });
}

}  // namespace

MediaDetector::MediaDetector(FormatContextPtr format) : m_format(std::move(format)) {}

MediaDetector::~MediaDetector() = default;

int MediaDetector::open(const std::string& path, std::unique_ptr<MediaDetector>& out, int& failedStep) {
    routeFfmpegLog();
    failedStep = 0;
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) return AVERROR(ENOMEM);
    failedStep = 1;
    int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);  // frees `raw` on failure
    if (rc < 0) return rc;
    FormatContextPtr format(raw);
    failedStep = 2;
    rc = avformat_find_stream_info(format.get(), nullptr);
    if (rc < 0) return rc;
    out = std::make_unique<MediaDetector>(std::move(format));
    return 0;
}

FrameGrabber& MediaDetector::grabber(const MediaInfo& info) {
    if (!m_grabber) m_grabber = std::make_unique<FrameGrabber>(info, m_format.get());
    return *m_grabber;
}

}  // namespace klemora::media
