#include "gui/open_media_files.h"

#include <algorithm>
#include <new>

#include "app/ui.h"
#include "gui/picture_view.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"

namespace klemora::gui {
namespace {

constexpr int kNoBufferSize = -3;
constexpr int kNoMemory = -4;

}  // namespace

OpenMediaFiles::OpenMediaFiles(size_t capacity) : m_capacity(std::max<size_t>(capacity, 1)) {}

OpenMediaFiles::~OpenMediaFiles() = default;

media::MediaInfo* OpenMediaFiles::open(const std::string& path, int& code) {
    auto found = std::find_if(m_files.begin(), m_files.end(), [&](const File& file) { return file.path == path; });
    if (found != m_files.end()) {
        m_files.splice(m_files.begin(), m_files, found);
        return m_files.front().info.get();
    }
    auto info = std::make_unique<media::MediaInfo>();
    // The view says what is missing; a worker never opens a box.
    app::SilentUserInterface quiet;
    code = media::ProbeMedia(path, *info, quiet);
    if (code != 1) return nullptr;
    if (m_files.size() >= m_capacity) m_files.pop_back();
    m_files.push_front({path, std::move(info)});
    return m_files.front().info.get();
}

DecodedPicture OpenMediaFiles::decode(const std::string& path, int32_t frame, QSize size) {
    DecodedPicture result;
    media::MediaInfo* info = open(path, result.code);
    if (!info) {
        result.openFailed = true;
        return result;
    }
    int32_t bytes = media::GetPictureBufferSize(size.width(), size.height(), *info);
    if (bytes < 1) {
        result.code = kNoBufferSize;
        return result;
    }
    try {
        m_buffer.resize(static_cast<size_t>(bytes));
    } catch (const std::bad_alloc&) {
        result.code = kNoMemory;
        return result;
    }
    app::SilentUserInterface quiet;
    result.code = media::GrabFrame(*info, frame, m_buffer, size.width(), size.height(), quiet);
    if (result.code == 1) result.image = imageFromDib(m_buffer);
    if (result.code == 1 && result.image.isNull()) result.code = -1;
    return result;
}

}  // namespace klemora::gui
