#pragma once
// The open demuxer of a probed file and, once the first picture is asked
// for, the frame grabber on it. A MediaInfo owns one; ReleaseMedia frees it.
#include <memory>
#include <string>

#include "media/ffmpeg_handles.h"

namespace klemora::media {

class FrameGrabber;
struct MediaInfo;

class MediaDetector {
public:
    MediaDetector(FormatContextPtr format);
    ~MediaDetector();
    MediaDetector(const MediaDetector&) = delete;
    MediaDetector& operator=(const MediaDetector&) = delete;

    // Opens `path` and reads the stream information: 0 or the FFmpeg error
    // of the step named in `failedStep` (1 open, 2 stream information).
    static int open(const std::string& path, std::unique_ptr<MediaDetector>& out, int& failedStep);

    AVFormatContext* format() const { return m_format.get(); }
    // Created on first use for the probed video stream.
    FrameGrabber& grabber(const MediaInfo& info);

private:
    FormatContextPtr m_format;
    std::unique_ptr<FrameGrabber> m_grabber;
};

}  // namespace klemora::media
