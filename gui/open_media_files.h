#pragma once
// The files one thumbnail worker keeps open between pictures: the few it
// used last, probed once, each with its grabber and picture buffer; the one
// used longest ago is closed when another has to be opened. One thread uses
// an instance; nothing in it reaches the message seam.
#include <QImage>
#include <QSize>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace klemora::media {
struct MediaInfo;
}

namespace klemora::gui {

struct DecodedPicture {
    QImage image;             // null unless `code` is 1
    int code = 1;             // 1, the probe's code, or the grab's
    bool openFailed = false;  // the file itself, not this frame
};

class OpenMediaFiles {
public:
    explicit OpenMediaFiles(size_t capacity = 4);
    ~OpenMediaFiles();
    OpenMediaFiles(const OpenMediaFiles&) = delete;
    OpenMediaFiles& operator=(const OpenMediaFiles&) = delete;

    DecodedPicture decode(const std::string& path, int32_t frame, QSize size);
    size_t openCount() const { return m_files.size(); }

private:
    struct File {
        std::string path;
        std::unique_ptr<media::MediaInfo> info;
    };
    media::MediaInfo* open(const std::string& path, int& code);

    size_t m_capacity;
    std::list<File> m_files;      // used last first
    std::vector<uint8_t> m_buffer;  // the grabber's picture, reused
};

}  // namespace klemora::gui
